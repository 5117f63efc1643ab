#include "archive/archive_fixture.h"

#include <stdio.h>

#include <algorithm>

#include "startup/system_functions.h"
#include "startup/updater_state.h"

void ArchiveTest::SetUp()
{
    ASSERT_EQ(1, BindSystemFunctions());
    lstrcpyA(WindowTitle, "UPDATE");
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    std::replace(name.begin(), name.end(), '/', '-');
    folder_ = std::string(temp) + "archive-" + name;
    RemoveTree(folder_);
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), 0)) << folder_;
}

void ArchiveTest::TearDown()
{
    if (OpenDirectory)
        GlobalFree(OpenDirectory);
    OpenDirectory = 0;
    Payload.Address = 0;
    Payload.Size = 0;
    RemoveTree(folder_);
}

void ArchiveTest::OpenPayload(const Bytes& image)
{
    image_ = image;
    Payload.Address = image_.data();
    Payload.Size = (uint32_t)image_.size();
    OpenDirectory = OpenArchive(&Payload);
    ASSERT_NE(nullptr, OpenDirectory);
}

bool WriteBytes(const std::string& path, const Bytes& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

Bytes ReadBytes(const std::string& path)
{
    Bytes out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return out;
    unsigned char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    fclose(f);
    return out;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

void ExpectUpdaterErrors(const MessageBoxRecorder& boxes, const std::vector<std::string>& texts)
{
    std::vector<std::string> seen;
    for (const SeenBox& box : boxes.Boxes()) {
        seen.push_back(box.Text);
        EXPECT_EQ(AnsiToUtf8(WindowTitle), box.Caption) << box.Text;
        EXPECT_EQ(BoxIcon::Error, box.Icon) << box.Text;
        EXPECT_EQ(std::vector<int>{ IDOK }, box.Buttons) << box.Text;
        EXPECT_EQ(nullptr, box.Owner) << box.Text;
    }
    EXPECT_EQ(texts, seen);
}
