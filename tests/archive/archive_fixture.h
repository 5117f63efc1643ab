// Shared set-up of the archive tests: the system function table bound, a
// temporary folder of the test's own, an archive image opened as the
// updater's payload, and small file helpers.
#ifndef TESTS_ARCHIVE_ARCHIVE_FIXTURE_H
#define TESTS_ARCHIVE_ARCHIVE_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "archive/archive.h"
#include "support/archive_images.h"
#include "support/files.h"
#include "support/message_boxes.h"

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes image the payload (memory mode) and opens it as the updater does.
    // The image must outlive the test.
    void OpenPayload(const Bytes& image);

    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

    std::string folder_;
    Bytes image_;
};

bool WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// Names of the folder's files and subfolders, sorted.
std::vector<std::string> FolderNames(const std::string& folder);


// Every box seen is an updater error box: caption WindowTitle, error icon,
// OK alone, no owner; and their texts (UTF-8) are exactly these, in order.
void ExpectUpdaterErrors(const MessageBoxRecorder& boxes, const std::vector<std::string>& texts);

#endif
