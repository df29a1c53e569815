#include "vcl/scroll_stepper.h"

#include <gtest/gtest.h>

using vcl::ScrollStepper;

namespace {

int MovesAfter(ScrollStepper& s, int requests) {
    int moves = 0;
    for (int i = 0; i < requests; ++i)
        moves += s.Step();
    return moves;
}

TEST(ScrollStepper, MovesOnePixelOnEvery41stRequest) {
    ScrollStepper s;
    s.SetDelay(40);
    s.Start(442, 1000, true);
    EXPECT_EQ(s.X(), 442);
    EXPECT_EQ(MovesAfter(s, 40), 0);
    EXPECT_EQ(s.X(), 442);
    EXPECT_TRUE(s.Step());
    EXPECT_EQ(s.X(), 441);
    EXPECT_EQ(MovesAfter(s, 41 * 10), 10);
    EXPECT_EQ(s.X(), 431);
}

TEST(ScrollStepper, StartsAgainAtTheRightEdgeAfterWidthPlusTextWidthPlusOne) {
    ScrollStepper s;
    s.SetDelay(0); // every request moves
    s.Start(10, 5, true);
    MovesAfter(s, 10 + 5); // left edge at -5: right edge at 0, still on the edge
    EXPECT_EQ(s.X(), -5);
    s.Step();
    EXPECT_EQ(s.X(), 10);
}

TEST(ScrollStepper, CountSurvivesARestartAndIdleRequestsAreNotCounted) {
    ScrollStepper s;
    s.SetDelay(40);
    s.Start(100, 10, true);
    MovesAfter(s, 30);
    EXPECT_EQ(s.Count(), 30);
    s.Start(100, 10, true);
    EXPECT_EQ(s.X(), 100);
    EXPECT_EQ(MovesAfter(s, 11), 1); // the count went on from 30
    s.Stop();
    EXPECT_EQ(MovesAfter(s, 100), 0);
    EXPECT_EQ(s.Count(), 0);
}

TEST(ScrollStepper, EmptyTextScrollsNothingAndATrailingBlankIsAdded) {
    ScrollStepper s;
    s.Start(100, 0, false);
    EXPECT_FALSE(s.Scrolling());
    EXPECT_EQ(MovesAfter(s, 100), 0);
    EXPECT_EQ(ScrollStepper::WithTrailingBlank("text"), "text ");
    EXPECT_EQ(ScrollStepper::WithTrailingBlank("text "), "text ");
    EXPECT_EQ(ScrollStepper::WithTrailingBlank(""), "");
}

} // namespace
