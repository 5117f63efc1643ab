#include <gtest/gtest.h>

#include <string.h>

#include "startup/updater_state.h"
#include "support/message_boxes.h"

namespace {

struct JoinCase {
    const char* path;
    const char* component;
    const char* expected;
};

TEST(JoinPath, JoinsWithOneSeparatorAndEndsInTwoNuls)
{
    const JoinCase cases[] = {
        { "C:\\Game", "SETUP.INI", "C:\\Game\\SETUP.INI" },
        { "C:\\Game\\", "SETUP.INI", "C:\\Game\\SETUP.INI" },
        { "C:/Game/", "a.dat", "C:/Game/a.dat" },
        { "", "a.dat", "a.dat" },
        { "E:", "disc.chk", "E:\\disc.chk" },
        // The last byte is tested as a byte: "ソ" is 83 5C in Shift-JIS.
        { "C:\\\x83\x5C", "a", "C:\\\x83\x5C" "a" },
    };
    for (const JoinCase& c : cases) {
        char buffer[64];
        memset(buffer, 'x', sizeof buffer);
        strcpy(buffer, c.path);
        ASSERT_EQ(1, JoinPath(buffer, sizeof buffer, c.component)) << c.path;
        EXPECT_STREQ(c.expected, buffer);
        size_t n = strlen(buffer);
        EXPECT_EQ(0, buffer[n + 1]) << "second NUL behind " << c.expected;
    }
}

TEST(JoinPath, RefusesWhatDoesNotFitAndLeavesThePath)
{
    char buffer[12] = "C:\\Game";          // 7 bytes
    EXPECT_EQ(1, JoinPath(buffer, sizeof buffer, "ab"));   // 10 + 2 NULs = 12
    strcpy(buffer, "C:\\Game");
    EXPECT_EQ(0, JoinPath(buffer, sizeof buffer, "abc"));  // 13 would be needed
    EXPECT_STREQ("C:\\Game", buffer);
}

TEST(ShowUpdaterError, ErrorBoxWithWindowTitleAndOk)
{
    MessageBoxRecorder boxes;
    strcpy(WindowTitle, "UPDATE");
    ShowUpdaterError("RESOURCE READ ERROR");
    ASSERT_EQ(1u, boxes.Boxes().size());
    const SeenBox& box = boxes.Boxes()[0];
    EXPECT_EQ("UPDATE", box.Caption);
    EXPECT_EQ("RESOURCE READ ERROR", box.Text);
    EXPECT_EQ(BoxIcon::Error, box.Icon);
    EXPECT_EQ(std::vector<int>{ IDOK }, box.Buttons);
    EXPECT_EQ(nullptr, box.Owner);
}

} // namespace
