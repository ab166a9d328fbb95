#include "tools/ai/cooldown.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

class CooldownTest : public testing::Test {
protected:
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
    ai::Cooldown cooldown{[this] { return now; }};
};

TEST_F(CooldownTest, IsIdleUntilStarted) {
    EXPECT_FALSE(cooldown.active());
    EXPECT_EQ(cooldown.secondsLeft(), 0);
    EXPECT_EQ(cooldown.caption(), "生成");
}

TEST_F(CooldownTest, CountsDownTwentySecondsInTheCaption) {
    cooldown.start();
    EXPECT_EQ(cooldown.secondsLeft(), 20);
    now += 1s;
    EXPECT_EQ(cooldown.caption(), "生成19");
    now += 300ms;
    EXPECT_EQ(cooldown.caption(), "生成19"); // a late tick shows the seconds still to wait
    now += 17700ms;
    EXPECT_EQ(cooldown.caption(), "生成1");
    EXPECT_TRUE(cooldown.active());
    now += 999ms;
    EXPECT_EQ(cooldown.secondsLeft(), 1);
    now += 1ms;
    EXPECT_FALSE(cooldown.active());
    EXPECT_EQ(cooldown.caption(), "生成");
}

TEST_F(CooldownTest, EndsOnTimeEvenWhenTicksAreMissed) {
    cooldown.start();
    now += 45s;
    EXPECT_FALSE(cooldown.active());
}

TEST_F(CooldownTest, StartsAgainFromTwenty) {
    cooldown.start();
    now += 25s;
    cooldown.start();
    EXPECT_EQ(cooldown.secondsLeft(), 20);
}

} // namespace
