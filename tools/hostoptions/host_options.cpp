#include "host_options.h"

#include "code_page_guess.h"

#include <cstdio>
#include <cstdlib>

namespace tools {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    unsigned yoe = unsigned(y - era * 400);
    unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

}  // namespace

bool parseIsoTime(const std::string& text, double& utcMs) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, consumed = 0;
    double s = 0;
    const char* p = text.c_str();
    if (std::sscanf(p, "%d-%d-%d%n", &y, &mo, &d, &consumed) != 3) return false;
    p += consumed;
    if (*p == 'T' || *p == ' ') {
        ++p;
        if (std::sscanf(p, "%d:%d%n", &h, &mi, &consumed) != 2) return false;
        p += consumed;
        if (*p == ':') {
            char* end = nullptr;
            s = std::strtod(p + 1, &end);
            p = end;
        }
    }
    double offsetMinutes = 0;
    if (*p == 'Z') {
        ++p;
    } else if (*p == '+' || *p == '-') {
        int oh = 0, om = 0;
        int sign = *p == '-' ? -1 : 1;
        if (std::sscanf(p + 1, "%d:%d%n", &oh, &om, &consumed) != 2) return false;
        p += 1 + consumed;
        offsetMinutes = sign * (oh * 60 + om);
    }
    if (*p || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s >= 61) return false;
    double days = double(daysFromCivil(y, unsigned(mo), unsigned(d)));
    utcMs = ((days * 24 + h) * 60 + mi - offsetMinutes) * 60000 + s * 1000;
    return true;
}

bool takeHostOption(int argc, char** argv, int& i, HostOptions& options, bool& error) {
    std::string a = argv[i];
    if ((a != "--seed" && a != "--time") || i + 1 >= argc) return false;
    std::string value = argv[++i];
    if (a == "--seed") {
        char* end = nullptr;
        unsigned long seed = std::strtoul(value.c_str(), &end, 10);
        error = *end != '\0' || value.empty();
        options.hasSeed = true;
        options.seed = uint32_t(seed);
    } else {
        error = !parseIsoTime(value, options.startUtcMs);
        options.pinned = true;
    }
    return true;
}

namespace {

// The tools step frames as fast as they can: the movie's own clock (getTimer, setInterval)
// follows the frames stepped, so 40 frames at 12 fps fire a 200 ms interval as playing would;
// the date stays the system's.
class SteppedSystemServices final : public swf::avm1::SystemHostServices {
public:
    double movieMs() override { return elapsedMs; }
    std::string codePageToUtf8(std::string_view text) override { return guessedCodePageToUtf8(text); }
};

class PinnedToolServices final : public swf::avm1::PinnedHostServices {
public:
    std::string codePageToUtf8(std::string_view text) override { return guessedCodePageToUtf8(text); }
};

}  // namespace

ToolHost::ToolHost(const HostOptions& options) {
    if (options.pinned) {
        auto pinned = std::make_unique<PinnedToolServices>();
        pinned->startUtcMs = options.startUtcMs;
        services_ = std::move(pinned);
    } else {
        services_ = std::make_unique<SteppedSystemServices>();
    }
    if (options.hasSeed) services_->seed = options.seed;
    services_->movieFolder = options.movieFolder;
    services_->url = options.movieUrl;
}

void ToolHost::advance(double ms) { services_->elapsedMs += ms; }

}  // namespace tools
