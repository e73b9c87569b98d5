// A loaded movie: header facts, the character dictionary and the main timeline.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../geometry.h"
#include "compression.h"
#include "characters.h"
#include "timeline.h"

namespace swf {

struct TagInfo {
    uint16_t code = 0;
    uint32_t length = 0;
    size_t offset = 0;      // in the uncompressed body
    int spriteLevel = 0;    // 0 for the main timeline
};

struct Movie {
    Compression compression = Compression::None;
    uint8_t version = 0;
    uint32_t declaredLength = 0;
    uint32_t storedLength = 0;  // the file's own size (compressed for CWS): what a load transfers
    bool truncated = false;
    Rect frameRect;             // twips
    uint16_t frameRateRaw = 0;  // 8.8 fixed point as stored
    uint16_t declaredFrameCount = 0;
    Rgba background{255, 255, 255, 255};
    bool usesAs3 = false;
    bool useNetwork = false;  // FileAttributes: a local movie that may reach the network
    // ScriptLimits tag; 0 = the player's defaults.
    int maxRecursionDepth = 0;
    int scriptTimeoutSeconds = 0;

    std::map<uint16_t, std::shared_ptr<const Character>> characters;
    Timeline timeline;
    std::map<uint16_t, ButtonSounds> buttonSounds;  // by button id
    std::map<std::string, uint16_t> exports;        // ExportAssets: linkage name -> character
    std::map<uint16_t, TextRendering> textRendering;  // CSMTextSettings, by text or edit text id
    std::vector<TagInfo> tags;
    std::vector<std::string> warnings;  // tags that could not be read, with their codes

    // Frames per second; the stored 0 means "as fast as possible" to old players, which we
    // play at a steady default instead.
    double frameRate() const;
    const Character* character(uint16_t id) const;
};

constexpr double kDefaultFrameRate = 12.0;
constexpr double kMaxFrameRate = 120.0;

}  // namespace swf
