// A timeline (the movie's or a sprite's): frames of display-list commands and frame scripts.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../filter.h"
#include "../geometry.h"
#include "actions.h"
#include "sound.h"

namespace swf {

// onClipEvent handlers of a placed clip (PlaceObject2/3), by event bit as stored from SWF 6 on
// (SWF 5 files store the low 16 bits only).
enum ClipEventBits : uint32_t {
    kClipLoad = 1u << 0,
    kClipEnterFrame = 1u << 1,
    kClipUnload = 1u << 2,
    kClipMouseMove = 1u << 3,
    kClipMouseDown = 1u << 4,
    kClipMouseUp = 1u << 5,
    kClipKeyDown = 1u << 6,
    kClipKeyUp = 1u << 7,
    kClipData = 1u << 8,
    kClipInitialize = 1u << 9,
    kClipPress = 1u << 10,
    kClipRelease = 1u << 11,
    kClipReleaseOutside = 1u << 12,
    kClipRollOver = 1u << 13,
    kClipRollOut = 1u << 14,
    kClipDragOver = 1u << 15,
    kClipDragOut = 1u << 16,
    kClipKeyPress = 1u << 17,
    kClipConstruct = 1u << 18,
};

struct ClipEventHandler {
    uint32_t events = 0;
    uint8_t keyCode = 0;  // kClipKeyPress: the key
    ActionListPtr actions;
};
using ClipEventHandlers = std::shared_ptr<const std::vector<ClipEventHandler>>;

// PlaceObject 1 to 3: a new character at a free depth, a move of the one there, or (character
// and move together) a replacement that keeps the instance's unset properties.
struct PlaceCommand {
    uint16_t depth = 0;
    bool move = false;
    std::optional<uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    // PlaceObject3: filter sizes in stage pixels, scaled to the device when drawn.
    std::optional<std::vector<Filter>> filters;
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<Rgba> opaqueBackground;
    std::optional<bool> visible;  // PlaceObject3's visibility byte
    ClipEventHandlers clipActions;  // null when none
};

struct FrameCommand {
    // InitActions (DoInitAction): run once per movie, before the frame's own scripts.
    // Import (ImportAssets): the exporting movie's init actions run on the importing clip.
    enum class Kind : uint8_t { Place, Remove, Actions, InitActions, Import };
    Kind kind = Kind::Place;
    PlaceCommand place;     // Place; Remove uses place.depth
    ActionListPtr actions;  // Actions, InitActions
    std::shared_ptr<const std::string> importUrl;  // Import
};

struct Frame {
    std::vector<FrameCommand> commands;
    std::vector<std::string> labels;
    std::vector<SoundStart> sounds;                      // started (or stopped) on entering the frame
    std::shared_ptr<const SoundStreamBlock> streamBlock;  // this frame's part of the soundtrack
};

struct Timeline {
    std::vector<Frame> frames;
    uint32_t tagBytes = 0;  // a sprite's tags as stored (its getBytesTotal); 0 for the movie's
    std::optional<SoundStreamHead> streamHead;
    // False for a sprite whose tags stop without an End tag or with tags after the last
    // ShowFrame: the original counts it as still loading, plays into that last frame and
    // waits there instead of going back to frame 1.
    bool wraps = true;
    // 0-based index of the frame with this label (case-insensitive), or -1.
    int findLabel(const std::string& label) const;
};

}  // namespace swf
