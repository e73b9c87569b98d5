// Time-value arithmetic of Date: calendar fields, MakeDay/MakeTime, local time through a
// host time zone and the original's toString text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <runtime/avm1/date_math.h>

namespace {

using namespace swf::avm1;

const LocalOffsetMinutes kKathmandu = [](double) { return 345.0; };
const LocalOffsetMinutes kUtc = [](double) { return 0.0; };
// A zone one hour behind UTC that moves to daylight time (zero offset) for the instants from
// 1e12 ms on, to see the offset taken at the right instant.
const LocalOffsetMinutes kWithDaylightSaving = [](double utc) { return utc >= 1e12 ? 0.0 : -60.0; };

TEST(DateMath, FieldsOfKnownInstants) {
    const double t = 981152406000;  // 2001-02-02 22:20:06 UTC, a Friday
    DateFields f = splitTime(t);
    EXPECT_EQ(f.year, 2001);
    EXPECT_EQ(f.month, 1);
    EXPECT_EQ(f.date, 2);
    EXPECT_EQ(weekDay(t), 5);
    EXPECT_EQ(f.hours, 22);
    EXPECT_EQ(f.minutes, 20);
    EXPECT_EQ(f.seconds, 6);

    DateFields before = splitTime(-500);  // half a second before the epoch
    EXPECT_EQ(before.year, 1969);
    EXPECT_EQ(before.month, 11);
    EXPECT_EQ(before.date, 31);
    EXPECT_EQ(before.seconds, 59);
    EXPECT_EQ(before.ms, 500);
    EXPECT_EQ(weekDay(-500), 3);

    EXPECT_EQ(yearFromTime(8.64e15), 275760);
    EXPECT_EQ(yearFromTime(-8.64e15), -271821);
    EXPECT_EQ(dateFromTime(makeDate(makeDay(2000, 1, 29), 0)), 29) << "leap day";
    EXPECT_EQ(monthFromTime(makeDate(makeDay(1900, 1, 29), 0)), 2) << "1900 is no leap year";
}

TEST(DateMath, MakeDayNormalisesOverflowingFieldsAndTruncates) {
    // Year 7002.5, month 13.5, day 32.5, 24.5 h, 60.5 min, 60.5 s, 1000.5 ms -> 7003-03-05 01:01:01.000
    const double t = joinFields({7002.5, 13.5, 32.5, 24.5, 60.5, 60.5, 1000.5});
    DateFields f = splitTime(t);
    EXPECT_EQ(f.year, 7003);
    EXPECT_EQ(f.month, 2);
    EXPECT_EQ(f.date, 5);
    EXPECT_EQ(f.hours, 1);
    EXPECT_EQ(f.minutes, 1);
    EXPECT_EQ(f.seconds, 1);
    EXPECT_EQ(f.ms, 0);
    EXPECT_EQ(splitTime(joinFields({1999, -2, -3, -4, -5, -6, -7})).month, 9) << "negative months count back";
    EXPECT_EQ(joinFields({2000, 11, 31, 23, 59, 59, 999}), 978307199999);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(makeDay(2000, std::nan(""), 1)));
    EXPECT_TRUE(std::isnan(makeDay(2000, inf, 1)));
    EXPECT_EQ(makeTime(inf, 0, 0, 0), inf) << "no check: the infinity runs through";
    EXPECT_EQ(joinFields({0, 0, inf, 0, 0, 0, 0}), inf);
    // A year that does not fit 32 bits is INT_MIN: far before the epoch, yet finite.
    EXPECT_EQ(makeDay(std::nan(""), 0, 1), makeDay(-2147483648.0, 0, 1));
    EXPECT_LT(makeDay(inf, 0, 1), -2e10);
}

TEST(DateMath, RoundTripOverManyDays) {
    for (double day = -800000; day <= 800000; day += 997) {
        const double t = day * kMsPerDay + 12345678;
        ASSERT_EQ(joinFields(splitTime(t)), t) << "day " << day;
    }
}

TEST(DateMath, LocalTimeThroughTheHostZone) {
    const double utc = 981152406000;
    const double local = localTimeFromUtc(utc, kKathmandu);
    EXPECT_EQ(splitTime(local).date, 3);
    EXPECT_EQ(splitTime(local).hours, 4);
    EXPECT_EQ(splitTime(local).minutes, 5);
    EXPECT_EQ(utcFromLocalTime(local, kKathmandu), utc);
    // Just after the change the local time belongs to the daylight-time instant.
    EXPECT_EQ(utcFromLocalTime(1e12 + 7200000, kWithDaylightSaving), 1e12 + 7200000);
    EXPECT_EQ(utcFromLocalTime(5e11, kWithDaylightSaving), 5e11 + 3600000);
}

TEST(DateMath, NonFiniteTimesGiveTheOriginalsFields) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(dateField(std::nan(""), DateField::kHours)));
    EXPECT_EQ(dateField(inf, DateField::kYear), -2147481678);
    EXPECT_EQ(dateField(-inf, DateField::kDate), -2147483647);
    EXPECT_EQ(dateField(inf, DateField::kMilliseconds), -2147482648);
    EXPECT_EQ(dateField(inf, DateField::kMonth), 0);
    EXPECT_EQ(dateField(86400000 * 3.5, DateField::kHours), 12);
    EXPECT_EQ(dateField(5.5, DateField::kMilliseconds), 5) << "whole fields of a fractional time";
}

TEST(DateMath, HugeTimesEndAndStayFinite) {
    for (double t : {1e300, -1e300, 1.7e308, 3.9e18}) {
        EXPECT_FALSE(formatDate(t, kUtc).empty()) << t;
        EXPECT_TRUE(std::isfinite(yearFromTime(t))) << t;
    }
}

TEST(DateMath, TwoDigitYears) {
    EXPECT_EQ(fullYearFromTwoDigits(0), 1900);
    EXPECT_EQ(fullYearFromTwoDigits(99.5), 1999.5);
    EXPECT_EQ(fullYearFromTwoDigits(100), 100);
    EXPECT_EQ(fullYearFromTwoDigits(-1), 1899);
    EXPECT_EQ(joinFields({fullYearFromTwoDigits(-1), -2, -3, -4, -5, -6, -7}), -2246155506007);
}

TEST(DateMath, ToStringText) {
    EXPECT_EQ(formatDate(981152406000, kKathmandu), "Sat Feb 3 04:05:06 GMT+0545 2001");
    EXPECT_EQ(formatDate(0, kUtc), "Thu Jan 1 00:00:00 GMT+0000 1970");
    EXPECT_EQ(formatDate(0, [](double) { return -300.0; }), "Wed Dec 31 19:00:00 GMT-0500 1969");
    EXPECT_EQ(formatDate(-8.64e15, kKathmandu), "Tue Apr 20 05:45:00 GMT+0545 -271821");
    EXPECT_EQ(formatDate(std::nan(""), kUtc), "Invalid Date");
    EXPECT_EQ(formatDate(std::numeric_limits<double>::infinity(), kUtc), "Invalid Date");
}

}  // namespace
