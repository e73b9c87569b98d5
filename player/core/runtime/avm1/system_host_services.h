// The real services: the system clocks and time zone, a seed from the system (in `seed`), files
// from the movie's folder, stored data kept in memory unless the host saves it.
#pragma once

#include <chrono>

#include "host_services.h"

namespace swf::avm1 {

// Local time minus UTC at that instant from the C library's zone rules (TZ), in minutes.
double systemLocalOffsetMinutes(double utcMs);

class SystemHostServices : public FixedHostServices {
public:
    SystemHostServices();
    double nowUtcMs() override;
    double movieMs() override;
    double localOffsetMinutes(double utcMs) override { return systemLocalOffsetMinutes(utcMs); }

private:
    std::chrono::steady_clock::time_point start_;
};

// Pinned clock (--time) with the system's zone rules: what the tools use for reproducible runs.
class PinnedHostServices : public FixedHostServices {
public:
    double localOffsetMinutes(double utcMs) override { return systemLocalOffsetMinutes(utcMs); }
};

}  // namespace swf::avm1
