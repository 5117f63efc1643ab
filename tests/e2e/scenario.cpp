#include "e2e/scenario.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/message_boxes.h"

static Step Make(Do what)
{
    Step s;
    s.What = what;
    return s;
}

Step Box(const std::string& caption, const std::string& text, BoxIcon icon, std::vector<int> buttons)
{
    Step s = Make(Do::ExpectBox);
    s.Caption = caption;
    s.Text = text;
    s.Icon = icon;
    s.Buttons = buttons;
    return s;
}

Step Press(int id) { Step s = Make(Do::PressBox); s.Id = id; return s; }
Step Expect(const Page& page) { Step s = Make(Do::ExpectPage); s.Expected = page; return s; }
Step Click(int id) { Step s = Make(Do::Click); s.Id = id; return s; }
Step Key(int key) { Step s = Make(Do::Key); s.Id = key; return s; }
Step CloseWindow() { return Make(Do::CloseWindow); }
Step Shot(const std::string& name) { Step s = Make(Do::Shot); s.Name = name; return s; }
Step CloseGame() { return Make(Do::CloseGame); }
Step StartSecond() { return Make(Do::StartSecond); }
Step NothingShown() { return Make(Do::ExpectNoWindow); }
Step InsertDisc(std::vector<DiskFile> files) { Step s = Make(Do::InsertDisc); s.Files = files; return s; }
Step EjectDisc() { return Make(Do::EjectDisc); }

namespace {

const DWORD Patience = 15000;

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + to.size()))
        text.replace(p, from.size(), to);
    return text;
}

// "{SHORTFALL Q: N}" in an expected text: the bytes that drive Q: lacks for N.
std::string Resolve(std::string text)
{
    size_t at = text.find("{SHORTFALL ");
    if (at == std::string::npos)
        return text;
    size_t end = text.find('}', at);
    std::string drive = text.substr(at + 11, 2);
    unsigned long long needed = std::stoull(text.substr(at + 14, end - at - 14));
    ULARGE_INTEGER available = {}, total, free;
    GetDiskFreeSpaceExA((drive + "\\").c_str(), &available, &total, &free);
    return text.replace(at, end + 1 - at, std::to_string(needed - available.QuadPart));
}

bool Matches(const WizardView& v, const Scenario& s, const Page& p)
{
    bool agreementShown = v.AgreementText.Exists && v.AgreementText.Visible;
    if (v.Title != s.WindowTitle || v.Info.Text != p.Info || v.Back.Enabled != p.Back ||
        v.Next.Enabled != p.Next || v.Cancel.Enabled != p.Cancel || v.Next.Text != p.NextCaption)
        return false;
    if (p.NextFocused && !v.Next.Focused)
        return false;
    if (p.Agreement < 0)
        return !agreementShown && !(v.Agree.Exists && v.Agree.Visible);
    return agreementShown && v.Agree.Visible && v.Disagree.Visible && v.Agree.Checked == (p.Agreement == 1) &&
           v.Disagree.Checked == (p.Agreement == 0) && v.AgreementText.Text == p.AgreementText;
}

LRESULT CALLBACK GameWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(w, m, wp, lp);
}

HWND OpenGameWindow(const std::string& title)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = GameWindowProc;
        wc.hInstance = GetModuleHandleA(0);
        wc.lpszClassName = "RobotQuestClass";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowA("RobotQuestClass", Utf8ToAnsi(title).c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, 0, 0,
                         GetModuleHandleA(0), 0);
}

std::string Place(const Workspace& ws, const std::string& path)
{
    if (path.compare(0, 6, "cdrom\\") == 0)
        return CdromFolder() + path.substr(5);
    if (path.compare(0, 5, "game\\") == 0)
        return ws.InstallFolder() + path.substr(4);
    return ws.Root() + "\\" + path;
}

void MakeFolders(const std::string& path)
{
    for (size_t p = path.find('\\', 3); p != std::string::npos; p = path.find('\\', p + 1))
        CreateDirectoryA(path.substr(0, p).c_str(), 0);
}

void Put(const Workspace& ws, const DiskFile& f)
{
    std::string path = Place(ws, Utf8ToAnsi(f.Path));
    MakeFolders(path);
    ASSERT_TRUE(WriteFileBytes(path, f.Contents)) << f.Path;
    if (f.Time) {
        ASSERT_TRUE(SetAllTimes(path, f.Time)) << f.Path;
    }
    if (f.Attributes)
        SetFileAttributesA(path.c_str(), f.Attributes);
}

void EmptyDisc()
{
    RemoveTree(CdromFolder());
    CreateDirectoryA(CdromFolder().c_str(), 0);
}

void CheckFile(const Workspace& ws, const DiskFile& f)
{
    std::string path = Place(ws, Utf8ToAnsi(f.Path));
    if (f.Missing) {
        EXPECT_FALSE(FileExists(path)) << f.Path << " must not exist";
        return;
    }
    // Times first: reading the file may move its last-access time.
    uint64_t created, accessed, written;
    ASSERT_TRUE(FileTimes(path, &created, &accessed, &written)) << f.Path << " missing";
    if (f.Time) {
        EXPECT_EQ(f.Time, written) << f.Path << " last-write time";
        if (f.AllTimes) {
            EXPECT_EQ(f.Time, created) << f.Path << " creation time";
            EXPECT_EQ(f.Time, accessed) << f.Path << " last-access time";
        }
    }
    std::string contents;
    ASSERT_TRUE(ReadFileBytes(path, &contents)) << f.Path;
    EXPECT_EQ(f.Contents, contents) << f.Path;
    if (f.Attributes == 0) {
        EXPECT_EQ(0u, GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) << f.Path;
    }
}

// Every file below folder, as paths relative to the workspace.
void ListFiles(const std::string& root, const std::string& relative, std::vector<std::string>* out)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((root + "\\" + relative + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = relative + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(root, path, out);
        else
            out->push_back(AnsiToUtf8(path));
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

} // namespace

void RunScenario(const Scenario& s)
{
    Workspace ws(s.Name);
    ws.Install(s.Game);
    EmptyDisc();
    for (const DiskFile& f : s.Before)
        Put(ws, f);
    if (::testing::Test::HasFatalFailure())
        return;
    std::string exe;
    if (s.Kind == PayloadKind::Unbound) {
        exe = ws.UnboundUpdater();
    } else if (s.Kind == PayloadKind::Raw) {
        exe = ws.BindRawPayload(s.RawPayload);
    } else {
        std::vector<PayloadFile> files = s.Files;
        for (PayloadFile& f : files)
            f.Contents = Replace(f.Contents, "{GAMEDIR}", ws.GameDir());
        exe = ws.BuildUpdater(files);
    }
    ASSERT_FALSE(exe.empty()) << "could not build the updater for " << s.Name;

    std::vector<HWND> games;
    for (const std::string& title : s.GameWindows)
        games.push_back(OpenGameWindow(title));

    Robot robot;
    ASSERT_TRUE(robot.Start(exe, s.Environment));
    std::string script = TempFolder() + "UPDATE" + std::to_string(robot.ProcessId()) + ".INI";

    for (size_t i = 0; i < s.Steps.size(); i++) {
        const Step& step = s.Steps[i];
        SCOPED_TRACE("step " + std::to_string(i + 1));
        switch (step.What) {
        case Do::ExpectBox: {
            HWND box = robot.WaitMessageBox(Patience);
            ASSERT_NE(nullptr, box) << "no message box; expected: " << step.Text;
            PumpFor(300);   // let it paint before its icon is looked at
            SeenBox seen = ReadMessageBox(box);
            EXPECT_EQ(step.Caption, seen.Caption);
            EXPECT_EQ(step.Text, seen.Text);
            EXPECT_EQ((int)step.Icon, (int)seen.Icon);
            EXPECT_EQ(step.Buttons, seen.Buttons);
            break;
        }
        case Do::PressBox: {
            HWND box = robot.FindMessageBox();
            ASSERT_NE(nullptr, box);
            ASSERT_TRUE(Robot::Click(box, step.Id));
            for (DWORD t = 0; t < Patience && IsWindow(box); t += 50)
                PumpFor(50);
            break;
        }
        case Do::ExpectPage: {
            HWND wizard = robot.WaitWizard(Patience);
            ASSERT_NE(nullptr, wizard) << "no wizard";
            WizardView v;
            Page p = step.Expected;
            p.Info = Resolve(p.Info);
            for (DWORD t = 0; t < Patience; t += 50) {
                v = Robot::ReadWizard(wizard);
                if (Matches(v, s, p))
                    break;
                PumpFor(50);
            }
            EXPECT_EQ(s.WindowTitle, v.Title);
            EXPECT_EQ(p.Info, v.Info.Text);
            EXPECT_EQ(p.Back, v.Back.Enabled) << "Back enabled";
            EXPECT_EQ(p.Next, v.Next.Enabled) << "Next enabled";
            EXPECT_EQ(p.Cancel, v.Cancel.Enabled) << "Cancel enabled";
            EXPECT_EQ(p.NextCaption, v.Next.Text);
            if (p.NextFocused) {
                EXPECT_TRUE(v.Next.Focused) << "Next has the focus";
            }
            if (p.Agreement < 0) {
                EXPECT_FALSE(v.AgreementText.Exists && v.AgreementText.Visible) << "agreement text hidden";
            } else {
                EXPECT_TRUE(v.AgreementText.Visible && v.Agree.Visible && v.Disagree.Visible);
                EXPECT_EQ(p.Agreement == 1, v.Agree.Checked) << "同意する selected";
                EXPECT_EQ(p.Agreement == 0, v.Disagree.Checked) << "同意しない selected";
                EXPECT_EQ(p.AgreementText, v.AgreementText.Text);
            }
            break;
        }
        case Do::Click: {
            HWND wizard = robot.WaitWizard(Patience);
            ASSERT_NE(nullptr, wizard);
            ASSERT_TRUE(Robot::Click(wizard, step.Id)) << "button " << step.Id << " cannot be pressed";
            PumpFor(100);
            break;
        }
        case Do::Key: {
            HWND wizard = robot.WaitWizard(Patience);
            ASSERT_NE(nullptr, wizard);
            Robot::PressKey(wizard, (WORD)step.Id);
            PumpFor(100);
            break;
        }
        case Do::CloseWindow: {
            HWND wizard = robot.WaitWizard(Patience);
            ASSERT_NE(nullptr, wizard);
            Robot::CloseBox(wizard);
            PumpFor(100);
            break;
        }
        case Do::Shot: {
            HWND w = robot.FindMessageBox();
            if (!w)
                w = robot.WaitWizard(Patience);
            ASSERT_NE(nullptr, w);
            PumpFor(300);
            EXPECT_TRUE(SaveScreenshot(w, ScreenshotFolder() + "\\" + step.Name + ".png"));
            break;
        }
        case Do::CloseGame:
            for (HWND g : games)
                DestroyWindow(g);
            games.clear();
            break;
        case Do::StartSecond: {
            // The first updater's wizard is up; a second one hands over to it.
            EXPECT_TRUE(FileExists(script)) << "the first updater's script";
            Robot second;
            ASSERT_TRUE(second.Start(exe, s.Environment));
            std::string secondScript = TempFolder() + "UPDATE" + std::to_string(second.ProcessId()) + ".INI";
            EXPECT_EQ(0, second.WaitExit(Patience));
            EXPECT_TRUE(second.Windows().empty());
            EXPECT_FALSE(FileExists(secondScript)) << "the second updater's script is removed";
            EXPECT_TRUE(FileExists(script)) << "the first updater's script is left alone";
            EXPECT_EQ(nullptr, robot.FindMessageBox());
            break;
        }
        case Do::InsertDisc:
            EmptyDisc();
            for (const DiskFile& f : step.Files)
                Put(ws, f);
            break;
        case Do::EjectDisc:
            EmptyDisc();
            break;
        case Do::ExpectNoWindow:
            PumpFor(1500);
            EXPECT_TRUE(robot.Windows().empty());
            break;
        }
        if (::testing::Test::HasFatalFailure())
            break;
    }

    EXPECT_EQ(s.ExitCode, robot.WaitExit(Patience)) << "exit code";
    EXPECT_FALSE(FileExists(script)) << "temporary script removed";
    for (HWND g : games)
        DestroyWindow(g);
    for (const DiskFile& f : s.After)
        CheckFile(ws, f);
    for (const std::string& folder : s.OnlyIn) {
        std::vector<std::string> found, expected;
        ListFiles(ws.Root(), folder, &found);
        found.erase(std::remove(found.begin(), found.end(), "game\\SETUP.INI"), found.end());   // the harness's
        for (const DiskFile& f : s.After)
            if (!f.Missing && f.Path.compare(0, folder.size() + 1, folder + "\\") == 0)
                expected.push_back(f.Path);
        std::sort(found.begin(), found.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, found) << "files in " << folder;
    }
    EmptyDisc();
}
