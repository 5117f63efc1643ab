// Plays an updater through to its end as a player who agrees and presses
// Next: answers each message box with its first button, picks "同意する",
// saves a screenshot of every page and box, and prints what it saw.
// Usage: walkthrough UPDATE.exe SCREENSHOT_FOLDER
// Exit code: the updater's.
#include <stdio.h>

#include "e2e/robot.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: walkthrough UPDATE.exe SCREENSHOT_FOLDER\n");
        return 2;
    }
    std::string folder = argv[2];
    CreateDirectoryA(folder.c_str(), 0);
    Robot robot;
    if (!robot.Start(argv[1])) {
        fprintf(stderr, "cannot start %s\n", argv[1]);
        return 2;
    }
    int shot = 0;
    DWORD started = GetTickCount();
    auto stamp = [&] { return (GetTickCount() - started) / 1000.0; };
    std::string lastPage;
    DWORD idleSince = GetTickCount();
    while (robot.Running() && GetTickCount() - idleSince < 60000) {
        PumpFor(200);
        char name[64];
        if (HWND box = robot.FindMessageBox()) {
            PumpFor(300);
            SeenBox seen = ReadMessageBox(box);
            snprintf(name, sizeof name, "\\%02d-box.png", ++shot);
            SaveScreenshot(box, folder + name);
            printf("%7.2f s  box  [%s] %s\n", stamp(), seen.Caption.c_str(), seen.Text.c_str());
            Robot::Click(box, seen.Buttons.empty() ? IDOK : seen.Buttons.front());
            idleSince = GetTickCount();
            continue;
        }
        HWND wizard = robot.FindWizard();
        if (!wizard)
            continue;
        WizardView v = Robot::ReadWizard(wizard);
        if (v.Agree.Visible && !v.Agree.Checked) {
            snprintf(name, sizeof name, "\\%02d-page.png", ++shot);
            SaveScreenshot(wizard, folder + name);
            printf("%7.2f s  page [%s] %s (agreement shown)\n", stamp(), v.Title.c_str(), v.Info.Text.c_str());
            Robot::Click(wizard, 1002);
            lastPage = v.Info.Text + "/agreed";
            idleSince = GetTickCount();
            continue;
        }
        std::string page = v.Info.Text + "/" + v.Next.Text;
        if (v.Next.Enabled && page != lastPage) {
            printf("%7.2f s  page [%s] %s / button %s\n", stamp(), v.Title.c_str(), v.Info.Text.c_str(),
                   v.Next.Text.c_str());
            PumpFor(300);
            snprintf(name, sizeof name, "\\%02d-page.png", ++shot);
            SaveScreenshot(wizard, folder + name);
            lastPage = page;
            if (v.Next.Text != "完了")
                printf("%7.2f s  press Next\n", stamp());
            Robot::Click(wizard, 1);
            idleSince = GetTickCount();
        }
    }
    int code = robot.WaitExit(10000);
    printf("updater exit code %d, %d screenshots in %s\n", code, shot, folder.c_str());
    return code;
}
