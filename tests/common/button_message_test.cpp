// Where a left-button press lands decides which message the game gets: the
// rim and the caption are the frame's, with the point on the screen; the
// rest is the client area's, with the point in it.
#include <gtest/gtest.h>

#include "frontends/common/button_message.h"

namespace {

struct ButtonCase {
    const char* name;
    int x, y;           // window point
    unsigned message;   // for a press
    int sentX, sentY;   // the point the message carries
};

constexpr platform::ScreenPoint Origin = {100, 50};

constexpr ButtonCase Cases[] = {
    {"caption", 150, 10, msg::NcLButtonDown, 250, 60},
    {"left rim", 0, 200, msg::NcLButtonDown, 100, 250},
    {"right rim", 347, 200, msg::NcLButtonDown, 447, 250},
    {"bottom rim", 200, 417, msg::NcLButtonDown, 300, 467},
    {"first client pixel", 3, 22, msg::LButtonDown, 0, 0},
    {"last client pixel", 346, 416, msg::LButtonDown, 343, 394},
};

TEST(ButtonMessage, FrameAndClientPointsBecomeTheirOwnMessages) {
    for (const ButtonCase& c : Cases) {
        const platform::ButtonMessage press = platform::LeftButtonAt(true, c.x, c.y, Origin);
        EXPECT_EQ(press.message, c.message) << c.name;
        EXPECT_EQ(msg::PointX(press.lParam), c.sentX) << c.name;
        EXPECT_EQ(msg::PointY(press.lParam), c.sentY) << c.name;
        const unsigned release = c.message == msg::LButtonDown ? msg::LButtonUp : msg::NcLButtonUp;
        EXPECT_EQ(platform::LeftButtonAt(false, c.x, c.y, Origin).message, release) << c.name;
    }
}

TEST(ButtonMessage, OnlyPointsInsideTheWindowAreTheWindows) {
    EXPECT_TRUE(platform::InsideWindow(0, 0));
    EXPECT_TRUE(platform::InsideWindow(349, 419));
    EXPECT_FALSE(platform::InsideWindow(-1, 10));
    EXPECT_FALSE(platform::InsideWindow(350, 10));
    EXPECT_FALSE(platform::InsideWindow(10, 420));
}

}  // namespace
