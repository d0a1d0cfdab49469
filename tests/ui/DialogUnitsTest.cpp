#include "ui/DialogUnits.h"
#include "ui/WindowPlacement.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

namespace relicwright {
namespace {

TEST(DialogUnits, ScalesEachCornerAndRoundsHalvesUp) {
    // A font 6 pixels wide on average and 13 high, worked out by hand:
    // x 5 -> 7.5 -> 8, right 55 -> 82.5 -> 83; y 45 -> 73.125 -> 73, bottom 59 -> 95.875 -> 96.
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.toPixels(QRect(5, 45, 50, 14)), QRect(8, 73, 75, 23));
    // Whole client area of the main window: 309 x 85 units.
    EXPECT_EQ(units.toPixels(QRect(0, 0, 309, 85)), QRect(0, 0, 464, 138));
    // Neighbours 5 units apart keep a gap, even where rounding differs.
    const QRect left = units.toPixels(QRect(5, 45, 50, 14));
    const QRect right = units.toPixels(QRect(60, 45, 185, 14));
    EXPECT_EQ(right.left() - (left.left() + left.width()), 7);
}

TEST(DialogUnits, FollowTheResolvedFontsLetterWidthsAndHeight) {
    QFont small = dialogFont();
    QFont large = dialogFont();
    large.setPointSize(16);
    const DialogUnits a = DialogUnits::forFont(small);
    const DialogUnits b = DialogUnits::forFont(large);
    EXPECT_GT(a.baseWidth(), 0);
    EXPECT_EQ(a.baseHeight(), QFontMetrics(small).height());
    // Twice the size, about twice the units.
    EXPECT_NEAR(b.baseWidth(), 2 * a.baseWidth(), 2);
    EXPECT_NEAR(b.baseHeight(), 2 * a.baseHeight(), 3);
    // The average letter is narrower than the widest capital and wider than "i".
    EXPECT_LT(a.baseWidth(), QFontMetrics(small).horizontalAdvance(QLatin1Char('W')));
    EXPECT_GT(a.baseWidth(), QFontMetrics(small).horizontalAdvance(QLatin1Char('i')));
}

TEST(WindowPlacement, CentresOverTheOwnerAndStaysInsideTheWorkArea) {
    const QRect work(0, 0, 1000, 700);
    EXPECT_EQ(WindowPlacement::centred(QSize(200, 100), QRect(100, 100, 400, 300), work), QPoint(200, 200));
    // Owner near the right edge: pushed back in.
    EXPECT_EQ(WindowPlacement::centred(QSize(200, 100), QRect(900, 650, 100, 50), work), QPoint(800, 600));
    // Owner off the top left.
    EXPECT_EQ(WindowPlacement::centred(QSize(200, 100), QRect(-300, -300, 100, 100), work), QPoint(0, 0));
    // Larger than the area: the top-left edge stays visible.
    EXPECT_EQ(WindowPlacement::centred(QSize(1200, 800), work, work), QPoint(0, 0));
    // A work area that does not start at the origin (a panel on the left).
    EXPECT_EQ(WindowPlacement::centred(QSize(100, 100), QRect(40, 0, 960, 700), QRect(40, 0, 960, 700)),
              QPoint(470, 300));
}

} // namespace
} // namespace relicwright
