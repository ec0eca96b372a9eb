#include <gtest/gtest.h>

#include "core/window_scaling.h"

using namespace wexon::core;

namespace {

// A 1024 x 768 pixel screen in twips.
const double kWide = pixelsToTwips(1024);
const double kHigh = pixelsToTwips(768);

} // namespace

TEST(Twips, FifteenTwipsMakeAPixel) {
    EXPECT_DOUBLE_EQ(pixelsToTwips(640), 9600);
    EXPECT_DOUBLE_EQ(twipsToPixels(7200), 480);
}

TEST(ScaleToScreen, AWindowGrowsWithTheScreenAndIsCentredALittleHigh) {
    const WindowScale scale = WindowScale::toScreen(kWide, kHigh);
    EXPECT_DOUBLE_EQ(scale.rx(), 1.6);
    EXPECT_DOUBLE_EQ(scale.ry(), 1.6);
    const TwipRect r = scale.window({100, 100, 4800, 3000});
    EXPECT_DOUBLE_EQ(r.width, 7680);
    EXPECT_DOUBLE_EQ(r.height, 4800);
    EXPECT_DOUBLE_EQ(r.left, (kWide - 7680) / 2);
    EXPECT_DOUBLE_EQ(r.top, (kHigh - 4800) / 2 - 170);
    EXPECT_DOUBLE_EQ(scale.windowFontSize(8.25), 8.25 * 1.6);
    EXPECT_DOUBLE_EQ(scale.controlFontSize(ControlKind::TextBox, 10), 16);
}

TEST(ScaleToScreen, AWideScreenStretchesAcrossMoreThanDown) {
    const WindowScale scale = WindowScale::toScreen(pixelsToTwips(1920), pixelsToTwips(1080));
    EXPECT_DOUBLE_EQ(scale.rx(), 3.0);
    EXPECT_DOUBLE_EQ(scale.ry(), 2.25);
    // The window's own font follows the height; the controls' the smaller factor.
    EXPECT_DOUBLE_EQ(scale.windowFontSize(8), 18);
    EXPECT_DOUBLE_EQ(scale.controlFontSize(ControlKind::CommandButton, 8), 18);
    const TwipRect r = scale.control(ControlKind::CommandButton, {120, 240, 1000, 400});
    EXPECT_EQ(r, (TwipRect{360, 540, 3000, 900}));
    EXPECT_DOUBLE_EQ(scale.columnWidth(1000), 3000);
    EXPECT_EQ(scale.line({10, 20, 30, 40}), (TwipLine{30, 45, 90, 90}));
}

TEST(ScaleToScreen, ControlsFollowTheirOwnRules) {
    const WindowScale scale = WindowScale::toScreen(kWide, kHigh);
    const TwipRect design{100, 200, 1000, 315};
    // Combo boxes move and widen but keep their height.
    EXPECT_EQ(scale.control(ControlKind::ComboBox, design), (TwipRect{160, 320, 1600, 315}));
    // Progress bars and images move but keep their font.
    EXPECT_EQ(scale.control(ControlKind::ProgressBar, design), (TwipRect{160, 320, 1600, 504}));
    EXPECT_FALSE(scale.controlFontScales(ControlKind::ProgressBar));
    EXPECT_FALSE(scale.controlFontScales(ControlKind::Image));
    EXPECT_DOUBLE_EQ(scale.controlFontSize(ControlKind::Image, 9), 9);
    // Unknown controls are left alone.
    EXPECT_EQ(scale.control(ControlKind::Other, design), design);
    EXPECT_DOUBLE_EQ(scale.controlFontSize(ControlKind::Other, 9), 9);
    for (ControlKind kind :
         {ControlKind::ListBox, ControlKind::Label, ControlKind::CheckBox,
          ControlKind::OptionButton, ControlKind::Frame, ControlKind::ListView}) {
        EXPECT_TRUE(scale.controlFontScales(kind));
    }
}

TEST(ScaleBetween, TheParameterisedFormTakesItsTargetFactorAndFont) {
    // Reference 9600 x 7200 on a 1024 x 768 target, font factor 1 and a new font
    // name: the same stretch as the plain form.
    const WindowScale winkey(kWide, kHigh, 9600, 7200, false, 1.0, "Arial");
    EXPECT_EQ(winkey.fontName(), "Arial");
    EXPECT_DOUBLE_EQ(winkey.window({0, 0, 4800, 3600}).width, 7680);

    // Sized straight to the target, the window fills it.
    const WindowScale filling(8000, 6000, 9600, 7200, true, 0.5);
    const TwipRect r = filling.window({0, 0, 1000, 1000});
    EXPECT_DOUBLE_EQ(r.width, 8000);
    EXPECT_DOUBLE_EQ(r.height, 6000);
    EXPECT_DOUBLE_EQ(r.left, 0);
    EXPECT_DOUBLE_EQ(r.top, -170);
    EXPECT_DOUBLE_EQ(filling.windowFontSize(12), 12 * (6000.0 / 7200.0) * 0.5);
}

TEST(ScaleBetween, AnEmptyReferenceLeavesSizesAlone) {
    const WindowScale scale(8000, 6000, 0, 0);
    EXPECT_DOUBLE_EQ(scale.rx(), 1.0);
    EXPECT_DOUBLE_EQ(scale.ry(), 1.0);
}

TEST(KeepInside, AWindowTooLargeOrTooHighIsBroughtOntoTheArea) {
    const TwipRect area{0, 0, 15360, 11520};
    // Raised above the top edge by the centring rule.
    EXPECT_EQ(keepInside({100, -170, 15000, 11000}, area), (TwipRect{100, 0, 15000, 11000}));
    // Larger than the area: it shrinks to fit.
    EXPECT_EQ(keepInside({-50, -50, 20000, 12000}, area), (TwipRect{0, 0, 15360, 11520}));
    // Past the right edge: it moves back.
    EXPECT_EQ(keepInside({15000, 0, 1000, 1000}, area), (TwipRect{14360, 0, 1000, 1000}));
    // A work area that does not start at the origin (taskbar on top).
    EXPECT_EQ(keepInside({0, 0, 1000, 1000}, {0, 600, 15360, 10920}),
              (TwipRect{0, 600, 1000, 1000}));
    // No area known: unchanged.
    EXPECT_EQ(keepInside({-5, -5, 10, 10}, {}), (TwipRect{-5, -5, 10, 10}));
}

TEST(FormSizeAnswer, NumbersAreClampedToThirtyToAHundred) {
    EXPECT_EQ(formSizeFromAnswer("120"), 100);
    EXPECT_EQ(formSizeFromAnswer("10"), 30);
    EXPECT_EQ(formSizeFromAnswer("75"), 75);
    EXPECT_EQ(formSizeFromAnswer("-40"), 30);
    EXPECT_EQ(formSizeFromAnswer("89.6"), 90);
    EXPECT_EQ(formSizeFromAnswer("1e9"), 100);
}

TEST(FormSizeAnswer, AnythingButANumberIsRefused) {
    EXPECT_EQ(formSizeFromAnswer(""), std::nullopt);
    EXPECT_EQ(formSizeFromAnswer("ninety"), std::nullopt);
    EXPECT_EQ(formSizeFromAnswer("90%"), std::nullopt);
}

TEST(FormSizeAnswer, AStoredValueOutsideTheRangeCountsAsFullSize) {
    EXPECT_EQ(usableFormSizePercent(0), 100);
    EXPECT_EQ(usableFormSizePercent(29), 100);
    EXPECT_EQ(usableFormSizePercent(255), 100);
    EXPECT_EQ(usableFormSizePercent(30), 30);
    EXPECT_EQ(usableFormSizePercent(85), 85);
}

TEST(FormSizeLayout, TheWindowCoversItsShareFromTheTopLeft) {
    const FormSizeLayout layout(75);
    EXPECT_EQ(layout.window(kWide, kHigh), (TwipRect{0, 0, kWide * 0.75, kHigh * 0.75}));
    EXPECT_DOUBLE_EQ(layout.fontSize(12), 9);
    EXPECT_DOUBLE_EQ(layout.columnWidth(1000), 750);
    EXPECT_EQ(layout.line({100, 200, 300, 400}), (TwipLine{75, 150, 225, 300}));
    const TwipRect design{400, 800, 1200, 400};
    for (ControlKind kind : {ControlKind::ListView, ControlKind::CommandButton,
                             ControlKind::TextBox, ControlKind::Label}) {
        EXPECT_EQ(layout.control(kind, design), (TwipRect{300, 600, 900, 300}));
    }
    // Other kinds are not part of the shrink.
    EXPECT_EQ(layout.control(ControlKind::ComboBox, design), design);
    EXPECT_EQ(layout.control(ControlKind::CheckBox, design), design);
}

TEST(FullScreenLayout, ControlsFollowTheNewSize) {
    // From the whole screen to a work area 40 pixels shorter.
    const FullScreenLayout layout(kWide, kHigh, kWide, pixelsToTwips(728));
    EXPECT_DOUBLE_EQ(layout.xFactor, 1.0);
    EXPECT_DOUBLE_EQ(layout.yFactor, 728.0 / 768.0);
    const TwipRect r = layout.control({0, kHigh / 2, 1500, 768 * 15});
    EXPECT_DOUBLE_EQ(r.top, pixelsToTwips(364));
    EXPECT_DOUBLE_EQ(r.height, pixelsToTwips(728));
    EXPECT_DOUBLE_EQ(layout.columnWidth(900), 900);
    const FullScreenLayout wider(1000, 1000, 2000, 500);
    EXPECT_EQ(wider.line({10, 10, 20, 20}), (TwipLine{20, 5, 40, 10}));
    // A window of no size yet stretches nothing.
    const FullScreenLayout fromNothing(0, 0, 2000, 500);
    EXPECT_DOUBLE_EQ(fromNothing.xFactor, 1.0);
    EXPECT_DOUBLE_EQ(fromNothing.yFactor, 1.0);
}

TEST(Taskbar, TogglesOnlyAtFullSize) {
    EXPECT_FALSE(toggleTaskbar(99, 0).allowed);
    EXPECT_EQ(toggleTaskbar(99, 1).newMode, 1);
    EXPECT_TRUE(toggleTaskbar(100, 0).allowed);
    EXPECT_EQ(toggleTaskbar(100, 0).newMode, 1);
    EXPECT_EQ(toggleTaskbar(100, 1).newMode, 0);
    // Any mode other than 1 covers the whole screen; toggling it turns the taskbar on.
    EXPECT_EQ(toggleTaskbar(100, 7).newMode, 1);
    EXPECT_TRUE(coversWorkArea(1));
    EXPECT_FALSE(coversWorkArea(0));
    EXPECT_FALSE(coversWorkArea(2));
}
