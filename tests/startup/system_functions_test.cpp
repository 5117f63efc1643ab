#include <gtest/gtest.h>

#include <string.h>

#include "startup/system_functions.h"

namespace {

FARPROC Slot(int i)
{
    return reinterpret_cast<FARPROC*>(&SystemFunctions)[i];
}

// The Japanese texts of the program are Shift-JIS: the test environment runs
// with the ANSI code page 932.
TEST(Environment, AnsiCodePageIs932)
{
    EXPECT_EQ(932u, GetACP());
    // A literal of the program's sources arrives as Shift-JIS bytes.
    EXPECT_STREQ("\x83\x41\x83\x62\x83\x76\x83\x66\x81\x5B\x83\x67", "アップデート");
}

TEST(BindSystemFunctions, BindsTheTwelveEntriesAndTheyWork)
{
    memset(&SystemFunctions, 0, sizeof SystemFunctions);
    ASSERT_EQ(1, BindSystemFunctions());
    for (int i = 0; i < BoundAtStartCount; i++)
        EXPECT_NE(nullptr, Slot(i)) << "entry " << i + 1;
    for (int i = BoundAtStartCount; i < SystemFunctionCount; i++)
        EXPECT_EQ(nullptr, Slot(i)) << "entry " << i + 1 << " is bound later";
    EXPECT_EQ((void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateFileA"),
              (void*)SystemFunctions.CreateFileA);
    EXPECT_EQ((void*)GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegQueryValueExA"),
              (void*)SystemFunctions.RegQueryValueExA);

    // Write a file, read it back and remove it, through the table only.
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    strcat(path, "bind-test.txt");
    HANDLE h = SystemFunctions.CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD n = 0;
    EXPECT_TRUE(SystemFunctions.WriteFile(h, "hello", 5, &n, 0));
    EXPECT_TRUE(SystemFunctions.CloseHandle(h));
    EXPECT_TRUE(SystemFunctions.SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_READONLY, SystemFunctions.GetFileAttributesA(path) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(SystemFunctions.SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL));
    h = SystemFunctions.CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(5u, SystemFunctions.GetFileSize(h, 0));
    EXPECT_EQ(1u, SystemFunctions.SetFilePointer(h, 1, 0, FILE_BEGIN));
    char buffer[8] = {};
    EXPECT_TRUE(SystemFunctions.ReadFile(h, buffer, 4, &n, 0));
    EXPECT_STREQ("ello", buffer);
    SystemFunctions.CloseHandle(h);
    DeleteFileA(path);

    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, SystemFunctions.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS, SystemFunctions.RegCloseKey(key));

    ASSERT_EQ(1, BindResourceFunctions());
    HRSRC none = SystemFunctions.FindResourceA(GetModuleHandleA(0), MAKEINTRESOURCEA(102), "UPDATE");
    EXPECT_EQ(nullptr, none);
}

// One name that cannot be found: every library is still loaded, every other
// name still looked up, and the result is 0.
TEST(BindSystemFunctions, OneMissingNameFailsAfterEveryOtherLookUp)
{
    for (int missing = 0; missing < BoundAtStartCount; missing++) {
        FunctionRecipe recipes[SystemFunctionCount];
        memcpy(recipes, DefaultFunctionRecipes, sizeof recipes);
        recipes[missing].Pieces[0] = "NoSuch";
        FunctionRecipes = recipes;
        memset(&SystemFunctions, 0, sizeof SystemFunctions);
        memset(SystemLibraries, 0, sizeof SystemLibraries);

        EXPECT_EQ(0, BindSystemFunctions()) << "missing entry " << missing + 1;
        FunctionRecipes = DefaultFunctionRecipes;

        for (int l = 0; l < SystemLibraryCount; l++)
            EXPECT_NE(nullptr, SystemLibraries[l]);
        for (int i = 0; i < BoundAtStartCount; i++) {
            if (i == missing)
                EXPECT_EQ(nullptr, Slot(i));
            else
                EXPECT_NE(nullptr, Slot(i)) << "entry " << i + 1 << " with " << missing + 1 << " missing";
        }
    }
}

TEST(BindSystemFunctions, MissingLibraryFailsButOtherLibrariesLoad)
{
    LibraryRecipe libraries[SystemLibraryCount];
    memcpy(libraries, DefaultLibraryRecipes, sizeof libraries);
    libraries[1].Letters[0] = 'X';    // "XHELL32.DLL"
    LibraryRecipes = libraries;
    memset(&SystemFunctions, 0, sizeof SystemFunctions);
    EXPECT_EQ(0, BindSystemFunctions());
    LibraryRecipes = DefaultLibraryRecipes;
    EXPECT_NE(nullptr, SystemLibraries[0]);
    EXPECT_EQ(nullptr, SystemLibraries[1]);
    EXPECT_NE(nullptr, SystemLibraries[2]);
    EXPECT_EQ(nullptr, (void*)SystemFunctions.SHFileOperationA);
    EXPECT_NE(nullptr, (void*)SystemFunctions.CreateFileA);
    EXPECT_NE(nullptr, (void*)SystemFunctions.RegCloseKey);
}

} // namespace
