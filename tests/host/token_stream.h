// Hand-made compressed streams for the tests: a small writer that places each
// token's code bits and bytes exactly as the decoder reads them, and a reader
// that lists the tokens of a stream without expanding it.
#ifndef TESTS_HOST_TOKEN_STREAM_H
#define TESTS_HOST_TOKEN_STREAM_H

#include <stdint.h>

#include <string>
#include <vector>

class TokenWriter {
public:
    TokenWriter() : stream_(4, 0), wordAt_(0), word_(0), used_(0) {}

    // Raw code: a string of '0' and '1' (other characters are skipped) and bytes.
    TokenWriter& Code(const char* bits)
    {
        for (; *bits; bits++)
            if (*bits == '0' || *bits == '1')
                Bit(*bits == '1');
        return *this;
    }
    TokenWriter& Value(unsigned value, unsigned count)
    {
        while (count--)
            Bit((value >> count) & 1);
        return *this;
    }
    TokenWriter& Byte(unsigned value)
    {
        stream_.push_back((unsigned char)value);
        return *this;
    }

    TokenWriter& Literal(unsigned char b) { return Code("1").Byte(b); }

    TokenWriter& Short(unsigned distance)
    {
        unsigned v = distance - 1;
        if (v < 256)
            return Code("010").Byte(v);
        return Code("011").Byte((v - 256) >> 3).Value(v & 7, 3);
    }

    TokenWriter& Long(unsigned length, unsigned distance)
    {
        unsigned v = distance - 1;
        Code("00");
        if (v < 512)
            Code("1").Byte(v >> 1).Value(v, 1);
        else if (v < 1024)
            Code("01").Byte((v - 512) >> 1).Value(v, 1);
        else if (v < 2048)
            Code("001").Byte((v - 1024) >> 2).Value(v, 2);
        else if (v < 4096)
            Code("0001").Byte((v - 2048) >> 3).Value(v, 3);
        else
            Code("0000").Byte((v - 4096) >> 4).Value(v, 4);
        if (length == 3)
            return Code("1");
        if (length == 4)
            return Code("01");
        if (length <= 6)
            return Code("001").Value(length - 5, 1);
        if (length <= 10)
            return Code("0001").Value(length - 7, 2);
        if (length <= 26)
            return Code("00001").Value(length - 11, 4);
        return Code("00000").Byte(length - 27);
    }

    TokenWriter& End() { return Code("011").Byte(255).Code("111"); }

    // The stream so far; unused low bits of the last word are 0 unless filled.
    std::vector<unsigned char> Stream() const
    {
        std::vector<unsigned char> s = stream_;
        Store(s, wordAt_, word_);
        return s;
    }

    // Sets every unused bit of the last control word to 1.
    std::vector<unsigned char> StreamWithOnes() const
    {
        std::vector<unsigned char> s = stream_;
        uint32_t fill = used_ == 32 ? 0 : 0xFFFFFFFFu >> used_;
        Store(s, wordAt_, word_ | fill);
        return s;
    }

private:
    void Bit(unsigned b)
    {
        if (used_ == 32) {
            Store(stream_, wordAt_, word_);
            wordAt_ = stream_.size();
            stream_.insert(stream_.end(), 4, 0);
            word_ = 0;
            used_ = 0;
        }
        word_ |= (uint32_t)b << (31 - used_);
        used_++;
    }

    static void Store(std::vector<unsigned char>& s, size_t at, uint32_t word)
    {
        for (int i = 0; i < 4; i++)
            s[at + i] = (unsigned char)(word >> (8 * i));
    }

    std::vector<unsigned char> stream_;
    size_t wordAt_;
    uint32_t word_;
    unsigned used_;
};

// One decoded token: length 1 and distance 0 for a literal.
struct Token {
    unsigned length;
    unsigned distance;
    bool operator==(const Token& o) const { return length == o.length && distance == o.distance; }
};

// Lists the tokens of a well-formed stream up to its end marker; returns
// false when the stream runs out first. *used gets the bytes read.
inline bool ReadTokens(const std::vector<unsigned char>& s, std::vector<Token>* tokens, size_t* used)
{
    size_t at = 0;
    uint32_t word = 0;
    unsigned left = 0;
    bool broken = false;
    auto bit = [&]() -> unsigned {
        if (left == 0) {
            if (s.size() - at < 4) {
                broken = true;
                return 0;
            }
            word = (uint32_t)s[at] | ((uint32_t)s[at + 1] << 8) | ((uint32_t)s[at + 2] << 16) |
                   ((uint32_t)s[at + 3] << 24);
            at += 4;
            left = 32;
        }
        left--;
        return (word >> left) & 1;
    };
    auto bits = [&](unsigned n) {
        unsigned v = 0;
        while (n--)
            v = (v << 1) | bit();
        return v;
    };
    auto byte = [&]() -> unsigned {
        if (at >= s.size()) {
            broken = true;
            return 0;
        }
        return s[at++];
    };
    while (!broken) {
        if (bit()) {
            byte();
            tokens->push_back({ 1, 0 });
            continue;
        }
        if (bit()) {
            unsigned v;
            if (!bit()) {
                v = byte();
            } else {
                unsigned b = byte();
                v = 256 + b * 8 + bits(3);
                if (v == 2303)
                    break;
            }
            tokens->push_back({ 2, v + 1 });
            continue;
        }
        unsigned v;
        if (bit()) {
            unsigned b = byte();
            v = b * 2 + bits(1);
        } else if (bit()) {
            unsigned b = byte();
            v = 512 + b * 2 + bits(1);
        } else if (bit()) {
            unsigned b = byte();
            v = 1024 + b * 4 + bits(2);
        } else if (bit()) {
            unsigned b = byte();
            v = 2048 + b * 8 + bits(3);
        } else {
            unsigned b = byte();
            v = 4096 + b * 16 + bits(4);
        }
        unsigned n;
        if (bit())
            n = 3;
        else if (bit())
            n = 4;
        else if (bit())
            n = 5 + bits(1);
        else if (bit())
            n = 7 + bits(2);
        else if (bit())
            n = 11 + bits(4);
        else
            n = 27 + byte();
        tokens->push_back({ n, v + 1 });
    }
    *used = at;
    return !broken;
}

#endif
