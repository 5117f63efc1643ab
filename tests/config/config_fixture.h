// Shared set-up of the configuration tests: a temporary folder of their own,
// profile files written there (each under a new name, so that no cached copy
// of an earlier file is read), the configuration state cleared, and checks of
// the message boxes that were shown.
#ifndef TESTS_CONFIG_CONFIG_FIXTURE_H
#define TESTS_CONFIG_CONFIG_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config.h"
#include "startup/updater_state.h"
#include "support/message_boxes.h"

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the bytes as a new file in the test's folder and returns its path.
    std::string WriteFile(const std::string& name, const std::string& bytes);
    // A new "SETUP.INI" with section [SETUP] holding the given lines; sets SetupIniPath.
    void WriteSetupIni(const std::string& lines);
    // A new "UPDATE.INI" with the given text; sets TempScriptPath.
    void WriteScript(const std::string& text);

    std::string folder_;
    std::vector<std::string> files_;
    int serial_ = 0;
};

// Profile keys for a test: a base set of "key=value" lines in which
// overrides replace a key's value, remove it (Absent) or add a key.
const char* const Absent = nullptr;
typedef std::vector<std::pair<std::string, std::string>> ProfileKeys;
typedef std::vector<std::pair<std::string, const char*>> Overrides;
std::string ProfileLines(const ProfileKeys& base, const Overrides& overrides);

// Every box seen has the caption, an error icon, a single OK button and no
// owner, and their texts (UTF-8) are exactly these, in this order.
void ExpectErrorBoxes(const MessageBoxRecorder& boxes, const char* caption, const std::vector<std::string>& texts);

#endif
