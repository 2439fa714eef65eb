// Conversions between the Windows-1252 bytes the game stores names in and the
// UTF-8 that SDL displays and types. Pure functions: no SDL, no allocation.
#pragma once

#include <cstddef>

// Writes `text` (`length` bytes of 1252) as UTF-8 into `out`, at most
// `outSize` - 1 bytes and a terminator; stops before a character that would
// not fit. Bytes 1252 leaves undefined become U+FFFD. Returns bytes written.
std::size_t Utf8From1252(const char* text, std::size_t length, char* out, std::size_t outSize);
// Converts terminated UTF-8 `text` to 1252 bytes, at most `outSize` - 1 and a
// terminator; characters 1252 cannot hold, and broken sequences, become "?".
// Returns the bytes written.
std::size_t Cp1252FromUtf8(const char* text, char* out, std::size_t outSize);
