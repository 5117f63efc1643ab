// The updater as a player meets it: start-up checks, messages, the wizard's
// pages and buttons, exit codes. Each row starts the real UPDATE.exe.
#include <gtest/gtest.h>

#include "e2e/fixtures.h"

namespace {

using namespace fixtures;

std::vector<Scenario> Scenarios()
{
    std::vector<Scenario> all;

    // The whole wizard without an agreement text, with screenshots.
    all.push_back(Row("walk_through", { Expect(Start()), Shot("page-start"), Click(IDOK), Expect(Confirm()),
                                        Shot("page-confirm"), Click(IDOK), Expect(Done()), Shot("page-done"),
                                        Click(IDOK) }, 1));
    // Enter presses the default button just as a click on Next does.
    all.push_back(Row("enter_key", { Expect(Start()), Key(VK_RETURN), Expect(Confirm()), Click(IDOK), Expect(Done()),
                                     Key(VK_RETURN) }, 1));

    // Cancel, Escape and the close box end the wizard with the interruption message.
    all.push_back(Row("cancel_start", { Expect(Start()), Click(IDCANCEL), Interrupted(), Shot("box-interrupted"),
                                        Press(IDOK) }, 0));
    all.push_back(Row("cancel_confirm", { Expect(Start()), Click(IDOK), Expect(Confirm()), Click(IDCANCEL),
                                          Interrupted(), Press(IDOK) }, 0));
    all.push_back(Row("escape", { Expect(Start()), Key(VK_ESCAPE), Interrupted(), Press(IDOK) }, 0));
    all.push_back(Row("close_box", { Expect(Start()), Click(IDOK), Expect(Confirm()), CloseWindow(), Interrupted(),
                                     Press(IDOK) }, 0));
    // On the completion page Cancel is disabled, and so are Escape and the close box.
    all.push_back(Row("close_box_at_end", { Expect(Start()), Click(IDOK), Click(IDOK), Expect(Done()), CloseWindow(),
                                            Key(VK_ESCAPE), Expect(Done()), Click(IDOK) }, 1));

    // Agreement text: Next only after "同意する"; "同意しない" disables it again.
    {
        Scenario s = Row("agreement", { Expect(StartAgreement(0, "第1条\r\n本ソフトの利用条件")),
                                        Shot("page-agreement"), Click(1002),
                                        Expect(StartAgreement(1, "第1条\r\n本ソフトの利用条件")), Click(1003),
                                        Expect(StartAgreement(0, "第1条\r\n本ソフトの利用条件")), Click(1002),
                                        Click(IDOK), Expect(Confirm()), Click(IDOK), Expect(Done()), Click(IDOK) }, 1);
        s.Files = { Ini(Script("AgreementText=license.txt\r\n")),
                    Text("license.txt", "第1条\r\n本ソフトの利用条件"), Text("readme.txt", "x") };
        all.push_back(s);
    }
    // The agreement title is shown as it is, "%s" and "%%" included.
    {
        Scenario s = Row("agreement_title", { Expect(StartAgreement(0, "規約", "利用規約 %s 100%% です")),
                                              Click(1002), Click(IDOK), Expect(Confirm()), Click(IDCANCEL),
                                              Interrupted(), Press(IDOK) }, 0);
        s.Files = { Ini(Script("AgreementText=license.txt\r\nAgreementTitle=title.txt\r\n")),
                    Text("license.txt", "規約"), Text("title.txt", "利用規約 %s 100%% です"), Text("readme.txt", "x") };
        all.push_back(s);
    }
    // A title without an agreement text: the plain template, Next enabled.
    {
        Scenario s = Row("title_only", { Expect(Start("ようこそ")), Click(IDOK), Expect(Confirm()), Click(IDOK),
                                         Expect(Done()), Click(IDOK) }, 1);
        s.Files = { Ini(Script("AgreementTitle=title.txt\r\n")), Text("title.txt", "ようこそ"),
                    Text("readme.txt", "x") };
        all.push_back(s);
    }
    // Installation wording names the updater title; percent signs stay.
    {
        Scenario s = Row("install_mode", { Expect(Start("「新章 100%」のインストールを開始します")), Click(IDOK),
                                           Expect([] { Page p = Confirm(); p.Info = "インストールを実行します"; return p; }()),
                                           Click(IDOK),
                                           Expect([] { Page p = Done(); p.Info = "インストールは完了しました"; return p; }()),
                                           Click(IDOK) }, 1);
        s.Files[0] = Ini(Script("UpdaterTitle=新章 100%\r\nModeTextUpdateOrInstall=1\r\n"));
        s.WindowTitle = "新章 100%";
        all.push_back(s);
    }
    // The start-up message: "\n" breaks the line; a double-byte character
    // whose second byte is a backslash ("ソ") stays as it is, "n" after it too.
    {
        Scenario s = Row("update_message", { ErrorBox("UPDATE", "一行目\r二行目 ソnフト"), Shot("box-message"),
                                             Press(IDOK), Expect(Start()), Click(IDCANCEL), Interrupted(),
                                             Press(IDOK) }, 0);
        s.Files[0] = Ini(Script("UpdateMessage=一行目\\n二行目 ソnフト\r\n"));
        all.push_back(s);
    }
    // Without UpdaterVersion the title ends in "アップデータ" and a blank.
    {
        Scenario s = Row("no_version", { Expect(Start()), Click(IDCANCEL), Interrupted(), Press(IDOK) }, 0);
        s.Files[0] = Ini("[SETUP]\r\nCompanyName=RobotSoft\r\nGameTitle=t\r\nGameClass=c\r\nGameDir={GAMEDIR}\r\n"
                         "[UPDATE]\r\nUpdateFile00=a\r\n");
        s.WindowTitle = "ロボットクエスト アップデータ ";
        s.Steps[2] = Box(s.WindowTitle, "アップデートが中断されました", BoxIcon::Error, { IDOK });
        all.push_back(s);
    }

    // The running game: asked again after OK while its window is there.
    {
        Scenario s = Row("game_running", { Box(Title, RunningGame("ロボットクエスト"), BoxIcon::None, { IDOK, IDCANCEL }),
                                           Shot("box-game-running"), Press(IDOK),
                                           Box(Title, RunningGame("ロボットクエスト"), BoxIcon::None, { IDOK, IDCANCEL }),
                                           CloseGame(), Press(IDOK), Expect(Start()), Click(IDCANCEL), Interrupted(),
                                           Press(IDOK) }, 0);
        s.GameWindows = { "ロボットクエスト" };
        all.push_back(s);
    }
    {
        Scenario s = Row("game_running_cancel", { Box(Title, RunningGame("ロボットクエスト"), BoxIcon::None, { IDOK, IDCANCEL }),
                                                  Press(IDCANCEL), NothingShown() }, 0);
        s.GameWindows = { "ロボットクエスト" };
        all.push_back(s);
    }
    {
        Scenario s = Row("game_running_title_a", { Box(Title, RunningGame("RQ Launcher"), BoxIcon::None, { IDOK, IDCANCEL }),
                                                   CloseGame(), Press(IDOK), Expect(Start()), Click(IDCANCEL),
                                                   Interrupted(), Press(IDOK) }, 0);
        s.Files[0] = Ini(Script("GameTitleA=RQ Launcher\r\n"));
        s.GameWindows = { "RQ Launcher" };
        all.push_back(s);
    }

    // A second start while the first one shows its wizard.
    all.push_back(Row("second_instance", { Expect(Start()), StartSecond(), Expect(Start()), Click(IDOK),
                                           Expect(Confirm()), Click(IDOK), Expect(Done()), Click(IDOK) }, 1));

    // Start-up failures.
    {
        Scenario s = Row("no_payload", { NothingShown() }, 0);
        s.Kind = PayloadKind::Unbound;
        all.push_back(s);
    }
    {
        Scenario s = Row("broken_archive", { ErrorBox("UPDATE", "RESOURCE READ ERROR"), Press(IDOK) }, 0);
        s.Kind = PayloadKind::Raw;
        s.RawPayload = std::string("QZ2\0\0\0\0\0\xff\xff\0\0\1\0\0\0", 16);   // directory far beyond the image
        all.push_back(s);
    }
    {
        Scenario s = Row("no_script", { ErrorBox("UPDATE", "Can't Find File in Resource !!"), Press(IDOK) }, 0);
        s.Files = { Text("readme.txt", "x") };
        all.push_back(s);
    }
    {
        Scenario s = Row("script_key_missing", { ErrorBox("INSTCMMN", "SETUP : GameClass キーが存在しません"),
                                                 Shot("box-missing-key"), Press(IDOK) }, 0);
        s.Files[0] = Ini("[SETUP]\r\nCompanyName=RobotSoft\r\nGameTitle=t\r\nGameDir={GAMEDIR}\r\n");
        all.push_back(s);
    }
    {
        Scenario s = Row("agreement_missing", { ErrorBox("UPDATE", "Can't Find File in Resource !!"), Press(IDOK),
                                                ErrorBox("UPDATE", "'license.txt' not found at UPDATE.QZ3"),
                                                Press(IDOK) }, 0);
        s.Files[0] = Ini(Script("AgreementText=license.txt\r\n"));
        all.push_back(s);
    }
    {
        Scenario s = Row("not_installed", { ErrorBox("UPDATE", "「スクリプトの題」がインストールされていません"),
                                            Press(IDOK) }, 0);
        s.Game.Registered = false;
        all.push_back(s);
    }
    {
        Scenario s = Row("no_inst_mode", { ErrorBox("UPDATE", "「スクリプトの題」がインストールされていません"),
                                           Press(IDOK) }, 0);
        s.Game.HasInstMode = false;
        all.push_back(s);
    }
    {
        Scenario s = Row("no_setup_ini", { ErrorBox("UPDATE", "インストール先に \"SETUP.INI\" ファイルが見つかりません"),
                                           Press(IDOK) }, 0);
        s.Game.SetupIni = "";
        all.push_back(s);
    }
    {
        // A folder of that name passes the presence test; reading it fails silently.
        Scenario s = Row("setup_ini_folder", { NothingShown() }, 0);
        s.Game.SetupIni = "";
        s.Game.SetupIniIsFolder = true;
        all.push_back(s);
    }
    {
        Scenario s = Row("setup_ini_invalid", { ErrorBox("INSTCMMN", "SETUP.INI : InstallSelect オーバー"),
                                                Press(IDOK) }, 0);
        std::string ini = SetupIni;
        ini.replace(ini.find("InstallSelects=1"), 16, "InstallSelects=5");
        s.Game.SetupIni = ini;
        all.push_back(s);
    }
    {
        // Keys of "SETUP.INI" read before the optional ones are not reported.
        Scenario s = Row("setup_ini_key_missing", { NothingShown() }, 0);
        std::string ini = SetupIni;
        ini.erase(ini.find("UninstExe="), std::string("UninstExe=uninst.exe\r\n").size());
        s.Game.SetupIni = ini;
        all.push_back(s);
    }
    return all;
}

class Player : public ::testing::TestWithParam<Scenario> {};

TEST_P(Player, MeetsTheUpdater)
{
    RunScenario(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Startup, Player, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.Name; });

} // namespace
