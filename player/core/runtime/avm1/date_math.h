// Time values as ECMA-262 edition 3 (15.9.1) defines them: milliseconds since 1970-01-01 UTC
// as a double, split into calendar fields and joined again, local time through a time-zone
// function of the host, and the text Date.prototype.toString gives in the original player.
// Unlike the edition's TimeClip, the original keeps times past +-8.64e15 ms.
#pragma once

#include <functional>
#include <string>

namespace swf::avm1 {

constexpr double kMsPerDay = 86400000.0;

// Local time minus UTC, in minutes, at the given UTC instant (daylight saving included).
using LocalOffsetMinutes = std::function<double(double utcMs)>;

double dayFromTime(double t);        // Day(t): floor(t / msPerDay)
double timeWithinDay(double t);      // t modulo msPerDay, never negative
double dayFromYear(double year);     // DayFromYear(y)
double timeFromYear(double year);    // TimeFromYear(y)
double yearFromTime(double t);
bool inLeapYear(double t);
double monthFromTime(double t);      // 0..11
double dateFromTime(double t);       // 1..31
double weekDay(double t);            // 0 = Sunday
double hourFromTime(double t);
double minFromTime(double t);
double secFromTime(double t);
double msFromTime(double t);

// MakeTime / MakeDay / MakeDate: every argument is truncated toward zero first. The original
// does not check for non-finite values: NaN and the infinities run through the arithmetic
// (new Date(0, 0, Infinity) is +Infinity), a non-finite month gives NaN, and the year goes
// through a 32-bit conversion that turns NaN, the infinities and years out of range into
// -2147483648.
double makeTime(double hour, double min, double sec, double ms);
double makeDay(double year, double month, double date);
double makeDate(double day, double time);

double localTimeFromUtc(double utc, const LocalOffsetMinutes& offset);
// The UTC instant whose local time is `local`; across a daylight saving change the offset is
// taken at the estimated instant, as the edition's UTC(t) does.
double utcFromLocalTime(double local, const LocalOffsetMinutes& offset);

// The calendar fields of a time value (already shifted to local time for the local forms).
struct DateFields {
    double year = 0, month = 0, date = 1, hours = 0, minutes = 0, seconds = 0, ms = 0;
};
DateFields splitTime(double t);
double joinFields(const DateFields& fields);

// A field the original reports for a date: NaN when the time is NaN. For an infinite time the
// original's 32-bit arithmetic yields INT_MIN moved into range by one modulus, which scripts
// print; those values are reproduced: year INT_MIN + 1970, month 0, date INT_MIN + 1, ...
enum class DateField { kYear, kMonth, kDate, kWeekDay, kHours, kMinutes, kSeconds, kMilliseconds };
double dateField(double t, DateField field);

// Years below 100 given to the Date constructor, Date.UTC and setYear count from 1900, the
// negative ones too: new Date(-1, 0) is in 1899.
double fullYearFromTwoDigits(double year);

// "Sat Feb 3 04:05:06 GMT+0545 2001" for the local time of `utc`; "Invalid Date" when not
// finite.
std::string formatDate(double utc, const LocalOffsetMinutes& offset);

}  // namespace swf::avm1
