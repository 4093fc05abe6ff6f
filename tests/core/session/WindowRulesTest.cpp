#include "core/session/WindowRules.h"

#include <gtest/gtest.h>

using namespace vorkel;

TEST(WindowRules, PresetsKeepPositionAndFullScreenReachesOnePixelPast) {
    ScreenRect cur{40, 50, 700, 500};
    ScreenRect screen{0, 0, 1920, 1080};
    EXPECT_EQ(presetGeometry(SizePreset::Default, cur, screen), (ScreenRect{40, 50, 820, 600}));
    EXPECT_EQ(presetGeometry(SizePreset::Small, cur, screen), (ScreenRect{40, 50, 650, 400}));
    EXPECT_EQ(presetGeometry(SizePreset::Medium, cur, screen), (ScreenRect{40, 50, 900, 700}));
    EXPECT_EQ(presetGeometry(SizePreset::Large, cur, screen), (ScreenRect{40, 50, 1024, 768}));
    EXPECT_EQ(presetGeometry(SizePreset::FullScreen, cur, screen), (ScreenRect{1, 1, 1920, 1080}));
}

TEST(WindowRules, WindowOutsideEveryScreenMovesOntoThePrimary) {
    std::vector<ScreenRect> screens{{0, 0, 1280, 1024}, {1280, 0, 1024, 768}};
    ScreenRect primary = screens[0];
    ScreenRect visible{1200, 700, 800, 600};  // touches both screens: stays
    EXPECT_EQ(placeOnScreen(visible, screens, primary), visible);
    ScreenRect negative{-100, -50, 800, 600};  // partly on screen: stays
    EXPECT_EQ(placeOnScreen(negative, screens, primary), negative);
    ScreenRect lost{3000, 2000, 800, 600};
    EXPECT_EQ(placeOnScreen(lost, screens, primary), (ScreenRect{240, 212, 800, 600}));
    ScreenRect huge{-5000, 0, 4000, 3000};  // too big for the primary: shrunk to fit
    EXPECT_EQ(placeOnScreen(huge, screens, primary), (ScreenRect{0, 0, 1280, 1024}));
}

TEST(WindowRules, FieldWidthRule) {
    auto l = editorFieldLayout(600, 100);
    EXPECT_EQ(l.fullWidth, 485);
    EXPECT_EQ(l.urlWidth, 455);
    EXPECT_EQ(l.shortWidth, 411);
    EXPECT_EQ(l.goLeft, 100 + 455 + 7);
    EXPECT_EQ(l.buttonsLeft, 100 + 411 + 7);
    // Widening the pane widens every field by the same amount.
    auto wider = editorFieldLayout(700, 100);
    EXPECT_EQ(wider.fullWidth - l.fullWidth, 100);
    EXPECT_EQ(wider.shortWidth - l.shortWidth, 100);
}
