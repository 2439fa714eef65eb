// The scale rule both front-ends share: the nearest whole number to dpi / 96,
// halves down, lowered until the window fits the screen's work area.
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
    {143, 1920, 1200, 1},
    {144, 1920, 1200, 1},   // 1.5: the half goes down
    {145, 1920, 1200, 2},
    {168, 1920, 1200, 2},
    {192, 1920, 1200, 2},
    {240, 2560, 1600, 2},   // 2.5: down again
    {241, 2560, 1600, 3},
    {288, 2560, 1600, 3},
    {384, 3840, 2160, 4},
    {192, 1366, 768, 1},    // 840 rows do not fit 768
    {288, 1920, 1200, 2},   // 1260 rows do not fit 1200, 840 do
    {192, 700, 840, 2},     // exactly the window's size fits
    {192, 699, 840, 1},     // one pixel too narrow
    {192, 700, 839, 1},     // one pixel too low
    {192, 100, 100, 1},     // a screen smaller than the game still gets k = 1
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
    {"144", 144},      {"144.5", 145},    {"144.0", 144}, // a fraction above the half gives 2, the half itself 1
    {"96.0", 96},      {"168\n", 168},    {"", 0},
    {"abc", 0},        {"-96", 0},        {"0", 0},
    {"nan", 0},        {"inf", 0},        {"1e9", 0},     // nonsense is no setting, never a huge k
    {nullptr, 0},
};

TEST(DisplayScale, ReadsTheDesktopSettingAsAWholeDpi) {
    for (const SettingCase& c : SettingCases) {
        EXPECT_EQ(platform::DpiFromSetting(c.text), c.dpi) << (c.text ? c.text : "(none)");
    }
    EXPECT_EQ(platform::ChooseScale(platform::DpiFromSetting("144.5"), 1920, 1200), 2);
    EXPECT_EQ(platform::ChooseScale(platform::DpiFromSetting("144"), 1920, 1200), 1);
}

static_assert(platform::ChooseScale(192, 1920, 1200) == 2, "the rule is usable at compile time");

}  // namespace
