// The main frame's delayed busy look, without a window.
#include "ui/busy_look.h"

#include <gtest/gtest.h>

namespace ordinex::test {
namespace {

using Phase = BusyLook::Phase;

TEST(BusyLook, WorkOverWithinTheDelayShowsNothingAndLeavesNothingWaiting) {
    BusyLook look;
    ASSERT_TRUE(look.Enter());
    EXPECT_FALSE(look.Enter()) << "nested work enters once";
    EXPECT_FALSE(look.AskLayout(true)) << "the grown layout waits for the look";
    EXPECT_FALSE(look.AskAnimation());
    look.Leave();
    EXPECT_EQ(look.phase(), Phase::Idle);
    EXPECT_FALSE(look.AskLayout(false)) << "never grown: nothing to undo";
    const BusyLook::Parts late = look.ShowNow();
    EXPECT_FALSE(late.look || late.layout || late.animation) << "a timer firing after the work shows nothing";
}

TEST(BusyLook, WhatWaitedIsShownWithTheLookAndUndoneAfterIt) {
    BusyLook look;
    look.Enter();
    look.AskLayout(true);
    look.AskAnimation();
    const BusyLook::Parts shown = look.ShowNow();
    EXPECT_TRUE(shown.look && shown.layout && shown.animation);
    EXPECT_EQ(look.phase(), Phase::Shown);
    look.SetGrown(true);
    EXPECT_FALSE(look.ShowNow().look) << "shown once";
    EXPECT_TRUE(look.AskAnimation()) << "once shown, asked parts come at once";
    look.Leave();
    EXPECT_TRUE(look.AskLayout(false)) << "the grown frame shrinks back";
    look.SetGrown(false);
    EXPECT_FALSE(look.Grown());
}

TEST(BusyLook, PartsGivenUpBeforeTheLookDoNotComeWithIt) {
    BusyLook look;
    look.Enter();
    look.AskLayout(true);
    look.AskAnimation();
    look.DropAnimation();
    EXPECT_FALSE(look.AskLayout(false)) << "given up before it grew";
    const BusyLook::Parts shown = look.ShowNow();
    EXPECT_TRUE(shown.look);
    EXPECT_FALSE(shown.layout);
    EXPECT_FALSE(shown.animation);
}

} // namespace
} // namespace ordinex::test
