#include <gtest/gtest.h>

#include <windows.h>
#include <string.h>

#include <string>
#include <vector>

#include "config/config_fixture.h"
#include "startup/system_functions.h"

namespace {

// One registry value as the test stores it.
struct StoredValue {
    const char* name;
    DWORD type;           // REG_NONE: not stored
    std::string data;     // the stored bytes (a REG_SZ text without its NUL)
};

StoredValue Text(const char* name, const std::string& text)
{
    return { name, REG_SZ, text };
}

StoredValue Dword(const char* name, uint32_t v)
{
    return { name, REG_DWORD, std::string((const char*)&v, 4) };
}

StoredValue Bytes(const char* name, DWORD type, const std::string& bytes)
{
    return { name, type, bytes };
}

class InstallRecordTest : public ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        ASSERT_EQ(1, BindSystemFunctions());
        // A company of the test's own, so that parallel runs do not meet.
        company_ = "UpdaterTest" + std::to_string(GetCurrentProcessId());
        strcpy(ScriptSetup.CompanyName, company_.c_str());
        strcpy(ScriptSetup.GameDir, "ConfigGame");
        strcpy(ScriptSetup.GameTitle, "ScriptTitle");
    }

    void TearDown() override
    {
        RemoveKeys();
        ConfigTest::TearDown();
    }

    std::string KeyPath() const
    {
        return "Software\\" + std::string(ScriptSetup.CompanyName) + "\\" + ScriptSetup.GameDir;
    }

    void Store(const std::vector<StoredValue>& values)
    {
        RemoveKeys();
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath().c_str(), 0, 0, 0, KEY_WRITE, 0, &key, 0));
        for (const StoredValue& v : values) {
            std::string bytes = v.data;
            if (v.type == REG_SZ)
                bytes.push_back(0);
            ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, v.name, 0, v.type, (const BYTE*)bytes.data(), (DWORD)bytes.size()));
        }
        RegCloseKey(key);
        stored_ = true;
    }

    void RemoveKeys()
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, KeyPath().c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, ("Software\\" + std::string(ScriptSetup.CompanyName)).c_str());
    }

    bool KeyExists() const
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    std::string company_;
    bool stored_ = false;
};

const char* const NotInstalled = u8"「ScriptTitle」がインストールされていません";

struct RecordCase {
    const char* what;
    std::vector<StoredValue> values;
    int result;
    std::string instPath;    // what InstPath holds afterwards
    std::string dataPath;    // checked when the read succeeds
    int32_t instMode;
};

TEST_F(InstallRecordTest, ReadsTheRecordOrReportsTheGameAsNotInstalled)
{
    const std::string path259 = "C:\\" + std::string(256, 'p');
    const std::string path260 = "C:\\" + std::string(257, 'p');
    const std::string path300 = "C:\\" + std::string(297, 'p');
    const RecordCase cases[] = {
        { "complete", { Text("InstPath", "C:\\Games\\Test"), Text("DataPath", "D:\\Data"), Dword("InstMode", 2) },
          1, "C:\\Games\\Test", "D:\\Data", 2 },
        { "no DataPath", { Text("InstPath", "C:\\Games\\Test"), Dword("InstMode", 0) }, 1, "C:\\Games\\Test", "", 0 },
        { "no InstMode", { Text("InstPath", "C:\\Games\\Test"), Text("DataPath", "D:\\Data") }, 0, "C:\\Games\\Test", "", 0 },
        { "no InstPath", { Text("DataPath", "D:\\Data"), Dword("InstMode", 1) }, 0, "", "", 0 },
        { "empty key", {}, 0, "", "", 0 },
        { "InstPath of 259 bytes", { Text("InstPath", path259), Dword("InstMode", 1) }, 1, path259, "", 1 },
        { "InstPath of 260 bytes", { Text("InstPath", path260), Dword("InstMode", 1) }, 0, "", "", 0 },
        { "InstPath of 300 bytes", { Text("InstPath", path300), Dword("InstMode", 1) }, 0, "", "", 0 },
        { "DataPath of 300 bytes",
          { Text("InstPath", "C:\\G"), Text("DataPath", path300), Dword("InstMode", 3) }, 1, "C:\\G", "", 3 },
        { "InstMode of 8 bytes",
          { Text("InstPath", "C:\\G"), Bytes("InstMode", REG_QWORD, std::string("\x01\0\0\0\0\0\0\0", 8)) },
          0, "C:\\G", "", 0 },
        // 260 bytes without a NUL would leave the buffer unterminated.
        { "InstPath of 260 bytes without NUL",
          { Bytes("InstPath", REG_BINARY, std::string(260, 'p')), Dword("InstMode", 1) }, 0, "", "", 0 },
        // Types are not looked at: the stored bytes are taken.
        { "InstMode of one byte", { Text("InstPath", "C:\\G"), Bytes("InstMode", REG_BINARY, "\x05") },
          1, "C:\\G", "", 5 },
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.what);
        Store(c.values);
        strcpy(InstallRecord.InstPath, "stale");
        strcpy(InstallRecord.DataPath, "stale");
        InstallRecord.InstMode = 99;
        MessageBoxRecorder boxes;
        EXPECT_EQ(c.result, ReadInstallRecord());
        // A value that failed its read leaves no part of itself behind; one
        // read before a later failure stays.
        EXPECT_EQ(c.instPath, InstallRecord.InstPath);
        if (c.result) {
            EXPECT_EQ(c.dataPath, InstallRecord.DataPath);
            EXPECT_EQ(c.instMode, InstallRecord.InstMode);
        }
        ExpectErrorBoxes(boxes, "UPDATE", c.result ? std::vector<std::string>{} : std::vector<std::string>{ NotInstalled });
    }
}

TEST_F(InstallRecordTest, MissingKeyIsNotCreatedAndNamesTheScriptsTitle)
{
    strcpy(ScriptSetup.GameTitle, "テストゲーム");
    MessageBoxRecorder boxes;
    EXPECT_EQ(0, ReadInstallRecord());
    EXPECT_FALSE(KeyExists());
    ExpectErrorBoxes(boxes, "UPDATE", { u8"「テストゲーム」がインストールされていません" });
}

TEST_F(InstallRecordTest, KeyPathJoinsCompanyAndGameFolder)
{
    // A Shift-JIS company name ("ソフト": its "ソ" ends in the byte 5C).
    strcpy(ScriptSetup.CompanyName, ("\x83\x5C" "フト" + company_).c_str());
    Store({ Text("InstPath", "C:\\Jp"), Dword("InstMode", 4) });
    MessageBoxRecorder boxes;
    EXPECT_EQ(1, ReadInstallRecord());
    EXPECT_STREQ("C:\\Jp", InstallRecord.InstPath);
    EXPECT_EQ(4, InstallRecord.InstMode);
    ExpectErrorBoxes(boxes, "UPDATE", {});
}

} // namespace
