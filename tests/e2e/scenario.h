// Scenarios as data: the installed game, the payload, and the steps of a
// player at the updater's windows, run by the robot.
#ifndef TESTS_E2E_SCENARIO_H
#define TESTS_E2E_SCENARIO_H

#include <ostream>
#include <string>
#include <vector>

#include "e2e/robot.h"
#include "e2e/workspace.h"

enum class Do {
    ExpectBox,        // a message box with caption, text, icon and buttons
    PressBox,         // press a button of the open message box
    ExpectPage,       // the wizard in the given state
    Click,            // click a wizard button (it must be visible and enabled)
    Key,              // press a key in the wizard
    CloseWindow,      // the wizard's close box
    Shot,             // screenshot of the open box or wizard
    CloseGame,        // the stand-in game window goes away
    StartSecond,      // a second updater from the same file; it must exit 0 without a window
    ExpectNoWindow,   // the updater shows nothing for a moment
    InsertDisc,       // the CD-ROM drive now holds the step's files
    EjectDisc         // the CD-ROM drive is empty
};

// A file on disk, below the workspace ("game\\a.dat", "data\\b.dat") or on
// the disc ("cdrom\\movie\\op.avi").
struct DiskFile {
    std::string Path;
    std::string Contents;
    uint64_t Time = 0;            // all three times (FILETIME units); 0: as written
    DWORD Attributes = 0;         // extra attributes to set, e.g. read-only
    bool Missing = false;         // After: the file must not exist
    bool AllTimes = false;        // After: creation and last-access time equal Time too
};

struct Page {
    std::string Info;
    bool Back = false, Next = true, Cancel = true;
    std::string NextCaption = "次へ";
    int Agreement = -1;           // -1 hidden; 0 "同意しない" selected; 1 "同意する" selected
    std::string AgreementText;
    bool NextFocused = false;
};

struct Step {
    Do What = Do::ExpectNoWindow;
    std::string Caption, Text;    // ExpectBox
    BoxIcon Icon = BoxIcon::None;
    std::vector<int> Buttons;
    int Id = 0;                   // PressBox, Click, Key
    Page Expected;                // ExpectPage
    std::string Name;             // Shot
    std::vector<DiskFile> Files;  // InsertDisc
};

// Step builders, so that a scenario reads as a list.
Step Box(const std::string& caption, const std::string& text, BoxIcon icon, std::vector<int> buttons);
Step Press(int id);
Step Expect(const Page& page);
Step Click(int id);
Step Key(int key);
Step CloseWindow();
Step Shot(const std::string& name);
Step CloseGame();
Step StartSecond();
Step NothingShown();
Step InsertDisc(std::vector<DiskFile> files);
Step EjectDisc();

// The time that payload files carry unless they name another.
const uint64_t PayloadTime = 132223104000000000ULL;   // 2020-01-01 00:00 UTC

enum class PayloadKind { Packed, Unbound, Raw };

struct Scenario {
    std::string Name;
    InstalledGame Game;
    PayloadKind Kind = PayloadKind::Packed;
    std::vector<PayloadFile> Files;          // Packed ("{GAMEDIR}" in texts is replaced)
    std::string RawPayload;                  // Raw
    std::vector<std::string> Environment;    // extra variables for the updater
    std::vector<std::string> GameWindows;    // titles of stand-in game windows (UTF-8)
    std::string WindowTitle;                 // title that the wizard must show
    std::vector<Step> Steps;
    int ExitCode = 0;
    std::vector<DiskFile> Before;            // written before the updater starts
    std::vector<DiskFile> After;             // checked after it has ended
    std::vector<std::string> OnlyIn;         // folders that must hold only the After files (no leftovers)
};

// GoogleTest names a failing row by its name.
inline void PrintTo(const Scenario& s, std::ostream* out) { *out << s.Name; }

// Runs a scenario; reports mismatches through GoogleTest.
void RunScenario(const Scenario& s);

#endif
