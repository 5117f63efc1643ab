// The start-up driver in this process, for the one way out that a whole
// updater cannot be made to take: a system library that cannot be loaded.
#include <gtest/gtest.h>

#include <objbase.h>
#include <string.h>

#include "startup/startup.h"
#include "startup/system_functions.h"
#include "startup/updater_state.h"
#include "support/message_boxes.h"

namespace {

TEST(RunUpdater, BindingFailureShowsItsMessageAndStopsBeforeCom)
{
    LibraryRecipe libraries[SystemLibraryCount];
    memcpy(libraries, DefaultLibraryRecipes, sizeof libraries);
    libraries[2].Letters[0] = 'X';    // "XDVAPI32.DLL"
    LibraryRecipes = libraries;
    MessageBoxRecorder boxes;
    int code = RunUpdater(GetModuleHandleA(0));
    LibraryRecipes = DefaultLibraryRecipes;

    EXPECT_EQ(0, code);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("COULD NOT MAP SOME FUNCTIONS", boxes.Boxes()[0].Text);
    EXPECT_EQ("UPDATE", boxes.Boxes()[0].Caption);
    EXPECT_EQ(BoxIcon::Error, boxes.Boxes()[0].Icon);
    EXPECT_EQ(std::vector<int>{ IDOK }, boxes.Boxes()[0].Buttons);
    // COM was not initialised for the thread: this is its first initialisation.
    EXPECT_EQ(S_OK, CoInitialize(0));
    CoUninitialize();
}

TEST(RunUpdater, NoPayloadEndsWithoutAWord)
{
    MessageBoxRecorder boxes;
    EXPECT_EQ(0, RunUpdater(GetModuleHandleA(0)));   // this program carries no payload
    EXPECT_TRUE(boxes.Boxes().empty());
}

struct BreakCase {
    const char* text;
    const char* shown;
};

TEST(ConvertLineBreaks, BackslashNOfSingleByteCharactersOnly)
{
    const BreakCase cases[] = {
        { "a\\nb", "a\rb" },
        { "\\n\\n", "\r\r" },
        { "a\\Nb", "a\\Nb" },
        { "a\\", "a\\" },
        { "a\\\\nb", "a\\\rb" },
        // "ソ" is 83 5C: its second byte is no backslash.
        { "\x83\x5Cn", "\x83\x5Cn" },
        { "\x83\x5C\\n", "\x83\x5C\r" },
        { "", "" },
    };
    for (const BreakCase& c : cases) {
        char out[64];
        memset(out, 'x', sizeof out);
        ConvertLineBreaks(c.text, out);
        EXPECT_STREQ(c.shown, out) << c.text;
    }
}

} // namespace
