#include "system_host_services.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <random>

namespace swf::avm1 {

namespace {

// Local minus UTC in minutes at t, and whether daylight saving is in force then.
bool zoneAt(std::time_t t, double& offset, bool& dst) {
    std::tm local{};
    std::tm utc{};
    // localtime/gmtime return shared buffers; copy at once.
    if (std::tm* l = std::localtime(&t)) local = *l;
    else return false;
    if (std::tm* g = std::gmtime(&t)) utc = *g;
    else return false;
    long dayDiff = (local.tm_year - utc.tm_year) * 366 + local.tm_yday - utc.tm_yday;
    // Across a year boundary: 1 January local against 31 December UTC gives 366 - 364, one day ahead.
    if (dayDiff > 1) dayDiff = 1;
    if (dayDiff < -1) dayDiff = -1;
    offset = double(dayDiff * 1440 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min));
    dst = local.tm_isdst > 0;
    return true;
}

}  // namespace

// The original applies the zone's present rules to every date (a 1970 date in Kathmandu is
// +05:45, not the +05:30 of the time): the standard offset of `referenceUtcMs`'s year, plus
// the daylight-saving shift when the date falls in it.
double systemLocalOffsetMinutes(double utcMs, double referenceUtcMs) {
    if (!std::isfinite(utcMs) || !std::isfinite(referenceUtcMs)) return 0;
    std::time_t ref = std::time_t(std::floor(referenceUtcMs / 1000));
    double january = 0, july = 0, atDate = 0;
    bool dstJanuary = false, dstJuly = false, dstAtDate = false;
    std::tm* r = std::gmtime(&ref);
    if (!r) return 0;
    std::tm year = *r;
    year.tm_mon = 0;
    year.tm_mday = 1;
    year.tm_hour = 12;
    std::time_t jan = std::mktime(&year);
    year.tm_mon = 6;
    std::time_t jul = std::mktime(&year);
    if (!zoneAt(jan, january, dstJanuary) || !zoneAt(jul, july, dstJuly)) return 0;
    double standard = std::min(january, july);
    double shift = std::max(january, july) - standard;
    std::time_t t = std::time_t(std::floor(utcMs / 1000));
    if (!zoneAt(t, atDate, dstAtDate)) return standard;
    return standard + (dstAtDate ? shift : 0);
}

SystemHostServices::SystemHostServices() : start_(std::chrono::steady_clock::now()) {
    std::random_device device;
    seed = device();
}

double SystemHostServices::nowUtcMs() {
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return double(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

double SystemHostServices::movieMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
}

}  // namespace swf::avm1
