#include "e2e/png.h"

#include <stdint.h>
#include <stdio.h>

namespace {

uint32_t Crc(const unsigned char* data, size_t n, uint32_t crc = 0xFFFFFFFFu)
{
    for (size_t i = 0; i < n; i++) {
        crc ^= data[i];
        for (int k = 0; k < 8; k++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc;
}

void Put32(std::vector<unsigned char>& out, uint32_t v)
{
    out.push_back((unsigned char)(v >> 24));
    out.push_back((unsigned char)(v >> 16));
    out.push_back((unsigned char)(v >> 8));
    out.push_back((unsigned char)v);
}

void Chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    Put32(out, (uint32_t)data.size());
    std::vector<unsigned char> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, Crc(body.data(), body.size()) ^ 0xFFFFFFFFu);
}

} // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb)
{
    // Raw scanlines, each behind filter byte 0.
    std::vector<unsigned char> raw;
    size_t row = (size_t)width * 3;
    for (int y = 0; y < height; y++) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb.begin() + y * row, rgb.begin() + (y + 1) * row);
    }
    // zlib stream of stored blocks.
    std::vector<unsigned char> z = { 0x78, 0x01 };
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        size_t n = raw.size() - pos > 65535 ? 65535 : raw.size() - pos;
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back((unsigned char)n);
        z.push_back((unsigned char)(n >> 8));
        z.push_back((unsigned char)~n);
        z.push_back((unsigned char)(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
        if (raw.empty())
            break;
    }
    Put32(z, (b << 16) | a);

    std::vector<unsigned char> out = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    std::vector<unsigned char> header;
    Put32(header, (uint32_t)width);
    Put32(header, (uint32_t)height);
    header.insert(header.end(), { 8, 2, 0, 0, 0 });   // 8-bit RGB
    Chunk(out, "IHDR", header);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});

    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    return fclose(f) == 0 && ok;
}
