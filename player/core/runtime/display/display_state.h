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
#include "signature_hasher.h"

namespace swf {

struct DisplayState {
    Matrix matrix;
    ColorTransform colorTransform;
    std::string name;
    uint16_t depth = 0;
    uint16_t clipDepth = 0;  // > 0: a mask over the depths up to this one
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
