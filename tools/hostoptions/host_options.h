// --seed and --time for the tools: a pinned clock and random seed for reproducible runs of
// scripted movies; without them the system's clock and a random seed.
#pragma once

#include <memory>
#include <string>

#include <runtime/avm1/system_host_services.h>

namespace tools {

struct HostOptions {
    bool pinned = false;
    double startUtcMs = 0;
    bool hasSeed = false;
    uint32_t seed = 0;
    std::string movieFolder;
    std::string movieUrl;  // _url of the movie
};

// "2001-02-02T22:20:06Z", "2001-02-02T22:20:06.5+05:45", "2001-02-02": milliseconds since
// 1970 UTC; false when unreadable.
bool parseIsoTime(const std::string& text, double& utcMs);

// Takes "--seed S" / "--time ISO" at argv[i] (advancing i); false when argv[i] is neither.
// `error` is set when the value is bad.
bool takeHostOption(int argc, char** argv, int& i, HostOptions& options, bool& error);

// The services for a run; the pinned clock advances only through advance().
class ToolHost {
public:
    explicit ToolHost(const HostOptions& options);
    swf::avm1::HostServices& services() { return *services_; }
    // One frame's time passes: the movie's clock always, the date only when pinned.
    void advance(double ms);

private:
    std::unique_ptr<swf::avm1::FixedHostServices> services_;
};

}  // namespace tools
