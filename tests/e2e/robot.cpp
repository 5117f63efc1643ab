#include "e2e/robot.h"

#include <string.h>

#include "e2e/png.h"

void PumpFor(DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD now = GetTickCount();
        if ((LONG)(end - now) <= 0)
            return;
        MsgWaitForMultipleObjects(0, 0, FALSE, end - now < 20 ? end - now : 20, QS_ALLINPUT);
    }
}

Robot::~Robot()
{
    Kill();
}

bool Robot::Start(const std::string& exe, const std::vector<std::string>& extraEnvironment)
{
    std::string block;
    if (!extraEnvironment.empty()) {
        char* env = GetEnvironmentStringsA();
        for (const char* p = env; *p; p += strlen(p) + 1) {
            std::string entry = p;
            bool replaced = false;
            for (const std::string& e : extraEnvironment)
                if (_strnicmp(entry.c_str(), e.c_str(), e.find('=') + 1) == 0)
                    replaced = true;
            if (!replaced)
                block += entry + '\0';
        }
        FreeEnvironmentStringsA(env);
        for (const std::string& e : extraEnvironment)
            block += e + '\0';
        block += '\0';
    }
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string command = "\"" + exe + "\"";
    return CreateProcessA(exe.c_str(), &command[0], 0, 0, FALSE, 0,
                          block.empty() ? 0 : &block[0], 0, &si, &pi_) != 0;
}

bool Robot::Running() const
{
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

int Robot::WaitExit(DWORD timeoutMs)
{
    DWORD end = GetTickCount() + timeoutMs;
    while (Running()) {
        if ((LONG)(end - GetTickCount()) <= 0)
            return -1;
        PumpFor(20);
    }
    DWORD code = (DWORD)-1;
    GetExitCodeProcess(pi_.hProcess, &code);
    return (int)code;
}

void Robot::Kill()
{
    if (pi_.hProcess) {
        if (Running()) {
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
        pi_ = PROCESS_INFORMATION();
    }
}

namespace {
struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND w, LPARAM param)
{
    WindowSearch* s = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[32];
    GetClassNameA(w, cls, sizeof cls);
    if (pid == s->pid && IsWindowVisible(w) && strcmp(cls, "#32770") == 0)
        s->found.push_back(w);
    return TRUE;
}

std::string Text(HWND w)
{
    char buffer[8192];
    int n = (int)SendMessageA(w, WM_GETTEXT, sizeof buffer, (LPARAM)buffer);
    return AnsiToUtf8(std::string(buffer, n > 0 ? n : 0));
}

ControlView ReadControl(HWND dialog, int id, HWND focus)
{
    ControlView v;
    HWND c = GetDlgItem(dialog, id);
    if (!c)
        return v;
    v.Exists = true;
    v.Visible = (GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) != 0;
    v.Enabled = IsWindowEnabled(c) != 0;
    v.Text = Text(c);
    v.Focused = c == focus;
    char cls[32];
    GetClassNameA(c, cls, sizeof cls);
    if (_stricmp(cls, "Button") == 0)
        v.Checked = SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return v;
}
} // namespace

std::vector<HWND> Robot::Windows() const
{
    WindowSearch s = { pi_.dwProcessId, {} };
    EnumWindows(CollectWindow, (LPARAM)&s);
    return s.found;
}

HWND Robot::FindMessageBox() const
{
    for (HWND w : Windows())
        if (IsMessageBox(w))
            return w;
    return 0;
}

HWND Robot::FindWizard() const
{
    for (HWND w : Windows())
        if (GetDlgItem(w, 1001) && !IsMessageBox(w))
            return w;
    return 0;
}

static HWND WaitFor(const Robot& r, HWND (Robot::*find)() const, DWORD timeoutMs)
{
    DWORD end = GetTickCount() + timeoutMs;
    for (;;) {
        HWND w = (r.*find)();
        if (w || (LONG)(end - GetTickCount()) <= 0)
            return w;
        PumpFor(30);
    }
}

HWND Robot::WaitMessageBox(DWORD timeoutMs) const
{
    return WaitFor(*this, &Robot::FindMessageBox, timeoutMs);
}

HWND Robot::WaitWizard(DWORD timeoutMs) const
{
    return WaitFor(*this, &Robot::FindWizard, timeoutMs);
}

WizardView Robot::ReadWizard(HWND wizard)
{
    WizardView v;
    v.Window = wizard;
    v.Title = Text(wizard);
    RECT r;
    GetClientRect(wizard, &r);
    v.ClientHeight = r.bottom - r.top;
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(wizard, 0), &gui);
    v.Info = ReadControl(wizard, 1001, gui.hwndFocus);
    v.Next = ReadControl(wizard, 1, gui.hwndFocus);
    v.Back = ReadControl(wizard, 4, gui.hwndFocus);
    v.Cancel = ReadControl(wizard, 2, gui.hwndFocus);
    v.AgreementText = ReadControl(wizard, 1000, gui.hwndFocus);
    v.Agree = ReadControl(wizard, 1002, gui.hwndFocus);
    v.Disagree = ReadControl(wizard, 1003, gui.hwndFocus);
    return v;
}

bool Robot::Click(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button))
        return false;
    PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

void Robot::PressKey(HWND dialog, WORD key)
{
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, 0), &gui);
    HWND target = gui.hwndFocus ? gui.hwndFocus : dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

void Robot::CloseBox(HWND window)
{
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool SaveScreenshot(HWND window, const std::string& path)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return false;
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(0);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;   // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = 0;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, 0, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<unsigned char> rgb((size_t)width * height * 3);
    const unsigned char* p = (const unsigned char*)bits;
    for (size_t i = 0; i < (size_t)width * height; i++) {
        rgb[i * 3] = p[i * 4 + 2];
        rgb[i * 3 + 1] = p[i * 4 + 1];
        rgb[i * 3 + 2] = p[i * 4];
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(0, screen);
    return WritePng(path, width, height, rgb);
}
