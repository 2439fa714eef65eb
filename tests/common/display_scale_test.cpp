// The scale rule both front-ends share: the nearest whole number to dpi / 96,
// halves up, lowered until the window fits the screen's work area.
#include "frontends/common/display_scale.h"

#include <gtest/gtest.h>

namespace {

struct ScaleCase {
    int dpi;
    int workWidth;
    int workHeight;
    int expected;
};

constexpr ScaleCase ScaleCases[] = {
    // dpi  work area     k
    {0, 1920, 1200, 1},     // no desktop setting
    {-5, 1920, 1200, 1},    // nonsense from the desktop
    {72, 1920, 1200, 1},    // below 96 never shrinks the picture
    {96, 1920, 1200, 1},
    {96, 100, 100, 1},      // a screen smaller than the game still gets k = 1
    {120, 1920, 1200, 1},   // 1.25
    {143, 1920, 1200, 1},   // just below the half
    {144, 1920, 1200, 2},   // 1.5: the half goes up
    {144, 1366, 768, 1},    // ... where 840 rows fit
    {168, 1920, 1200, 2},   // 1.75
    {168, 1280, 800, 1},
    {192, 1920, 1200, 2},
    {192, 1366, 768, 1},    // 840 rows do not fit 768
    {239, 2560, 1600, 2},   // just below the half
    {240, 2560, 1600, 3},   // 2.5: up again
    {240, 1920, 1200, 2},   // 1260 rows do not fit 1200, 840 do
    {288, 2560, 1600, 3},
    {288, 1920, 1200, 2},
    {288, 1024, 768, 1},
    {384, 3840, 2160, 4},
    {192, 700, 840, 2},     // exactly the window's size fits
    {192, 699, 840, 1},     // one pixel too narrow
    {192, 700, 839, 1},     // one pixel too low
    {9600, 3840, 2160, 5},  // a huge setting is capped by the screen
};

TEST(DisplayScale, RoundsTheDesktopScaleAndFitsTheWindow) {
    for (const ScaleCase& c : ScaleCases) {
        EXPECT_EQ(platform::ChooseScale(c.dpi, c.workWidth, c.workHeight), c.expected)
            << c.dpi << " dpi on " << c.workWidth << "x" << c.workHeight;
    }
}

struct SettingCase {
    const char* text;
    int dpi;
};

constexpr SettingCase SettingCases[] = {
    {"192", 192},      {"96", 96},        {" 120", 120},  // as xrdb stores it, after the colon's space
    {"144", 144},      {"143.9", 143},    {"144.0", 144}, // a fraction below the half stays below it
    {"144.5", 144},
    {"96.0", 96},      {"168\n", 168},    {"", 0},
    {"abc", 0},        {"-96", 0},        {"0", 0},
    {"nan", 0},        {"inf", 0},        {"1e9", 0},     // nonsense is no setting, never a huge k
    {nullptr, 0},
};

TEST(DisplayScale, ReadsTheDesktopSettingAsAWholeDpi) {
    for (const SettingCase& c : SettingCases) {
        EXPECT_EQ(platform::DpiFromSetting(c.text), c.dpi) << (c.text ? c.text : "(none)");
    }
    EXPECT_EQ(platform::ChooseScale(platform::DpiFromSetting("143.9"), 1920, 1200), 1);
    EXPECT_EQ(platform::ChooseScale(platform::DpiFromSetting("144"), 1920, 1200), 2);
}

// Wayland's compositor scale, 1 to 3, in device pixels of the work area.
struct DesktopScaleCase {
    int scale;
    int workWidth;
    int workHeight;
    int expected;
};

constexpr DesktopScaleCase DesktopScaleCases[] = {
    {0, 1920, 1080, 1},  // no scale known
    {1, 1920, 1080, 1},
    {1, 300, 300, 1},    // too small, still 1
    {2, 3840, 2160, 2},
    {2, 700, 840, 2},    // exactly the window at 2
    {2, 700, 839, 1},    // one row short
    {3, 3840, 2160, 3},
    {3, 1050, 1260, 3},  // exactly three times the window
    {3, 1920, 1200, 2},  // 1260 rows do not fit 1200, 840 do
    {3, 1366, 768, 1},
};

TEST(DisplayScale, TakesTheCompositorScaleThroughTheSameRule) {
    for (const DesktopScaleCase& c : DesktopScaleCases) {
        EXPECT_EQ(platform::ChooseScale(platform::DpiFromDesktopScale(c.scale), c.workWidth, c.workHeight),
                  c.expected)
            << "scale " << c.scale << " on " << c.workWidth << "x" << c.workHeight;
    }
}

static_assert(platform::ChooseScale(192, 1920, 1200) == 2, "the rule is usable at compile time");

}  // namespace
