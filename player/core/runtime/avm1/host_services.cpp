#include "host_services.h"

#include <fstream>

#include "loadvars_codec.h"

namespace swf::avm1 {
namespace {

constexpr size_t kMaxMovieFileBytes = 16u << 20;

// Only plain relative paths below the movie's folder: no "..", no absolute or drive paths.
bool safeRelativePath(const std::string& p) {
    if (p.empty() || p[0] == '/' || p[0] == '\\' || p.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= p.size()) {
        size_t end = p.find_first_of("/\\", start);
        if (end == std::string::npos) end = p.size();
        if (p.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

std::string HostServices::codePageToUtf8(std::string_view text) { return windows1252ToUtf8(text); }

bool FixedHostServices::readMovieFile(const std::string& relativePath, std::vector<uint8_t>& out) {
    if (movieFolder.empty() || !safeRelativePath(relativePath)) return false;
    std::ifstream in(movieFolder + "/" + relativePath, std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> data;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        data.insert(data.end(), buf, buf + in.gcount());
        if (data.size() > kMaxMovieFileBytes) return false;
    }
    out = std::move(data);
    return true;
}

bool FixedHostServices::loadSharedData(const std::string& name, std::string& out) {
    for (auto& [key, value] : shared)
        if (key == name) {
            out = value;
            return true;
        }
    return false;
}

bool FixedHostServices::saveSharedData(const std::string& name, const std::string& data) {
    for (auto& [key, value] : shared)
        if (key == name) {
            value = data;
            return true;
        }
    shared.emplace_back(name, data);
    return true;
}

}  // namespace swf::avm1
