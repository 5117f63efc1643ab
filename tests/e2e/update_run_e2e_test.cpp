// The update itself as a player meets it: each row runs the real UPDATE.exe
// through its wizard and then looks at the files on disk, their contents,
// times and attributes.
#include <gtest/gtest.h>

#include "e2e/fixtures.h"

namespace {

using namespace fixtures;

const uint64_t T = PayloadTime;
const uint64_t Older = T - 10000000;   // a second earlier
const uint64_t Later = T + 1;          // one unit later

std::vector<Step> Walk()
{
    return { Expect(Start()), Click(IDOK), Expect(Confirm()), Click(IDOK), Expect(Done()), Click(IDOK) };
}

// Up to the confirmation page and Next.
std::vector<Step> Run(std::vector<Step> then)
{
    std::vector<Step> steps = { Expect(Start()), Click(IDOK), Expect(Confirm()), Click(IDOK) };
    steps.insert(steps.end(), then.begin(), then.end());
    return steps;
}

DiskFile File(const std::string& path, const std::string& contents, uint64_t time = 0, DWORD attributes = 0)
{
    DiskFile f;
    f.Path = path;
    f.Contents = contents;
    f.Time = time;
    f.Attributes = attributes;
    return f;
}

// A file written from the archive: its contents and the entry's time as
// creation, last-access and last-write time.
DiskFile Extracted(const std::string& path, const std::string& contents)
{
    DiskFile f = File(path, contents, T);
    f.AllTimes = true;
    return f;
}

DiskFile Absent(const std::string& path)
{
    DiskFile f;
    f.Path = path;
    f.Missing = true;
    return f;
}

PayloadFile Entry(const std::string& name, const std::string& contents)
{
    return { name, contents };
}

Scenario UpdateRow(const std::string& name, const std::string& update, std::vector<PayloadFile> entries,
                   std::vector<DiskFile> before, std::vector<DiskFile> after, std::vector<Step> steps = Walk(),
                   int exitCode = 1)
{
    Scenario s = Row(name, steps, exitCode);
    s.Files = { Ini(Script("", update)) };
    s.Files.insert(s.Files.end(), entries.begin(), entries.end());
    s.Before = before;
    s.After = after;
    s.OnlyIn = { "game", "data" };
    return s;
}

const std::string Modes =
    "UpdateFile00=readme.txt\r\n"
    "UpdateFile01=u,bgm.dat\r\n"
    "UpdateFile02=d,save.dat\r\n"
    "UpdateFile03=o,opt.dat\r\n"
    "UpdateFile04=1,u,mode1.dat\r\n"
    "UpdateFile05=0,sub\\deep.dat\r\n";

std::vector<PayloadFile> ModeEntries()
{
    return { Entry("readme.txt", "README v2"), Entry("bgm.dat", "BGM v2"), Entry("save.dat", "SAVE from patch"),
             Entry("opt.dat", "OPT v2"), Entry("mode1.dat", "M1"), Entry("deep.dat", "DEEP v2") };
}

Step WriteFailed()
{
    return ErrorBox(Title, "ファイルの書き込みに失敗しました");
}

const std::string DiscPrompt = "ＣＤ－ＲＯＭドライブに「ロボットクエスト」ディスク 1 を入れて下さい";

std::vector<DiskFile> Disc1()
{
    return { File("cdrom\\disc1.chk", ""), File("cdrom\\voice.dat", "VOICE"),
             File("cdrom\\data\\movie\\op.avi", "OP"), File("cdrom\\data\\movie\\ed.avi", "ED") };
}

std::vector<Scenario> Scenarios()
{
    std::vector<Scenario> all;

    // Each mode against targets that do not exist yet.
    all.push_back(UpdateRow("modes_fresh", Modes, ModeEntries(), { File("game\\sub\\old.txt", "keep") },
                            { Extracted("game\\readme.txt", "README v2"), Extracted("game\\bgm.dat", "BGM v2"),
                              Extracted("data\\save.dat", "SAVE from patch"), Absent("game\\opt.dat"),
                              Absent("game\\mode1.dat"), Extracted("game\\sub\\deep.dat", "DEEP v2"),
                              File("game\\sub\\old.txt", "keep") }));

    // Each mode against existing targets: a later plain file is replaced and
    // loses read-only and hidden; a later "u" file stays; a data file keeps
    // the player's content; an "o" file is replaced.
    all.push_back(UpdateRow("modes_existing", Modes, ModeEntries(),
                            { File("game\\readme.txt", "old", Later, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
                              File("game\\bgm.dat", "old bgm", Later), File("data\\save.dat", "player save", Older),
                              File("game\\opt.dat", "old opt", Later), File("game\\sub\\deep.dat", "old deep", Later) },
                            { Extracted("game\\readme.txt", "README v2"), File("game\\bgm.dat", "old bgm", Later),
                              File("data\\save.dat", "player save"), Extracted("game\\opt.dat", "OPT v2"),
                              Absent("game\\mode1.dat"), Extracted("game\\sub\\deep.dat", "DEEP v2") }));

    // Newer-only: an earlier file and one of the same time are replaced; a
    // read-only later one stays but is no longer read-only.
    all.push_back(UpdateRow("newer_only", "UpdateFile00=u,a.dat\r\nUpdateFile01=u,b.dat\r\nUpdateFile02=u,c.dat\r\n",
                            { Entry("a.dat", "A2"), Entry("b.dat", "B2"), Entry("c.dat", "C2") },
                            { File("game\\a.dat", "A1", Older), File("game\\b.dat", "B1", T),
                              File("game\\c.dat", "C1", Later, FILE_ATTRIBUTE_READONLY) },
                            { Extracted("game\\a.dat", "A2"), Extracted("game\\b.dat", "B2"),
                              File("game\\c.dat", "C1", Later) }));

    // Overwrite-only: only files that exist are touched, whatever the mode.
    {
        Scenario s = UpdateRow("overwrite_only",
                               "OverwriteOnly=1\r\nUpdateFile00=readme.txt\r\nUpdateFile01=bgm.dat\r\n"
                               "UpdateFile02=d,save.dat\r\nUpdateFile03=d,new.dat\r\n",
                               { Entry("readme.txt", "R2"), Entry("bgm.dat", "B2"), Entry("save.dat", "S2"),
                                 Entry("new.dat", "N2") },
                               { File("game\\bgm.dat", "B1", Later), File("data\\save.dat", "player save") },
                               { Absent("game\\readme.txt"), Extracted("game\\bgm.dat", "B2"),
                                 File("data\\save.dat", "player save"), Absent("data\\new.dat") });
        all.push_back(s);
    }

    // Install-mode digits of the entries; a mode letter in capitals.
    {
        Scenario s = UpdateRow("install_mode_1", "UpdateFile00=1,u,mode1.dat\r\nUpdateFile01=0,zero.dat\r\n"
                                                 "UpdateFile02=U,a.dat\r\nUpdateFile03=1,O,o.dat\r\n",
                               { Entry("mode1.dat", "M1"), Entry("zero.dat", "Z"), Entry("a.dat", "A2"),
                                 Entry("o.dat", "O2") },
                               { File("game\\a.dat", "A1", Later) },
                               { Extracted("game\\mode1.dat", "M1"), Absent("game\\zero.dat"),
                                 File("game\\a.dat", "A1", Later), Absent("game\\o.dat") });
        s.Game.InstMode = 1;
        all.push_back(s);
    }

    // DataFolder: created below the install and the data folder.
    {
        Scenario s = UpdateRow("data_folder", "UpdateFile00=readme.txt\r\nUpdateFile01=d,save.dat\r\n",
                               { Entry("readme.txt", "R2"), Entry("save.dat", "S2") }, {},
                               { Extracted("game\\patch\\readme.txt", "R2"), Extracted("data\\patch\\save.dat", "S2") });
        s.Files[0] = Ini(Script("DataFolder=patch\r\n", "UpdateFile00=readme.txt\r\nUpdateFile01=d,save.dat\r\n"));
        all.push_back(s);
    }

    // Nothing for this install mode: a box, then the completion page.
    all.push_back(UpdateRow("nothing_for_this_mode", "UpdateFile00=1,a.dat\r\nCopyFile00=1,1:voice.dat\r\n",
                            { Entry("a.dat", "A") }, {}, { Absent("game\\a.dat"), Absent("game\\voice.dat") },
                            Run({ ErrorBox(Title, "アップデートする必要のあるファイルはありません"), Press(IDOK),
                                  Expect(Done()), Click(IDOK) })));

    // No UpdateFile00 and no CopyFile00 (a later key does not count).
    all.push_back(UpdateRow("no_lists", "UpdateFile01=a.dat\r\n", { Entry("a.dat", "A") }, {}, { Absent("game\\a.dat") },
                            Run({ ErrorBox(Title, "No 'UpdateFileXX' and 'CopyFileXX'"), Press(IDOK), Interrupted(),
                                  Press(IDOK) }), 0));

    // A failure halfway: the earlier file stays applied, the later one is not
    // written, the disc phase does not run, and nothing half-written is left.
    all.push_back(UpdateRow("fails_halfway",
                            "UpdateFile00=a.dat\r\nUpdateFile01=gone.dat\r\nUpdateFile02=c.dat\r\nCopyFile00=1:voice.dat\r\n",
                            { Entry("a.dat", "A2"), Entry("c.dat", "C2") }, { File("game\\c.dat", "C1", Older) },
                            { Extracted("game\\a.dat", "A2"), File("game\\c.dat", "C1", Older), Absent("game\\voice.dat") },
                            Run({ ErrorBox(Title, "Can't Find File in Resource !!"), Press(IDOK), WriteFailed(),
                                  Shot("box-write-failed"), Press(IDOK), Interrupted(), Press(IDOK) }), 0));

    // A folder of the path that does not exist: the write fails.
    all.push_back(UpdateRow("missing_subfolder", "UpdateFile00=nosub\\a.dat\r\n", { Entry("a.dat", "A") }, {},
                            { Absent("game\\nosub\\a.dat") },
                            Run({ WriteFailed(), Press(IDOK), Interrupted(), Press(IDOK) }), 0));

    // A folder in the target's place.
    all.push_back(UpdateRow("folder_in_the_way", "UpdateFile00=a.dat\r\n", { Entry("a.dat", "A") },
                            { File("game\\a.dat\\inside.txt", "x") }, { File("game\\a.dat\\inside.txt", "x") },
                            Run({ WriteFailed(), Press(IDOK), Interrupted(), Press(IDOK) }), 0));

    // A path longer than a path can be is refused before anything is written.
    all.push_back(UpdateRow("path_too_long", "UpdateFile00=a.dat\r\nUpdateFile01=" + std::string(300, 'x') + "\r\n",
                            { Entry("a.dat", "A") }, {}, { Absent("game\\a.dat") },
                            Run({ ErrorBox(Title, "UPDATE.INI : UpdateFile01 のパスが長すぎます"), Press(IDOK),
                                  Interrupted(), Press(IDOK) }), 0));

    // Disc copies: a file, and a folder (copied into the install folder under
    // its own name) from the same drive without a new search.
    {
        Scenario s = UpdateRow("copy_file_and_folder",
                               "UpdateFile00=readme.txt\r\nCopyFile00=1:voice.dat\r\nCopyFile01=data\\movie\r\n",
                               { Entry("readme.txt", "R2") }, Disc1(),
                               { Extracted("game\\readme.txt", "R2"), File("game\\voice.dat", "VOICE"),
                                 File("game\\movie\\op.avi", "OP"), File("game\\movie\\ed.avi", "ED") });
        all.push_back(s);
    }
    // The install-mode character of a CopyFile entry.
    all.push_back(UpdateRow("copy_mode_filter", "CopyFile00=1,1:voice.dat\r\nCopyFile01=0,1:data\\movie\\op.avi\r\n",
                            {}, Disc1(), { Absent("game\\voice.dat"), File("game\\data\\movie\\op.avi", "OP") }));

    // A source missing on the disc: copied as a folder, which fails.
    all.push_back(UpdateRow("copy_source_missing", "CopyFile00=1:nothing.dat\r\n", {}, Disc1(), {},
                            Run({ ErrorBox(Title, "SETUP.INI : \"nothing.dat\" のコピーに失敗しました"), Press(IDOK),
                                  Interrupted(), Press(IDOK) }), 0));

    // The disc is not in the drive: asked again after OK without it, then
    // inserted.
    all.push_back(UpdateRow("disc_prompt", "CopyFile00=1:voice.dat\r\n", {}, {}, { File("game\\voice.dat", "VOICE") },
                            Run({ Box(Title, DiscPrompt, BoxIcon::None, { IDOK, IDCANCEL }), Shot("box-insert-disc"),
                                  Press(IDOK), Box(Title, DiscPrompt, BoxIcon::None, { IDOK, IDCANCEL }),
                                  InsertDisc(Disc1()), Press(IDOK), Expect(Done()), Click(IDOK) })));

    // Cancel at the prompt: the update entries applied before stay.
    all.push_back(UpdateRow("disc_prompt_cancel", "UpdateFile00=readme.txt\r\nCopyFile00=1:voice.dat\r\n",
                            { Entry("readme.txt", "R2") }, {},
                            { Extracted("game\\readme.txt", "R2"), Absent("game\\voice.dat") },
                            Run({ Box(Title, DiscPrompt, BoxIcon::None, { IDOK, IDCANCEL }), Press(IDCANCEL),
                                  Interrupted(), Press(IDOK) }), 0));

    // A disc character that is not a digit is refused before anything is written.
    all.push_back(UpdateRow("copy_bad_disc_number", "UpdateFile00=readme.txt\r\nCopyFile00=x:voice.dat\r\n",
                            { Entry("readme.txt", "R2") }, Disc1(), { Absent("game\\readme.txt") },
                            Run({ ErrorBox(Title, "UPDATE.INI : CopyFile00 のディスク番号が正しくありません"),
                                  Press(IDOK), Interrupted(), Press(IDOK) }), 0));

    // Too little room on the install folder's drive (a 64 KiB drive): the
    // shortfall page; Back leads to the confirmation page, Next checks again.
    {
        Page shortfall;
        shortfall.Info = "ディスク容量が足りません。\rQ: ドライブに {SHORTFALL Q: 1048576} バイトの空き容量が必要です";
        shortfall.Back = true;
        shortfall.Next = false;
        Scenario s = UpdateRow("disk_space_shortfall", "RequiredDiskSpace=1048576\r\nUpdateFile00=readme.txt\r\n",
                               { Entry("readme.txt", "R2") }, {}, { Absent("game\\readme.txt") },
                               Run({ Expect(shortfall), Shot("page-shortfall"), Click(4), Expect(Confirm()), Click(IDOK),
                                     Expect(shortfall), Click(IDCANCEL), Interrupted(), Press(IDOK) }), 0);
        s.Game.Drive = "Q:";
        s.OnlyIn = {};
        all.push_back(s);
    }

    // An entry without a disc number before any search looks for disc 1.
    all.push_back(UpdateRow("copy_without_disc_number", "CopyFile00=voice.dat\r\n", {}, Disc1(),
                            { File("game\\voice.dat", "VOICE") }));
    return all;
}

class Player : public ::testing::TestWithParam<Scenario> {};

TEST_P(Player, UpdatesTheGame)
{
    RunScenario(GetParam());
}

INSTANTIATE_TEST_SUITE_P(UpdateRun, Player, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.Name; });

} // namespace
