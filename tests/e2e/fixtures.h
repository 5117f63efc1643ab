// What the scenarios share: the installed game, the script, and the wizard's
// pages as a player sees them.
#ifndef TESTS_E2E_FIXTURES_H
#define TESTS_E2E_FIXTURES_H

#include "e2e/scenario.h"

namespace fixtures {

inline const char* const SetupIni =
    "[SETUP]\r\n"
    "CompanyName=RobotSoft\r\n"
    "GameTitle=ロボットクエスト\r\n"
    "GameDir=RobotQuest\r\n"
    "GameExe=rq.exe\r\n"
    "UninstExe=uninst.exe\r\n"
    "SetupBmp=setup.bmp\r\n"
    "InstallSelects=1\r\n"
    "InstallTitle0=標準\r\n"
    "InstallFiles0=rq.exe,data.pak\r\n"
    "Shortcuts=0\r\n"
    "GameClass=RobotQuestClass\r\n"
    "DiskCheckFile1=disc1.chk\r\n";

inline const std::string Title = "ロボットクエスト アップデータ 1.01";
inline const std::string StartText = "「ロボットクエスト」のアップデートを開始します";
inline const std::string ConfirmText = "アップデートを実行します";
inline const std::string DoneText = "アップデートは完了しました";

inline std::string Script(const std::string& extraSetup = "", const std::string& update = "UpdateFile00=readme.txt\r\n")
{
    return "[SETUP]\r\nCompanyName=RobotSoft\r\nGameTitle=スクリプトの題\r\nGameClass=ScriptClass\r\n"
           "GameDir={GAMEDIR}\r\nUpdaterVersion=1.01\r\n" + extraSetup + "[UPDATE]\r\n" + update;
}

inline PayloadFile Ini(const std::string& text) { return { "UPDATE.INI", Utf8ToAnsi(text) }; }
inline PayloadFile Text(const std::string& name, const std::string& text) { return { name, Utf8ToAnsi(text) }; }

inline InstalledGame Game()
{
    InstalledGame g;
    g.SetupIni = SetupIni;
    return g;
}

inline Page Start(const std::string& info = StartText)
{
    Page p;
    p.Info = info;
    return p;
}

inline Page StartAgreement(int selected, const std::string& text, const std::string& info = StartText)
{
    Page p;
    p.Info = info;
    p.Agreement = selected;
    p.AgreementText = text;
    p.Next = selected == 1;
    return p;
}

inline Page Confirm()
{
    Page p;
    p.Info = ConfirmText;
    return p;
}

inline Page Done()
{
    Page p;
    p.Info = DoneText;
    p.Cancel = false;
    p.NextCaption = "完了";
    p.NextFocused = true;
    return p;
}

inline Step Interrupted()
{
    return Box(Title, "アップデートが中断されました", BoxIcon::Error, { IDOK });
}

inline Step ErrorBox(const std::string& caption, const std::string& text)
{
    return Box(caption, text, BoxIcon::Error, { IDOK });
}

inline std::string RunningGame(const std::string& title)
{
    return "「" + title + "」が実行中です。アップデートを続行する場合はゲームを終了してから [OK] を、"
           "アップデートを中止する場合は [キャンセル] を押して下さい";
}

inline Scenario Row(const std::string& name, std::vector<Step> steps, int exitCode)
{
    Scenario s;
    s.Name = name;
    s.Game = Game();
    s.Files = { Ini(Script()), Text("readme.txt", "new readme") };
    s.WindowTitle = Title;
    s.Steps = steps;
    s.ExitCode = exitCode;
    return s;
}

} // namespace fixtures

#endif
