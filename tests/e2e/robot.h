// A test-only robot that drives another process's windows as a player
// would: it waits for the updater's windows, reads what they show, presses
// their buttons and keys, and takes screenshots.
#ifndef TESTS_E2E_ROBOT_H
#define TESTS_E2E_ROBOT_H

#include <windows.h>

#include <string>
#include <vector>

#include "support/message_boxes.h"
#include "support/programs.h"

struct ControlView {
    bool Exists = false;
    bool Visible = false;
    bool Enabled = false;
    bool Checked = false;
    bool Focused = false;
    std::string Text;          // UTF-8
};

struct WizardView {
    HWND Window = 0;
    std::string Title;         // UTF-8
    int ClientHeight = 0;      // tells the two templates apart
    ControlView Info, Next, Back, Cancel, AgreementText, Agree, Disagree;
};

// Runs fn on the robot's thread while pumping its messages (windows of the
// robot's own process, such as a stand-in game window, must keep answering).
void PumpFor(DWORD milliseconds);

class Robot {
public:
    ~Robot();
    // Starts a program; extraEnvironment entries ("NAME=value") are added to
    // (or replace) the robot's own environment.
    bool Start(const std::string& exe, const std::vector<std::string>& extraEnvironment = {});
    DWORD ProcessId() const { return pi_.dwProcessId; }
    bool Running() const;
    // Waits for the process to end; returns its exit code, or -1 on time-out.
    int WaitExit(DWORD timeoutMs);
    void Kill();

    // The process's visible top-level windows of the dialog class.
    std::vector<HWND> Windows() const;
    HWND FindMessageBox() const;
    HWND FindWizard() const;
    HWND WaitMessageBox(DWORD timeoutMs) const;
    HWND WaitWizard(DWORD timeoutMs) const;

    static WizardView ReadWizard(HWND wizard);

    // Player actions. Clicking refuses a button that is hidden or disabled
    // (a player could not press it) and returns false then.
    static bool Click(HWND dialog, int id);
    static void PressKey(HWND dialog, WORD key);   // to the focused control
    static void CloseBox(HWND window);             // the caption's close box

private:
    PROCESS_INFORMATION pi_ = {};
};

// Saves the window as it is on screen as a PNG file.
bool SaveScreenshot(HWND window, const std::string& path);


#endif
