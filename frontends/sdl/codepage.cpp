// Windows-1252 to UTF-8 and back, for names typed and shown by the SDL
// front-end. Knows nothing of SDL or the game; never allocates.
#include "frontends/sdl/codepage.h"

#include <cstdint>

namespace {

// Code points of bytes 0x80 to 0x9F; 0 where the code page defines none.
// Bytes 0xA0 to 0xFF are the code points of the same value.
constexpr std::uint16_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::uint32_t CodePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        const std::uint16_t point = HighControls[byte - 0x80];
        return point != 0 ? point : 0xFFFD;
    }
    return byte;
}

char ByteOf(std::uint32_t point) {
    if (point == 0) return '?';  // an overlong NUL would cut the name short
    if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) return static_cast<char>(point);
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] != 0 && HighControls[i] == point) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

std::size_t Utf8From1252(const char* text, std::size_t length, char* out, std::size_t outSize) {
    if (outSize == 0) return 0;
    std::size_t used = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint32_t point = CodePointOf(static_cast<unsigned char>(text[i]));
        char bytes[3];
        std::size_t count;
        if (point < 0x80) {
            bytes[0] = static_cast<char>(point);
            count = 1;
        } else if (point < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | (point >> 6));
            bytes[1] = static_cast<char>(0x80 | (point & 0x3F));
            count = 2;
        } else {
            bytes[0] = static_cast<char>(0xE0 | (point >> 12));
            bytes[1] = static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | (point & 0x3F));
            count = 3;
        }
        if (used + count > outSize - 1) break;
        for (std::size_t k = 0; k < count; ++k) out[used++] = bytes[k];
    }
    out[used] = '\0';
    return used;
}

std::size_t Cp1252FromUtf8(const char* text, char* out, std::size_t outSize) {
    if (outSize == 0) return 0;
    std::size_t used = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0 && used < outSize - 1) {
        std::uint32_t point;
        int follow;
        if (*p < 0x80) {
            point = *p;
            follow = 0;
        } else if ((*p & 0xE0) == 0xC0) {
            point = *p & 0x1F;
            follow = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            point = *p & 0x0F;
            follow = 2;
        } else if ((*p & 0xF8) == 0xF0) {
            point = *p & 0x07;
            follow = 3;
        } else {
            out[used++] = '?';
            ++p;
            continue;
        }
        ++p;
        bool broken = false;
        for (int k = 0; k < follow; ++k) {
            if ((*p & 0xC0) != 0x80) {
                broken = true;
                break;
            }
            point = (point << 6) | (*p & 0x3F);
            ++p;
        }
        out[used++] = broken ? '?' : ByteOf(point);
    }
    out[used] = '\0';
    return used;
}
