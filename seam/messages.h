// The window messages the game handles, by their Windows numbers, and how
// their parameters are packed. Each front-end delivers its events in this form.
#pragma once

#include <cstdint>

namespace msg {
constexpr unsigned Create = 1;
constexpr unsigned Destroy = 2;
constexpr unsigned Activate = 6;
constexpr unsigned Paint = 15;
constexpr unsigned KeyDown = 256;
constexpr unsigned SysCommand = 274;
constexpr unsigned Timer = 275;
constexpr unsigned LButtonDown = 513;
constexpr unsigned LButtonUp = 514;
constexpr unsigned NcLButtonDown = 161;
constexpr unsigned NcLButtonUp = 162;

constexpr std::uintptr_t ScMinimize = 61472;  // SysCommand's minimise request
constexpr std::uintptr_t ActiveFlag = 1;      // Activate: active, not minimised

// Virtual-key codes of the keys the game answers.
constexpr unsigned VkLeft = 37, VkUp = 38, VkRight = 39, VkDown = 40;
constexpr unsigned VkNumpad2 = 98, VkNumpad4 = 100, VkNumpad5 = 101, VkNumpad6 = 102;

// A mouse point in lParam: x in the low 16 bits, y in the high 16 bits.
constexpr std::intptr_t PackPoint(int x, int y) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(x & 0xFFFF));
}
constexpr int PointX(std::intptr_t lParam) { return static_cast<std::int16_t>(lParam & 0xFFFF); }
constexpr int PointY(std::intptr_t lParam) { return static_cast<std::int16_t>((lParam >> 16) & 0xFFFF); }
}  // namespace msg
