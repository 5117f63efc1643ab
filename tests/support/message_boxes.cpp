#include "support/message_boxes.h"

#include <algorithm>

namespace {
MessageBoxRecorder* active = 0;
const int BoxTextId = 0xFFFF;
const int ButtonIds[] = { IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, IDCLOSE, IDHELP,
                          IDTRYAGAIN, IDCONTINUE };

// Visible by its own style: while a box is being activated its parent is
// not shown yet, so IsWindowVisible would say no for every control.
bool Shown(HWND w)
{
    return (GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string WindowText(HWND w)
{
    char buffer[4096];
    int n = GetWindowTextA(w, buffer, sizeof buffer);
    return AnsiToUtf8(std::string(buffer, n > 0 ? n : 0));
}

// A 32 x 32 picture of 32-bit pixels to draw an icon on.
HBITMAP IconBitmap(HDC dc, void** bits)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = 32;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, 0, 0);
}

// The pixels of an icon, for comparing a box's icon with the system's ones
// (icon handles differ between processes, the images do not).
std::vector<unsigned char> IconPixels(HICON icon)
{
    std::vector<unsigned char> pixels;
    if (!icon)
        return pixels;
    HDC dc = CreateCompatibleDC(0);
    void* bits = 0;
    HBITMAP bmp = IconBitmap(dc, &bits);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r = { 0, 0, 32, 32 };
    FillRect(dc, &r, (HBRUSH)GetStockObject(WHITE_BRUSH));
    DrawIconEx(dc, 0, 0, icon, 32, 32, 0, 0, DI_NORMAL);
    GdiFlush();
    pixels.assign((unsigned char*)bits, (unsigned char*)bits + 32 * 32 * 4);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return pixels;
}

BoxIcon IdentifyIcon(HICON icon)
{
    if (!icon)
        return BoxIcon::None;
    std::vector<unsigned char> seen = IconPixels(icon);
    struct { LPCSTR id; BoxIcon kind; } system[] = {
        { IDI_HAND, BoxIcon::Error }, { IDI_QUESTION, BoxIcon::Question },
        { IDI_EXCLAMATION, BoxIcon::Warning }, { IDI_ASTERISK, BoxIcon::Information } };
    for (auto& s : system)
        if (IconPixels(LoadIconA(0, s.id)) == seen)
            return s.kind;
    return BoxIcon::None;
}

// Another process's icon handle cannot be drawn here; its picture on the
// screen is compared with each system icon drawn on the same background.
BoxIcon IdentifyIconOnScreen(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    HDC screen = GetDC(0);
    HDC dc = CreateCompatibleDC(screen);
    void* bits = 0;
    HBITMAP bmp = IconBitmap(dc, &bits);
    HGDIOBJ old = SelectObject(dc, bmp);
    BitBlt(dc, 0, 0, 32, 32, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<unsigned char> seen((unsigned char*)bits, (unsigned char*)bits + 32 * 32 * 4);
    COLORREF background = GetPixel(dc, 0, 0);
    BoxIcon found = BoxIcon::None;
    struct { LPCSTR id; BoxIcon kind; } system[] = {
        { IDI_HAND, BoxIcon::Error }, { IDI_QUESTION, BoxIcon::Question },
        { IDI_EXCLAMATION, BoxIcon::Warning }, { IDI_ASTERISK, BoxIcon::Information } };
    for (auto& s : system) {
        HBRUSH brush = CreateSolidBrush(background);
        RECT all = { 0, 0, 32, 32 };
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        DrawIconEx(dc, 0, 0, LoadIconA(0, s.id), 32, 32, 0, 0, DI_NORMAL);
        GdiFlush();
        if (std::vector<unsigned char>((unsigned char*)bits, (unsigned char*)bits + 32 * 32 * 4) == seen) {
            found = s.kind;
            break;
        }
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(0, screen);
    return found;
}

struct IconSearch {
    HICON icon;
    HWND control;
};

BOOL CALLBACK FindIcon(HWND child, LPARAM param)
{
    char cls[32];
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        Shown(child)) {
        HICON icon = (HICON)SendMessageA(child, STM_GETICON, 0, 0);
        if (icon) {
            reinterpret_cast<IconSearch*>(param)->icon = icon;
            reinterpret_cast<IconSearch*>(param)->control = child;
            return FALSE;
        }
    }
    return TRUE;
}
} // namespace

std::string AnsiToUtf8(const std::string& ansi)
{
    if (ansi.empty())
        return ansi;
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), 0, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), &w[0], n);
    int m = WideCharToMultiByte(CP_UTF8, 0, w.data(), n, 0, 0, 0, 0);
    std::string out(m, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), n, &out[0], m, 0, 0);
    return out;
}

std::string Utf8ToAnsi(const std::string& utf8)
{
    if (utf8.empty())
        return utf8;
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), 0, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &w[0], n);
    int m = WideCharToMultiByte(CP_ACP, 0, w.data(), n, 0, 0, 0, 0);
    std::string out(m, '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), n, &out[0], m, 0, 0);
    return out;
}

bool IsMessageBox(HWND window)
{
    char cls[32];
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0 && GetDlgItem(window, BoxTextId) != 0;
}

SeenBox ReadMessageBox(HWND box)
{
    SeenBox seen;
    seen.Caption = WindowText(box);
    seen.Text = WindowText(GetDlgItem(box, BoxTextId));
    seen.Owner = GetWindow(box, GW_OWNER);
    IconSearch search = { 0, 0 };
    EnumChildWindows(box, FindIcon, (LPARAM)&search);
    DWORD pid = 0;
    GetWindowThreadProcessId(box, &pid);
    if (pid == GetCurrentProcessId())
        seen.Icon = IdentifyIcon(search.icon);
    else if (search.control)
        seen.Icon = IdentifyIconOnScreen(search.control);
    // Buttons in screen order, left to right.
    std::vector<std::pair<LONG, int>> found;
    for (int id : ButtonIds) {
        HWND b = GetDlgItem(box, id);
        if (b && Shown(b)) {
            RECT r;
            GetWindowRect(b, &r);
            found.push_back({ r.left, id });
        }
    }
    std::sort(found.begin(), found.end());
    for (auto& f : found)
        seen.Buttons.push_back(f.second);
    return seen;
}

MessageBoxRecorder::MessageBoxRecorder()
{
    active = this;
    hook_ = SetWindowsHookExA(WH_CBT, Hook, 0, GetCurrentThreadId());
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    UnhookWindowsHookEx(hook_);
    active = 0;
}

void MessageBoxRecorder::Answer(int button)
{
    answers_.push_back(button);
}

LRESULT CALLBACK MessageBoxRecorder::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && active) {
        HWND w = (HWND)wParam;
        // A box is recorded once, however often it is activated.
        if (IsMessageBox(w) && !GetPropA(w, "RecordedBox")) {
            SetPropA(w, "RecordedBox", (HANDLE)1);
            SeenBox seen = ReadMessageBox(w);
            int answer = seen.Buttons.empty() ? IDOK : seen.Buttons.front();
            if (!active->answers_.empty()) {
                answer = active->answers_.front();
                active->answers_.erase(active->answers_.begin());
            }
            active->boxes_.push_back(seen);
            if (active->WhileShown)
                active->WhileShown(seen);
            PostMessageA(w, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), (LPARAM)GetDlgItem(w, answer));
        }
    }
    return CallNextHookEx(0, code, wParam, lParam);
}
