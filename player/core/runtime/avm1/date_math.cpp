#include "date_math.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace swf::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMsPerHour = 3600000.0;
constexpr double kMsPerMinute = 60000.0;
constexpr double kMsPerSecond = 1000.0;

double positiveModulo(double a, double b) {
    double r = std::fmod(a, b);
    return r < 0 ? r + b : r;
}

double daysInYear(double year) {
    if (std::fmod(year, 4) != 0) return 365;
    if (std::fmod(year, 100) != 0) return 366;
    if (std::fmod(year, 400) != 0) return 365;
    return 366;
}

// First day of each month in a common year; a leap year adds one from March on.
constexpr int kMonthStart[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

double dayWithinYear(double t) { return dayFromTime(t) - dayFromYear(yearFromTime(t)); }

double monthStartDay(int month, bool leap) { return kMonthStart[month] + (leap && month >= 2 ? 1 : 0); }

}  // namespace

double dayFromTime(double t) { return std::floor(t / kMsPerDay); }
double timeWithinDay(double t) { return positiveModulo(t, kMsPerDay); }

double dayFromYear(double y) {
    return 365 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) +
           std::floor((y - 1601) / 400);
}

double timeFromYear(double y) { return kMsPerDay * dayFromYear(y); }

double yearFromTime(double t) {
    if (!std::isfinite(t)) return kNaN;
    double year = std::floor(t / (kMsPerDay * 365.2425)) + 1970;
    // The estimate is off by a year at most; the caps keep times so large that a year is below
    // the double's resolution (new Date(1e300)) from looping for ever.
    for (int i = 0; i < 4 && timeFromYear(year) > t; ++i) --year;
    for (int i = 0; i < 4 && timeFromYear(year + 1) <= t; ++i) ++year;
    return year;
}

bool inLeapYear(double t) { return daysInYear(yearFromTime(t)) == 366; }

double monthFromTime(double t) {
    if (!std::isfinite(t)) return kNaN;
    const double day = dayWithinYear(t);
    const bool leap = inLeapYear(t);
    int month = 0;
    while (month < 11 && day >= monthStartDay(month + 1, leap)) ++month;
    return month;
}

double dateFromTime(double t) {
    if (!std::isfinite(t)) return kNaN;
    return dayWithinYear(t) - monthStartDay(static_cast<int>(monthFromTime(t)), inLeapYear(t)) + 1;
}

double weekDay(double t) { return positiveModulo(dayFromTime(t) + 4, 7); }
double hourFromTime(double t) { return positiveModulo(std::floor(t / kMsPerHour), 24); }
double minFromTime(double t) { return positiveModulo(std::floor(t / kMsPerMinute), 60); }
double secFromTime(double t) { return positiveModulo(std::floor(t / kMsPerSecond), 60); }
double msFromTime(double t) { return positiveModulo(t, kMsPerSecond); }

double makeTime(double hour, double min, double sec, double ms) {
    return std::trunc(hour) * kMsPerHour + std::trunc(min) * kMsPerMinute + std::trunc(sec) * kMsPerSecond +
           std::trunc(ms);
}

double makeDay(double year, double month, double date) {
    if (!std::isfinite(month)) return kNaN;
    // x86's double-to-int32 conversion: what does not fit becomes INT_MIN.
    year = (std::isfinite(year) && std::fabs(year) < 2147483648.0) ? std::trunc(year) : -2147483648.0;
    month = std::trunc(month);
    const double wholeYear = year + std::floor(month / 12);
    const int monthInYear = static_cast<int>(positiveModulo(month, 12));
    const bool leap = daysInYear(wholeYear) == 366;
    return dayFromYear(wholeYear) + monthStartDay(monthInYear, leap) + std::trunc(date) - 1;
}

double makeDate(double day, double time) { return day * kMsPerDay + time; }

double localTimeFromUtc(double utc, const LocalOffsetMinutes& offset) {
    if (!std::isfinite(utc)) return utc;
    return utc + offset(utc) * kMsPerMinute;
}

double utcFromLocalTime(double local, const LocalOffsetMinutes& offset) {
    if (!std::isfinite(local)) return local;
    const double estimate = local - offset(local) * kMsPerMinute;
    return local - offset(estimate) * kMsPerMinute;
}

DateFields splitTime(double t) {
    DateFields f;
    f.year = yearFromTime(t);
    f.month = monthFromTime(t);
    f.date = dateFromTime(t);
    f.hours = hourFromTime(t);
    f.minutes = minFromTime(t);
    f.seconds = secFromTime(t);
    f.ms = msFromTime(t);
    return f;
}

double joinFields(const DateFields& f) {
    return makeDate(makeDay(f.year, f.month, f.date), makeTime(f.hours, f.minutes, f.seconds, f.ms));
}

double dateField(double t, DateField field) {
    if (std::isnan(t)) return kNaN;
    if (std::isinf(t)) {
        constexpr double kIntMin = -2147483648.0;
        switch (field) {
            case DateField::kYear: return kIntMin + 1970;
            case DateField::kMonth: return 0;
            case DateField::kDate: return kIntMin + 1;
            case DateField::kWeekDay: return kIntMin + 7;
            case DateField::kHours: return kIntMin + 24;
            case DateField::kMinutes: return kIntMin + 60;
            case DateField::kSeconds: return kIntMin + 60;
            case DateField::kMilliseconds: return kIntMin + 1000;
        }
    }
    t = std::floor(t);  // fields are whole: a time of 5.5 ms has 5 ms
    switch (field) {
        case DateField::kYear: return yearFromTime(t);
        case DateField::kMonth: return monthFromTime(t);
        case DateField::kDate: return dateFromTime(t);
        case DateField::kWeekDay: return weekDay(t);
        case DateField::kHours: return hourFromTime(t);
        case DateField::kMinutes: return minFromTime(t);
        case DateField::kSeconds: return secFromTime(t);
        case DateField::kMilliseconds: return msFromTime(t);
    }
    return kNaN;
}

double fullYearFromTwoDigits(double year) { return year < 100 ? year + 1900 : year; }

namespace {

// A field for printing; times far beyond the calendar give meaningless fields, which must still
// not overflow an int.
int printable(double field) {
    if (!(field > -2147483648.0)) return -2147483647 - 1;
    if (field > 2147483647.0) return 2147483647;
    return static_cast<int>(field);
}

}  // namespace

std::string formatDate(double utc, const LocalOffsetMinutes& offset) {
    if (!std::isfinite(utc)) return "Invalid Date";
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    double offsetMinutes = offset(utc);
    if (!std::isfinite(offsetMinutes) || std::fabs(offsetMinutes) > 24 * 60) offsetMinutes = 0;
    const double local = utc + offsetMinutes * kMsPerMinute;
    const DateFields f = splitTime(local);
    const long zone = std::lround(std::fabs(offsetMinutes));
    char text[96];
    std::snprintf(text, sizeof text, "%s %s %d %02d:%02d:%02d GMT%c%02ld%02ld %.0f",
                  kDays[std::clamp(printable(weekDay(local)), 0, 6)], kMonths[std::clamp(printable(f.month), 0, 11)],
                  printable(f.date), printable(f.hours), printable(f.minutes), printable(f.seconds),
                  offsetMinutes < 0 ? '-' : '+', zone / 60, zone % 60, f.year);
    return text;
}

}  // namespace swf::avm1
