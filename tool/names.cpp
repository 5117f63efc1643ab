#include "tool/names.h"

#include <errno.h>
#include <stdio.h>

#include "archive/format.h"
#include "tool/command.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace fs = std::filesystem;

namespace {

const unsigned CodePage = 932;

// ---- UTF-8 and UTF-16 ------------------------------------------------------

bool DecodeUtf8(const std::string& in, std::u32string* out)
{
    out->clear();
    for (size_t i = 0; i < in.size();) {
        unsigned char b = (unsigned char)in[i];
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || (extra > 0 && i + extra >= in.size()))
            return false;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k <= extra; k++) {
            unsigned char t = (unsigned char)in[i + k];
            if ((t & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (t & 0x3F);
        }
        static const char32_t least[] = { 0, 0x80, 0x800, 0x10000 };
        if (c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        out->push_back(c);
        i += extra + 1;
    }
    return true;
}

std::string EncodeUtf8(const std::u32string& in)
{
    std::string out;
    for (char32_t c : in) {
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xC0 | (c >> 6));
            out += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += (char)(0xE0 | (c >> 12));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        } else {
            out += (char)(0xF0 | (c >> 18));
            out += (char)(0x80 | ((c >> 12) & 0x3F));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

#ifdef _WIN32
std::u32string FromUtf16(const std::wstring& in)
{
    std::u32string out;
    for (size_t i = 0; i < in.size(); i++) {
        char32_t c = (char16_t)in[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + ((char16_t)in[++i] - 0xDC00);
        out.push_back(c);
    }
    return out;
}

std::wstring ToUtf16(const std::u32string& in)
{
    std::wstring out;
    for (char32_t c : in) {
        if (c >= 0x10000) {
            out.push_back((wchar_t)(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back((wchar_t)(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back((wchar_t)c);
        }
    }
    return out;
}
#endif

// ---- Code page 932 ---------------------------------------------------------

#ifdef _WIN32
bool Cp932ToUnicode(const std::string& in, std::u32string* out)
{
    out->clear();
    if (in.empty())
        return true;
    int n = MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, in.data(), (int)in.size(), 0, 0);
    if (n <= 0)
        return false;
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, in.data(), (int)in.size(), &wide[0], n);
    *out = FromUtf16(wide);
    return true;
}

bool UnicodeToCp932Raw(const std::u32string& in, std::string* out)
{
    out->clear();
    if (in.empty())
        return true;
    std::wstring wide = ToUtf16(in);
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CodePage, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), 0, 0, 0, &usedDefault);
    if (n <= 0 || usedDefault)
        return false;
    out->resize(n);
    WideCharToMultiByte(CodePage, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), &(*out)[0], n, 0, &usedDefault);
    return !usedDefault;
}
#else
// One whole conversion with iconv; false when any character does not convert.
bool Convert(const char* to, const char* from, const char* data, size_t size, std::string* out)
{
    out->clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1)
        throw ToolError(std::string("this system cannot convert between ") + from + " and " + to);
    char* in = const_cast<char*>(data);
    size_t inLeft = size;
    bool ok = true;
    while (inLeft > 0) {
        char buffer[1024];
        char* o = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
        out->append(buffer, o - buffer);
        if (r == (size_t)-1 && errno != E2BIG) {
            ok = false;
            break;
        }
        if (r != (size_t)-1 && r > 0) {      // irreversible conversions
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    return ok;
}

bool Cp932ToUnicode(const std::string& in, std::u32string* out)
{
    std::string raw;
    out->clear();
    if (!Convert("UTF-32LE", "CP932", in.data(), in.size(), &raw))
        return false;
    for (size_t i = 0; i + 3 < raw.size(); i += 4)
        out->push_back((char32_t)((unsigned char)raw[i] | (unsigned char)raw[i + 1] << 8 |
                                  (unsigned char)raw[i + 2] << 16 | (unsigned char)raw[i + 3] << 24));
    return true;
}

bool UnicodeToCp932Raw(const std::u32string& in, std::string* out)
{
    std::string raw;
    for (char32_t c : in) {
        raw += (char)(c & 0xFF);
        raw += (char)((c >> 8) & 0xFF);
        raw += (char)((c >> 16) & 0xFF);
        raw += (char)((c >> 24) & 0xFF);
    }
    return Convert("CP932", "UTF-32LE", raw.data(), raw.size(), out);
}
#endif

// Exact conversions only: the result must convert back to the same text.
bool UnicodeToCp932(const std::u32string& in, std::string* out)
{
    std::u32string back;
    return UnicodeToCp932Raw(in, out) && Cp932ToUnicode(*out, &back) && back == in;
}

// Why a name could not be a Windows file name, or nothing.
std::string FileNameProblem(const std::u32string& name)
{
    if (name.empty())
        return "an empty name";
    std::u32string n = name;
    if (n == U"." || n == U"..")
        return "the name of a folder link";
    for (char32_t c : n) {
        if (c < 0x20 || c == 0x7F)
            return "a control character";
        if (c == U'/' || c == U'\\')
            return "a path separator";
        if (c == U':' || c == U'*' || c == U'?' || c == U'"' || c == U'<' || c == U'>' || c == U'|')
            return std::string("the character ") + (char)c + " that Windows file names cannot hold";
    }
    if (n.back() == U' ' || n.back() == U'.')
        return "a blank or dot at its end, which Windows drops";
    // Device names, with or without an extension.
    std::u32string base = n.substr(0, n.find(U'.'));
    for (char32_t& c : base)
        if (c >= U'a' && c <= U'z')
            c -= 0x20;
    static const char32_t* const devices[] = { U"CON", U"PRN", U"AUX", U"NUL" };
    for (const char32_t* d : devices)
        if (base == d)
            return "the name of a Windows device";
    if (base.size() == 4 && (base.compare(0, 3, U"COM") == 0 || base.compare(0, 3, U"LPT") == 0) &&
        base[3] >= U'1' && base[3] <= U'9')
        return "the name of a Windows device";
    return "";
}

std::u32string HostFileName(const fs::path& file, std::string* shown)
{
    fs::path name = file.filename();
#ifdef _WIN32
    std::wstring wide = name.wstring();
    std::u32string text = FromUtf16(wide);
    *shown = EncodeUtf8(text);
    return text;
#else
    std::string bytes = name.string();
    std::u32string text;
    if (!DecodeUtf8(bytes, &text))
        throw ToolError(file.u8string() + ": the file name is not valid UTF-8");
    *shown = bytes;
    return text;
#endif
}

char32_t Fold(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return c - 0x20;
    if (c >= 0xFF41 && c <= 0xFF5A)            // full-width Latin
        return c - 0x20;
    if (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2)   // Greek
        return c - 0x20;
    if (c >= 0x0430 && c <= 0x044F)            // Cyrillic
        return c - 0x20;
    if (c == 0x0451)
        return 0x0401;
    if (c >= 0x2170 && c <= 0x2179)            // small Roman numerals
        return c - 0x10;
    return c;
}

} // namespace

std::string ArchiveNameOf(const fs::path& file)
{
    std::string shown;
    std::u32string text = HostFileName(file, &shown);
    std::string problem = FileNameProblem(text);
    if (!problem.empty())
        throw ToolError(file.u8string() + ": the name \"" + shown + "\" has " + problem);
    std::string name;
    if (!UnicodeToCp932(text, &name))
        throw ToolError(file.u8string() + ": the name \"" + shown +
                        "\" has characters that code page 932 (Shift-JIS) cannot represent");
    if (name.size() >= ArchiveNameSize)
        throw ToolError(file.u8string() + ": the name \"" + shown + "\" takes " + std::to_string(name.size()) +
                        " bytes in code page 932; an entry name holds at most " +
                        std::to_string(ArchiveNameSize - 1));
    return name;
}

std::string ArchiveNameFromArgument(const std::string& word)
{
    // Command-line words are UTF-8 on every host (qz2.cpp).
    std::u32string text;
    if (!DecodeUtf8(word, &text))
        throw ToolError("the name \"" + word + "\" is not valid UTF-8");
    std::string name;
    if (!UnicodeToCp932(text, &name))
        throw ToolError("the name \"" + word + "\" has characters that code page 932 (Shift-JIS) cannot represent");
    return name;
}

std::string DisplayName(const std::string& archiveName)
{
    std::u32string text;
    if (Cp932ToUnicode(archiveName, &text)) {
        bool plain = true;
        for (char32_t c : text)
            if (c < 0x20 || c == 0x7F)
                plain = false;
        if (plain)
            return EncodeUtf8(text);
    }
    std::string shown;
    for (unsigned char b : archiveName) {
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            shown += (char)b;
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", b);
            shown += hex;
        }
    }
    return shown;
}

fs::path ExtractPathFor(const fs::path& folder, const std::string& archiveName)
{
    std::u32string text;
    if (!Cp932ToUnicode(archiveName, &text))
        throw ToolError("the entry \"" + DisplayName(archiveName) + "\" has a name that is not code page 932");
    std::string problem = FileNameProblem(text);
    if (!problem.empty())
        throw ToolError("the entry \"" + DisplayName(archiveName) + "\" cannot be a file name: it has " + problem);
#ifdef _WIN32
    return folder / fs::path(ToUtf16(text));
#else
    return folder / fs::path(EncodeUtf8(text));
#endif
}

std::u32string NameKey(const std::string& archiveName)
{
    std::u32string text;
    if (!Cp932ToUnicode(archiveName, &text)) {
        // Not code page 932: compare the bytes as they are, ASCII folded.
        text.clear();
        for (unsigned char b : archiveName)
            text.push_back(0x110000 + b);
        for (char32_t& c : text)
            if (c >= 0x110000 + 'a' && c <= 0x110000 + 'z')
                c -= 0x20;
        return text;
    }
    for (char32_t& c : text)
        c = Fold(c);
    return text;
}
