// What every placed object has, whatever it shows: where it is, how it is tinted, its name and
// depth, how it takes part in masking and effects, and who last moved it. A new property goes
// here and into hashDisplayState(), and the dirty-area cache sees it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "../../filter.h"
#include "../../geometry.h"
#include "instance_name.h"
#include "signature_hasher.h"

namespace swf {

// Display-list depths: timelines use 0 to 65535, scripts reach far above (attachMovie at
// script depth 2130690044 is timeline depth 2130706428).
using Depth = int32_t;
constexpr Depth kDepthEnd = INT32_MAX;  // past every depth

struct DisplayState {
    Matrix matrix;
    ColorTransform colorTransform;
    InstanceName name;
    Depth depth = 0;
    Depth clipDepth = 0;  // > 0: a mask over the depths up to this one
    uint16_t ratio = 0;      // morph shapes: 0 (start) to 65535 (end)
    bool visible = true;
    // Drawn through an offscreen layer when any is set (filter sizes in stage pixels).
    std::vector<Filter> filters;
    BlendMode blendMode = BlendMode::Normal;
    bool cacheAsBitmap = false;
    std::optional<Rgba> opaqueBackground;
    std::optional<Rect> scrollRect;    // twips, in the object's own space
    bool placedByScript = false;       // created by duplicateMovieClip, attachMovie, createEmptyMovieClip...
    bool transformedByScript = false;  // a script set _x, _rotation...: the timeline no longer moves it
    int placeFrame = -1;               // the frame of the parent's timeline that placed it; -1: none
    // The scale and rotation a script last set or read: the matrix alone cannot tell -50 %
    // from 180 degrees, and the original keeps what was set. Stale once the timeline moves
    // the object. Not hashed: the matrix decides the pixels.
    struct ScriptTransform {
        bool valid = false;
        double xscale = 100, yscale = 100, rotation = 0;  // percent, percent, degrees
    } scripted;

    // Filters, a blend mode other than normal, a cached bitmap or an opaque background: the
    // object draws through an offscreen layer.
    bool hasEffects() const {
        return !filters.empty() || cacheAsBitmap || opaqueBackground || blendMode != BlendMode::Normal;
    }
};

void hashFilter(SignatureHasher& h, const Filter& f);
// Every field of the state.
void hashDisplayState(SignatureHasher& h, const DisplayState& s);

}  // namespace swf
