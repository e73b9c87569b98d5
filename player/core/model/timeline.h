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
};

struct FrameCommand {
    // InitActions (DoInitAction): run once per movie, before the frame's own scripts.
    enum class Kind : uint8_t { Place, Remove, Actions, InitActions };
    Kind kind = Kind::Place;
    PlaceCommand place;     // Place; Remove uses place.depth
    ActionListPtr actions;  // Actions, InitActions
};

struct Frame {
    std::vector<FrameCommand> commands;
    std::vector<std::string> labels;
    std::vector<SoundStart> sounds;                      // started (or stopped) on entering the frame
    std::shared_ptr<const SoundStreamBlock> streamBlock;  // this frame's part of the soundtrack
};

struct Timeline {
    std::vector<Frame> frames;
    std::optional<SoundStreamHead> streamHead;
    // 0-based index of the frame with this label (case-insensitive), or -1.
    int findLabel(const std::string& label) const;
};

}  // namespace swf
