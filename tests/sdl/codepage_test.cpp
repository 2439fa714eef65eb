// Names move between the 1252 bytes of VORN.DAT and the UTF-8 that SDL shows
// and types: every byte must come back as itself, and what 1252 cannot hold
// must become "?" without eating its neighbours.
#include "frontends/sdl/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ToUtf8(const std::string& bytes, std::size_t room = 256) {
    char out[1024];
    Utf8From1252(bytes.data(), bytes.size(), out, room);
    return out;
}

std::string To1252(const std::string& utf8, std::size_t room = 256) {
    char out[1024];
    Cp1252FromUtf8(utf8.c_str(), out, room);
    return out;
}

TEST(Codepage, EveryDefinedByteRoundTrips) {
    for (int byte = 1; byte < 256; ++byte) {
        const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(To1252(ToUtf8(one)), undefined ? std::string("?") : one) << "byte " << byte;
    }
}

TEST(Codepage, TypedCharacters) {
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"Zo\u00eb", "Zo\xeb"},             // Latin-1 range keeps its value
        {"\u20ac5", "\x80" "5"},             // the euro sign lives in 0x80
        {"\u0160ar\u0161", "\x8a" "ar\x9a"},  // S and s with caron
        {"a\u4e2db", "a?b"},                 // outside 1252: one "?" per character
        {"\U0001F600!", "?!"},               // four-byte sequences too
        {"x\xc3y", "x?y"},                   // a broken sequence does not eat the next letter
        {"\xc0\x80z", "?z"},                 // an overlong NUL does not end the name
    };
    for (const Case& c : cases) EXPECT_EQ(To1252(c.typed), c.stored) << c.typed;
}

TEST(Codepage, ShownTextStopsAtTheRoomGiven) {
    // Three 3-byte characters do not fit in 8 bytes with the terminator: the
    // third is left out whole, never cut in the middle.
    EXPECT_EQ(ToUtf8("\x80\x80\x80", 8), "\u20ac\u20ac");
    EXPECT_EQ(To1252("abcdef", 4), "abc");
}

}  // namespace
