// The main frame's first size and place on a screen.
#include "shell/frame_fit.h"

#include <gtest/gtest.h>

namespace zentrik::test {
namespace {

// A form of 700 by 600 under a wider banner, with 100 of bars and 40 by 60 of frame.
constexpr FrameNeeds kNeeds{700, 600, 780, 100, 40, 60, 20, 20};

TEST(FrameFit, TheWholeFormAndWidestBarWithinTheWorkAreaElseCutWithRoomForTheScrollBar) {
    // Room enough: exactly what the parts need, where it was suggested.
    EXPECT_EQ(FitFrame(kNeeds, {0, 0, 1600, 1200}, 100, 50), (ScreenRect{100, 50, 920, 810}));
    // A work area that does not start at the corner (a taskbar above or to the left), and a
    // suggested corner that would push the window past its far edges.
    EXPECT_EQ(FitFrame(kNeeds, {200, 40, 1200, 900}, 900, 0), (ScreenRect{380, 40, 1200, 800}));
    // Too low: as high as the work area, and wider by the vertical scroll bar, so that the
    // form needs no horizontal one.
    EXPECT_EQ(FitFrame(kNeeds, {0, 0, 1600, 700}, 10, 10), (ScreenRect{10, 0, 850, 700}));
    // That wider window no longer fits across: cut both ways.
    EXPECT_EQ(FitFrame(kNeeds, {0, 0, 830, 700}, 0, 0), (ScreenRect{0, 0, 830, 700}));
    // Too narrow only: the horizontal bar's height is added, and the window still fits.
    EXPECT_EQ(FitFrame(kNeeds, {0, 0, 800, 1000}, 0, 0), (ScreenRect{0, 0, 800, 780}));
}

}  // namespace
}  // namespace zentrik::test
