#include "bench/corpus.h"

#include <math.h>

#include <string>

namespace {

typedef std::vector<unsigned char> Bytes;

class Random {
public:
    explicit Random(uint64_t seed) : x_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}

    uint32_t Next()
    {
        x_ ^= x_ >> 12;
        x_ ^= x_ << 25;
        x_ ^= x_ >> 27;
        return (uint32_t)((x_ * 0x2545F4914F6CDD1Dull) >> 32);
    }
    uint32_t Below(uint32_t n) { return (uint32_t)(((uint64_t)Next() * n) >> 32); }
    double Unit() { return Next() / 4294967296.0; }
    // Small indexes far more often than large ones.
    uint32_t Skewed(uint32_t n)
    {
        double u = Unit();
        return (uint32_t)(n * u * u * u);
    }

private:
    uint64_t x_;
};

void Put16(Bytes& out, int v)
{
    out.push_back((unsigned char)v);
    out.push_back((unsigned char)(v >> 8));
}

void Put32(Bytes& out, uint32_t v)
{
    Put16(out, (int)(v & 0xFFFF));
    Put16(out, (int)(v >> 16));
}

void Text(Bytes& out, size_t size, Random& r)
{
    static const char* const syllables[] = { "ka", "ri", "to", "ne", "su", "mo", "ha", "yu", "shi", "ro",
                                             "an", "el", "or", "in", "ver", "sta", "game", "data", "file",
                                             "up", "date", "th", "e", "ing", "s", "er", "qu", "al" };
    const uint32_t syllableCount = sizeof syllables / sizeof syllables[0];
    std::vector<std::string> words;
    for (int i = 0; i < 1500; i++) {
        std::string w;
        unsigned parts = 1 + r.Below(3);
        for (unsigned p = 0; p < parts; p++)
            w += syllables[r.Below(syllableCount)];
        words.push_back(w);
    }
    unsigned column = 0;
    bool startOfSentence = true;
    while (out.size() < size) {
        if (r.Below(40) == 0) {
            // A script-like line now and then.
            std::string line = "File" + std::to_string(r.Below(100)) + "=" + words[r.Skewed(1500)] + "\\" +
                               words[r.Skewed(1500)] + ".dat," + std::to_string(r.Below(70000)) + "\r\n";
            out.insert(out.end(), line.begin(), line.end());
            column = 0;
            continue;
        }
        std::string w = words[r.Skewed(1500)];
        if (startOfSentence)
            w[0] = (char)(w[0] - 'a' + 'A');
        startOfSentence = false;
        uint32_t mark = r.Below(16);
        if (mark == 0) {
            w += ".";
            startOfSentence = true;
        } else if (mark == 1) {
            w += ",";
        }
        if (column + w.size() > 72) {
            out.insert(out.end(), { '\r', '\n' });
            column = 0;
        } else if (column) {
            out.push_back(' ');
            column++;
        }
        out.insert(out.end(), w.begin(), w.end());
        column += (unsigned)w.size();
    }
}

void Code(Bytes& out, size_t size, Random& r)
{
    std::vector<uint32_t> functions, globals;
    for (int i = 0; i < 300; i++)
        functions.push_back(0x401000 + r.Below(0x80000));
    for (int i = 0; i < 200; i++)
        globals.push_back(0x480000 + 4 * r.Below(0x8000));
    const uint32_t base = 0x401000;
    while (out.size() < size) {
        // Prologue, body, epilogue, padding.
        out.insert(out.end(), { 0x55, 0x8B, 0xEC, 0x83, 0xEC, (unsigned char)(4 * (1 + r.Below(16))) });
        unsigned statements = 5 + r.Below(40);
        for (unsigned i = 0; i < statements; i++) {
            unsigned char reg = (unsigned char)r.Below(8);
            unsigned char local = (unsigned char)(0x100 - 4 * (1 + r.Skewed(12)));
            switch (r.Below(10)) {
            case 0:
            case 1:
                out.insert(out.end(), { 0x8B, (unsigned char)(0x45 | (reg & 3) << 3), local });
                break;
            case 2:
                out.insert(out.end(), { 0x89, (unsigned char)(0x45 | (reg & 3) << 3), local });
                break;
            case 3: {
                out.push_back(0xE8);
                uint32_t here = base + (uint32_t)out.size() + 4;
                Put32(out, functions[r.Skewed(300)] - here);
                out.insert(out.end(), { 0x83, 0xC4, (unsigned char)(4 * r.Below(4)) });
                break;
            }
            case 4:
                out.push_back(0x68);
                Put32(out, globals[r.Skewed(200)]);
                break;
            case 5:
                out.insert(out.end(), { 0x83, (unsigned char)(0xF8 | (reg & 7)), (unsigned char)r.Skewed(64) });
                out.insert(out.end(), { (unsigned char)(0x74 + r.Below(4)), (unsigned char)(2 + r.Below(60)) });
                break;
            case 6:
                out.insert(out.end(), { 0x33, (unsigned char)(0xC0 | reg << 3 | reg) });
                break;
            case 7:
                out.insert(out.end(), { 0xA1 });
                Put32(out, globals[r.Skewed(200)]);
                break;
            case 8:
                out.insert(out.end(), { 0x8D, 0x4D, local, 0x51 });
                break;
            default:
                out.insert(out.end(), { 0x85, 0xC0, 0x0F, 0x84 });
                Put32(out, r.Below(400));
                break;
            }
        }
        out.insert(out.end(), { 0x8B, 0xE5, 0x5D, 0xC3 });
        while (out.size() % 16)
            out.push_back(0xCC);
    }
}

void Bitmap(Bytes& out, size_t size, Random& r)
{
    const unsigned width = 640;
    unsigned height = (unsigned)(size / (width * 3) + 1);
    struct Shape {
        unsigned x0, y0, x1, y1;
        unsigned char color[3];
        bool dithered;
    };
    std::vector<Shape> shapes;
    for (int i = 0; i < 40; i++) {
        Shape s;
        s.x0 = r.Below(width);
        s.y0 = r.Below(height);
        s.x1 = s.x0 + 8 + r.Below(200);
        s.y1 = s.y0 + 8 + r.Below(150);
        for (int c = 0; c < 3; c++)
            s.color[c] = (unsigned char)r.Below(256);
        s.dithered = r.Below(3) == 0;
        shapes.push_back(s);
    }
    for (unsigned y = 0; y < height && out.size() < size; y++) {
        for (unsigned x = 0; x < width; x++) {
            unsigned char px[3] = { (unsigned char)(x * 255 / width), (unsigned char)(y * 3),
                                    (unsigned char)((x + y) / 5) };
            for (const Shape& s : shapes) {
                if (x >= s.x0 && x < s.x1 && y >= s.y0 && y < s.y1) {
                    for (int c = 0; c < 3; c++) {
                        int v = s.color[c];
                        if (s.dithered)
                            v += (int)r.Below(9) - 4;
                        px[c] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
                    }
                }
            }
            out.insert(out.end(), px, px + 3);
        }
    }
}

void Audio(Bytes& out, size_t size, Random& r)
{
    const double rate = 22050;
    const double pi = 3.14159265358979323846;
    double phase[3] = { 0, 0, 0 };
    double frequency[3] = { 220, 330, 440 };
    size_t n = 0;
    while (out.size() < size) {
        if (n % 5512 == 0) {
            for (int k = 0; k < 3; k++)
                frequency[k] = 110.0 * pow(2.0, r.Below(36) / 12.0);
        }
        double envelope = 0.3 + 0.7 * exp(-(double)(n % 5512) / 3000.0);
        double v = 0;
        for (int k = 0; k < 3; k++) {
            phase[k] += 2 * pi * frequency[k] / rate;
            v += sin(phase[k]) / (k + 1);
        }
        double noise = (r.Unit() + r.Unit() + r.Unit() - 1.5) * 300;
        int left = (int)(v * envelope * 9000 + noise);
        int right = (int)(v * envelope * 7000 + noise * 0.5);
        Put16(out, left);
        Put16(out, right);
        n++;
    }
}

void Noise(Bytes& out, size_t size, Random& r)
{
    while (out.size() < size)
        Put32(out, r.Next());
}

void Make(CorpusKind kind, Bytes& out, size_t size, Random& r)
{
    switch (kind) {
    case CorpusText:
        Text(out, size, r);
        break;
    case CorpusCode:
        Code(out, size, r);
        break;
    case CorpusBitmap:
        Bitmap(out, size, r);
        break;
    case CorpusAudio:
        Audio(out, size, r);
        break;
    case CorpusNoise:
        Noise(out, size, r);
        break;
    default: {
        const size_t piece = 64 * 1024;
        for (unsigned i = 0; out.size() < size; i = (i + 1) % CorpusMixed) {
            Bytes part;
            Make((CorpusKind)i, part, piece, r);
            part.resize(piece);
            out.insert(out.end(), part.begin(), part.end());
        }
        break;
    }
    }
}

} // namespace

const char* CorpusName(CorpusKind kind)
{
    static const char* const names[] = { "text", "code", "bitmap", "audio", "noise", "mixed" };
    return kind < CorpusKindCount ? names[kind] : "?";
}

std::vector<unsigned char> MakeCorpus(CorpusKind kind, size_t size, uint64_t seed)
{
    Random r(seed * 31 + (uint64_t)kind);
    Bytes out;
    out.reserve(size + 1024);
    Make(kind, out, size, r);
    out.resize(size);
    return out;
}
