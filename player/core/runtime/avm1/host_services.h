// What the script core asks of its host: clocks, the local time zone, a random seed, files
// beside the movie and per-movie stored data. Tests and tools pin them for reproducible runs;
// the Windows control answers with the real ones.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace swf::avm1 {

class HostServices {
public:
    virtual ~HostServices() = default;
    // Wall-clock time, milliseconds since 1970-01-01 UTC (Date).
    virtual double nowUtcMs() = 0;
    // Milliseconds since the movie started (getTimer, intervals).
    virtual double movieMs() = 0;
    // Local time minus UTC in minutes at that instant, daylight saving included.
    virtual double localOffsetMinutes(double utcMs) = 0;
    virtual uint32_t randomSeed() = 0;
    // A file beside the movie by relative path (loadVariables, XML.load, LoadVars.load);
    // false when absent, outside the movie's folder or too large.
    virtual bool readMovieFile(const std::string& relativePath, std::vector<uint8_t>& out) = 0;
    // SharedObject storage of this movie, by object name; false when none or unavailable.
    virtual bool loadSharedData(const std::string& name, std::string& out) = 0;
    virtual bool saveSharedData(const std::string& name, const std::string& data) = 0;
    // The movie's own address as _url shows it ("file:///C:/Movies/clock.swf"); files loaded
    // beside it show theirs relative to it. Empty when the host does not say.
    virtual std::string movieUrl() { return std::string(); }
    // Text in the system's code page as UTF-8 (variables loaded by SWF 5 movies or with
    // System.useCodepage). The core knows only the Western page.
    virtual std::string codePageToUtf8(std::string_view text);
};

// Deterministic services: a pinned start time that advances only when told, no files, data
// kept in memory. Used by tests and, with --time/--seed, by the tools.
class FixedHostServices : public HostServices {
public:
    double startUtcMs = 0;
    double elapsedMs = 0;        // advanced by the tools per frame
    double offsetMinutes = 0;
    uint32_t seed = 1;
    std::string movieFolder;     // empty: no files
    std::string url;             // movieUrl()
    std::vector<std::pair<std::string, std::string>> shared;

    double nowUtcMs() override { return startUtcMs + elapsedMs; }
    double movieMs() override { return elapsedMs; }
    double localOffsetMinutes(double) override { return offsetMinutes; }
    uint32_t randomSeed() override { return seed; }
    bool readMovieFile(const std::string& relativePath, std::vector<uint8_t>& out) override;
    bool loadSharedData(const std::string& name, std::string& out) override;
    bool saveSharedData(const std::string& name, const std::string& data) override;
    std::string movieUrl() override { return url; }
};

}  // namespace swf::avm1
