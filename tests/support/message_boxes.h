// Records every message box that the calling thread shows and answers it, the
// way a player would: reads its caption, text, icon and buttons, then presses
// the button asked for (the first one when no answer is queued).
#ifndef TESTS_SUPPORT_MESSAGE_BOXES_H
#define TESTS_SUPPORT_MESSAGE_BOXES_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

enum class BoxIcon { None, Error, Question, Warning, Information };

struct SeenBox {
    std::string Caption;              // as the box shows it, converted to UTF-8
    std::string Text;                 // UTF-8
    BoxIcon Icon = BoxIcon::None;
    std::vector<int> Buttons;         // IDOK, IDCANCEL, ... in the box's order
    HWND Owner = 0;
};

class MessageBoxRecorder {
public:
    MessageBoxRecorder();             // starts recording on this thread
    ~MessageBoxRecorder();
    void Answer(int button);          // queue the answer for the next box
    // Called while each box is up, before it is answered (the box's owner
    // keeps receiving messages meanwhile, as it would for a player).
    std::function<void(const SeenBox&)> WhileShown;
    const std::vector<SeenBox>& Boxes() const { return boxes_; }
    void Clear() { boxes_.clear(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
    std::vector<SeenBox> boxes_;
    std::vector<int> answers_;
};

// Text conversions between the ANSI code page (932) and UTF-8.
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);

// Reads a message box window (also of another process): caption, text,
// icon and buttons.
SeenBox ReadMessageBox(HWND box);

// True for a window that is a message box: dialog class with a text control 0xFFFF.
bool IsMessageBox(HWND window);

#endif
