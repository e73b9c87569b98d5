#include "system_host_services.h"

#include <cmath>
#include <ctime>
#include <random>

namespace swf::avm1 {

double systemLocalOffsetMinutes(double utcMs) {
    if (!std::isfinite(utcMs)) return 0;
    std::time_t t = std::time_t(std::floor(utcMs / 1000));
    std::tm local{};
    std::tm utc{};
    // localtime/gmtime return shared buffers; copy at once.
    if (std::tm* l = std::localtime(&t)) local = *l;
    else return 0;
    if (std::tm* g = std::gmtime(&t)) utc = *g;
    else return 0;
    // Difference of the two broken-down times, in minutes.
    auto days = [](const std::tm& x) { return x.tm_year * 366 + x.tm_yday; };
    long dayDiff = days(local) - days(utc);
    if (dayDiff > 1) dayDiff = -1;  // year boundary
    if (dayDiff < -1) dayDiff = 1;
    return double(dayDiff * 1440 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min));
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
