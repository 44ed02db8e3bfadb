#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/string/Ascii.h"
#include "vel/time/Time.h"

namespace {

std::string textOf(const Time& t) {
    return t.toText().text();
}

class TimeTest : public ::testing::Test {
protected:
    void SetUp() override { BaseValuesTest::takeAssertions(); }
    void TearDown() override { EXPECT_TRUE(BaseValuesTest::takeAssertions().empty()); }
};

struct ShiftCase {
    Time start;
    bool hours;
    std::int32_t n;
    const char* expected;
};

TEST_F(TimeTest, ShiftsCarryOverMonthLeapYearAndYearEnds) {
    const std::vector<ShiftCase> cases = {
        {Time(2008, 2, 28, 23, 30, 0), false, 45, "2008-02-29 00:15:00 UTC"},
        {Time(2009, 2, 28, 23, 30, 0), false, 45, "2009-03-01 00:15:00 UTC"},
        {Time(2008, 3, 1, 0, 10, 0), false, -20, "2008-02-29 23:50:00 UTC"},
        {Time(2009, 3, 1, 0, 10, 0), false, -20, "2009-02-28 23:50:00 UTC"},
        {Time(2000, 2, 28, 12, 0, 7), true, 24, "2000-02-29 12:00:07 UTC"},  // 2000 is a leap year
        {Time(1900, 2, 28, 12, 0, 7), true, 24, "1900-03-01 12:00:07 UTC"},  // 1900 is not
        {Time(2009, 1, 5, 7, 8, 9), true, 48, "2009-01-07 07:08:09 UTC"},
        {Time(2009, 1, 5, 7, 8, 9), true, 25, "2009-01-06 08:08:09 UTC"},
        {Time(2009, 12, 31, 23, 59, 59), false, 1, "2010-01-01 00:00:59 UTC"},
        {Time(2010, 1, 1, 0, 0, 0), true, -1, "2009-12-31 23:00:00 UTC"},
        {Time(2009, 1, 31, 10, 0, 0), true, 30 * 24, "2009-03-02 10:00:00 UTC"},
        {Time(2009, 3, 31, 10, 0, 0), true, -31 * 24, "2009-02-28 10:00:00 UTC"},
        {Time(2009, 6, 15, 10, 30, 0), false, -(365 * 24 * 60),
         "2008-06-15 10:30:00 UTC"},  // through a leap day
        {Time(2009, 6, 15, 10, 30, 0), false, 0, "2009-06-15 10:30:00 UTC"},
        {Time(2009, 6, 15, 10, 30, 0), false, 1439, "2009-06-16 10:29:00 UTC"},
        {Time(2009, 6, 15, 10, 30, 0), false, -1441, "2009-06-14 10:29:00 UTC"},
    };
    for (const ShiftCase& c : cases) {
        Time shifted = c.hours ? c.start.plusHours(c.n) : c.start.plusMinutes(c.n);
        EXPECT_EQ(textOf(shifted), c.expected)
            << textOf(c.start) << (c.hours ? " hours " : " minutes ") << c.n;
    }
}

TEST_F(TimeTest, ShiftsStopAtTheFirstAndLastSecond) {
    const std::vector<ShiftCase> cases = {
        {Time(9999, 12, 31, 23, 0, 0), true, 1, "9999-12-31 23:59:59 UTC"},
        {Time(9999, 12, 31, 23, 59, 0), false, 1, "9999-12-31 23:59:59 UTC"},
        {Time(9999, 6, 1, 0, 0, 0), true, INT_MAX, "9999-12-31 23:59:59 UTC"},
        {Time(0, 1, 1, 0, 30, 0), false, -31, "0000-01-01 00:00:00 UTC"},
        {Time(5, 3, 1, 0, 30, 0), false, INT_MIN, "0000-01-01 00:00:00 UTC"},
        {Time::maximum(), false, 0, "9999-12-31 23:59:59 UTC"},
        {Time::minimum(), true, 0, "0000-01-01 00:00:00 UTC"},
    };
    for (const ShiftCase& c : cases) {
        Time shifted = c.hours ? c.start.plusHours(c.n) : c.start.plusMinutes(c.n);
        EXPECT_EQ(textOf(shifted), c.expected) << textOf(c.start) << " by " << c.n;
    }
}

TEST_F(TimeTest, TextAndDefinedness) {
    EXPECT_EQ(textOf(Time()), "undefined");
    EXPECT_FALSE(Time().isDefined());
    EXPECT_FALSE(Time(-1, 99, 99, 99, 99, 99).isDefined());  // a negative year is not checked
    EXPECT_EQ(textOf(Time(2009, 1, 5, 7, 8, 9)), "2009-01-05 07:08:09 UTC");
    EXPECT_EQ(textOf(Time(7, 10, 1, 0, 0, 0)), "0007-10-01 00:00:00 UTC");
    EXPECT_TRUE(Time::now().isDefined());
    EXPECT_GT(Time::now().year(), 2000);
}

TEST_F(TimeTest, OrdersDefinedTimes) {
    Time early(2009, 1, 5, 7, 8, 9);
    Time late(2009, 1, 5, 7, 8, 10);
    Time same(2009, 1, 5, 7, 8, 9);
    EXPECT_TRUE(early < late && late > early && early <= late && late >= early);
    EXPECT_TRUE(early == same && early <= same && early >= same);
    EXPECT_FALSE(early < same || early > same || early == late);
    EXPECT_TRUE(Time::minimum() < Time::maximum());
}

TEST_F(TimeTest, ComparingOrShiftingAnUndefinedTimeIsABrokenInvariant) {
    Time undefined;
    EXPECT_TRUE(undefined == undefined);  // the same object needs no check
    EXPECT_TRUE(BaseValuesTest::takeAssertions().empty());
    EXPECT_FALSE(undefined < Time::maximum());
    EXPECT_FALSE(Time::maximum() == Time());
    EXPECT_EQ(BaseValuesTest::takeAssertions(),
              (std::vector<std::string>{"isDefined() && t.isDefined()", "isDefined() && t.isDefined()"}));
    EXPECT_FALSE(undefined.plusHours(1).isDefined());
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"isDefined()"});
}

TEST_F(TimeTest, FieldsOutOfRangeAreRefused) {
    struct Case {
        int year, month, day, hour, minute, second;
    };
    const std::vector<Case> cases = {
        {10000, 1, 1, 0, 0, 0}, {2009, 0, 1, 0, 0, 0},  {2009, 13, 1, 0, 0, 0}, {2009, 2, 29, 0, 0, 0},
        {2009, 4, 31, 0, 0, 0}, {2009, 1, 0, 0, 0, 0},  {2009, 1, 1, 24, 0, 0}, {2009, 1, 1, 0, 60, 0},
        {2009, 1, 1, 0, 0, 60}, {2009, 1, 1, -1, 0, 0},
    };
    for (const Case& c : cases) {
        Time t(c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_FALSE(t.isDefined()) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(BaseValuesTest::takeAssertions().size(), 1u) << c.year << "-" << c.month << "-" << c.day;
    }
    EXPECT_TRUE(Time(2008, 2, 29, 23, 59, 59).isDefined());
    EXPECT_EQ(Time::daysInMonth(2, 2000), 29);
    EXPECT_EQ(Time::daysInMonth(2, 1900), 28);
    EXPECT_EQ(Time::daysInMonth(2, 2004), 29);
    EXPECT_EQ(Time::daysInMonth(12, 2009), 31);
}

}  // namespace
