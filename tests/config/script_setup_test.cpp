#include <gtest/gtest.h>

#include <windows.h>
#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "archive/archive.h"
#include "config/config_fixture.h"

namespace {

const ProfileKeys RequiredKeys = {
    { "CompanyName", "Tallow" },
    { "GameTitle", "スクリプトのゲーム" },
    { "GameClass", "ScriptClass" },
    { "GameDir", "ScriptGame" },
};

// A plain archive image: entries' bytes from offset 16, each raised to a
// multiple of 16, then the directory of 280-byte records, neither
// compressed nor scrambled.
std::vector<unsigned char> BuildArchive(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::vector<unsigned char> image(ArchiveHeaderSize, 0);
    for (auto& e : entries) {
        image.insert(image.end(), e.second.begin(), e.second.end());
        image.resize((image.size() + ArchiveDataAlignment - 1) / ArchiveDataAlignment * ArchiveDataAlignment, 0xEE);
    }
    size_t directory = image.size();
    for (auto& e : entries) {
        ArchiveEntry record;
        memset(&record, 0, sizeof record);
        strcpy(record.Name, e.first.c_str());
        WriteLE32(record.ExpandedSize, (uint32_t)e.second.size());
        WriteLE32(record.StoredSize, (uint32_t)e.second.size());
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&record);
        image.insert(image.end(), bytes, bytes + sizeof record);
    }
    memcpy(image.data(), ArchiveMagic, 4);
    WriteLE32(&image[8], (uint32_t)directory);
    WriteLE32(&image[12], (uint32_t)entries.size());
    return image;
}

class ScriptSetupTest : public ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        image_ = BuildArchive({
            { "UPDATE.INI", "[SETUP]\r\n" },
            { "agree.txt", "同意してください。\r\n第1条" },
            { "title.txt", "ようこそ" },
            { "empty.txt", "" },
            { "nul.txt", std::string("ab\0cd", 5) },
        });
        Payload.Address = image_.data();
        Payload.Size = (uint32_t)image_.size();
        OpenDirectory = OpenArchive(&Payload);
        ASSERT_TRUE(OpenDirectory != 0);
    }

    void TearDown() override
    {
        GlobalFree(OpenDirectory);
        OpenDirectory = 0;
        Payload.Address = 0;
        Payload.Size = 0;
        // The agreement blocks live until the process ends in the updater;
        // here each test releases its own.
        if (AgreementTextData)
            GlobalFree(AgreementTextData);
        if (AgreementTitleData)
            GlobalFree(AgreementTitleData);
        ConfigTest::TearDown();
    }

    // Writes the script with the required keys and the overrides applied,
    // then reads it; checks the result and the boxes shown.
    void Read(const Overrides& overrides, int result, const char* caption = "INSTCMMN",
              const std::vector<std::string>& boxTexts = {})
    {
        std::string text = "[SETUP]\r\n" + ProfileLines(RequiredKeys, overrides);
        text += "[UPDATE]\r\nUpdateFile00=readme.txt\r\n";
        WriteScript(text);
        ReportMissingKeys = 1;
        MessageBoxRecorder boxes;
        EXPECT_EQ(result, ReadScriptSetup());
        ExpectErrorBoxes(boxes, caption, boxTexts);
    }

    std::vector<unsigned char> image_;
};

TEST_F(ScriptSetupTest, ReadsEveryKeyOfAFullScript)
{
    const std::string message1100(1100, 'm');
    const std::string title300(300, 't');
    Read({ { "GameTitleA", title300.c_str() },
           { "UpdaterVersion", "1.02" },
           { "UpdaterTitle", "テスト アップデータ" },
           { "DataFolder", "data" },
           { "UpdateMessage", message1100.c_str() },
           { "ModeTextUpdateOrInstall", "1" },
           { "AgreementText", "agree.txt" },
           { "AgreementTitle", "TITLE.TXT" } },
         1);
    EXPECT_STREQ("Tallow", ScriptSetup.CompanyName);
    EXPECT_STREQ("スクリプトのゲーム", ScriptSetup.GameTitle);
    EXPECT_STREQ("ScriptClass", ScriptSetup.GameClass);
    EXPECT_STREQ("ScriptGame", ScriptSetup.GameDir);
    EXPECT_EQ(title300.substr(0, 259), ScriptSetup.GameTitleA);
    EXPECT_STREQ("1.02", ScriptSetup.UpdaterVersion);
    EXPECT_STREQ("テスト アップデータ", ScriptSetup.UpdaterTitle);
    EXPECT_STREQ("data", ScriptSetup.DataFolder);
    EXPECT_EQ(message1100.substr(0, 1023), ScriptSetup.UpdateMessage);
    EXPECT_EQ(1, ModeIsInstall);
    EXPECT_STREQ("インストール", ModeText);
    ASSERT_TRUE(AgreementTextData != 0);
    EXPECT_STREQ("同意してください。\r\n第1条", AgreementTextData);
    ASSERT_TRUE(AgreementTitleData != 0);
    EXPECT_STREQ("ようこそ", AgreementTitleData);
    EXPECT_EQ(0, ReportMissingKeys);
}

TEST_F(ScriptSetupTest, OptionalKeysMissingLeaveEmptyValuesSilently)
{
    strcpy(ScriptSetup.GameTitleA, "stale");
    strcpy(ScriptSetup.UpdaterVersion, "stale");
    strcpy(ScriptSetup.UpdaterTitle, "stale");
    strcpy(ScriptSetup.DataFolder, "stale");
    strcpy(ScriptSetup.UpdateMessage, "stale");
    ModeIsInstall = 1;
    const Overrides emptyValues[] = {
        {},
        { { "GameTitleA", "" }, { "UpdaterVersion", "" }, { "UpdaterTitle", "" }, { "DataFolder", "" },
          { "UpdateMessage", "" }, { "ModeTextUpdateOrInstall", "" }, { "AgreementText", "" },
          { "AgreementTitle", "" } },
    };
    for (const Overrides& o : emptyValues) {
        SCOPED_TRACE(o.empty() ? "missing" : "empty");
        Read(o, 1);
        EXPECT_STREQ("", ScriptSetup.GameTitleA);
        EXPECT_STREQ("", ScriptSetup.UpdaterVersion);
        EXPECT_STREQ("", ScriptSetup.UpdaterTitle);
        EXPECT_STREQ("", ScriptSetup.DataFolder);
        EXPECT_STREQ("", ScriptSetup.UpdateMessage);
        EXPECT_EQ(0, ModeIsInstall);
        EXPECT_STREQ("アップデート", ModeText);
        EXPECT_EQ(nullptr, AgreementTextData);
        EXPECT_EQ(nullptr, AgreementTitleData);
        EXPECT_EQ(0, ReportMissingKeys);
    }
}

TEST_F(ScriptSetupTest, RequiredKeyMissingOrEmptyStopsTheRead)
{
    for (size_t i = 0; i < RequiredKeys.size(); i++) {
        const std::string& key = RequiredKeys[i].first;
        for (const char* value : { Absent, "" }) {
            SCOPED_TRACE(key + (value ? " empty" : " missing"));
            memset(&ScriptSetup, 0, sizeof ScriptSetup);
            Read({ { key, value }, { "GameTitleA", "A" } }, 0, "INSTCMMN",
                 { u8"SETUP : " + key + u8" キーが存在しません" });
            // The keys after it are not read, and the switch stays on.
            const char* fields[] = { ScriptSetup.CompanyName, ScriptSetup.GameTitle, ScriptSetup.GameClass,
                                     ScriptSetup.GameDir };
            for (size_t j = 0; j < RequiredKeys.size(); j++)
                EXPECT_EQ(j < i ? RequiredKeys[j].second : "", fields[j]) << RequiredKeys[j].first;
            EXPECT_STREQ("", ScriptSetup.GameTitleA);
            EXPECT_EQ(1, ReportMissingKeys);
        }
    }
}

TEST_F(ScriptSetupTest, ModeTextFollowsTheInstallSwitch)
{
    struct {
        const char* value;
        int install;
    } cases[] = {
        { "1", 1 }, { "2x", 1 }, { " -3", 1 }, { "0", 0 }, { "abc", 0 }, { "", 0 }, { Absent, 0 }, { "00", 0 },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(missing)");
        Read({ { "ModeTextUpdateOrInstall", c.value } }, 1);
        EXPECT_EQ(c.install, ModeIsInstall);
        EXPECT_STREQ(c.install ? "インストール" : "アップデート", ModeText);
    }
}

struct AgreementCase {
    const char* text;                  // AgreementText
    const char* title;                 // AgreementTitle
    int result;
    std::vector<std::string> boxes;    // caption "UPDATE"
    bool textLoaded;
    bool titleLoaded;
};

TEST_F(ScriptSetupTest, AgreementEntriesAreLoadedOrTheirAbsenceReported)
{
    const char* notFound = "Can't Find File in Resource !!";
    const AgreementCase cases[] = {
        { "agree.txt", Absent, 1, {}, true, false },
        { Absent, "title.txt", 1, {}, false, true },
        { "nofile.txt", "title.txt", 0, { notFound, "'nofile.txt' not found at UPDATE.QZ3" }, false, false },
        { "agree.txt", "notitle.txt", 0, { notFound, "'notitle.txt' not found at UPDATE.QZ3" }, true, false },
    };
    for (const AgreementCase& c : cases) {
        SCOPED_TRACE(std::string(c.text ? c.text : "-") + "/" + (c.title ? c.title : "-"));
        AgreementTextData = 0;
        AgreementTitleData = 0;
        Read({ { "AgreementText", c.text }, { "AgreementTitle", c.title } }, c.result, "UPDATE", c.boxes);
        EXPECT_EQ(c.textLoaded, AgreementTextData != 0);
        EXPECT_EQ(c.titleLoaded, AgreementTitleData != 0);
        if (AgreementTextData)
            GlobalFree(AgreementTextData);
        if (AgreementTitleData)
            GlobalFree(AgreementTitleData);
        AgreementTextData = 0;
        AgreementTitleData = 0;
    }
}

TEST_F(ScriptSetupTest, AgreementBlockHoldsTheWholeEntryAndTwoNuls)
{
    struct {
        const char* name;
        std::string contents;
    } cases[] = {
        { "agree.txt", "同意してください。\r\n第1条" },
        { "empty.txt", "" },
        { "nul.txt", std::string("ab\0cd", 5) },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxRecorder boxes;
        char* block = LoadAgreementEntry(c.name);
        ASSERT_TRUE(block != 0);
        ASSERT_GE(GlobalSize(block), c.contents.size() + 2);
        std::string expected = c.contents + std::string(2, '\0');
        EXPECT_EQ(expected, std::string(block, c.contents.size() + 2));
        GlobalFree(block);
        ExpectErrorBoxes(boxes, "UPDATE", {});
    }
    // An empty entry is still an agreement: an empty text, but present.
    Read({ { "AgreementText", "empty.txt" } }, 1);
    ASSERT_TRUE(AgreementTextData != 0);
    EXPECT_STREQ("", AgreementTextData);
}

} // namespace
