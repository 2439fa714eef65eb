// The dealing generator, written here rather than taken from the C library so
// that one seed deals the same pieces on Linux and on Windows.
#include "engine/engine.h"

namespace {

std::uint32_t DealerState = 1;  // as the C library's generator starts unseeded

}  // namespace

void SeedDealer(std::uint32_t seed) { DealerState = seed; }

int NextDealt() {
    DealerState = DealerState * 214013u + 2531011u;  // wraps modulo 2^32
    return static_cast<int>((DealerState >> 16) & 0x7FFFu);
}
