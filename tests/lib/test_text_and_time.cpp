#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "lib/clock.h"
#include "lib/elapsed.h"
#include "lib/text.h"
#include "tests/support/fakes.h"

using namespace vesk;

TEST(Text, FoldingTrimmingAndPositions) {
    EXPECT_EQ(upperCase("abz\xE9\xDF"), "ABZ\xE9\xDF"); // only a..z change
    EXPECT_EQ(trimView("\t a b \r\n"), "a b");
    EXPECT_TRUE(xcSameText("  Hello ", "hELLO"));
    EXPECT_TRUE(xcSameText(" \t", ""));
    EXPECT_FALSE(xcSameText("a", ""));
    EXPECT_EQ(xcPosIn("abcABC", "bc", false), 2u);
    EXPECT_EQ(xcPosIn("xyzABC", "bc", true), 5u);
    EXPECT_EQ(xcPosIn("abc", "", true), 0u);
    EXPECT_EQ(fileExtension("/a.b/c"), "");
    EXPECT_EQ(fileExtension("/a/c.tar.gz"), ".gz");
    EXPECT_EQ(fileFolder("/a/b/c.txt"), "/a/b/");
    EXPECT_EQ(numberText(-1), "-1");
}

TEST(Elapsed, HoursMinutesSecondsAndMilliseconds) {
    std::string text = "unchanged";
    struct Case {
        double seconds;
        const char* text;
    };
    for (const Case& c : {Case{5.042, "5.042s"}, Case{0.0, "0.000s"}, Case{127, "2m7s"},
                          Case{3727, "1h2m7s"}, Case{3600, "0m0s"}}) {
        ASSERT_TRUE(elapsedText(c.seconds * kOneSecond, text));
        EXPECT_EQ(text, c.text);
    }
    text = "kept";
    EXPECT_FALSE(elapsedText(60 * kOneSecond, text)); // exactly one minute leaves the text
    EXPECT_EQ(text, "kept");

    test::FakeClock clock;
    DateValue start = 0;
    xcElapsedText(1, start, text, clock);
    clock.advanceSeconds(2.5);
    xcElapsedText(2, start, text, clock);
    EXPECT_EQ(text, "2.500s");
}

TEST(Clock, SystemClockIsLocalTime) {
    const SystemClock clock;
    const DateValue a = clock.now();
    const DateValue b = localDateValue(static_cast<std::int64_t>(std::time(nullptr)));
    EXPECT_NEAR(a, b, 2 * kOneSecond);
    EXPECT_DOUBLE_EQ(localDateValue(0) -
                         static_cast<double>(static_cast<long long>(localDateValue(0))),
                     localDateValue(0) - std::floor(localDateValue(0)));
}
