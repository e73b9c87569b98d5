// Whether a point lies on what a clip shows: one walk answers the pointer (which button or
// clip is under it) and scripts' hitTest(x, y, shapeFlag).
#pragma once

#include "clip.h"

namespace swf {

struct HitTestRules {
    // True: the fills and strokes of shapes, drawings and morphs, the glyphs of static text
    // (its box on the stage when drawn with advanced anti-aliasing), the boxes of fields and
    // bitmaps (hitTest with shapeFlag, the pointer). False: the clip's bounding box on the
    // stage (hitTest without it).
    bool shapes = true;
    // The pointer passes over hidden objects; a script's hitTest counts them.
    bool skipHidden = true;
};

// `local`: twips in the button's coordinates; the shapes of its hit state count.
bool buttonContains(const Movie& movie, const ButtonCharacter& button, Point local);

// `local`: twips in the clip's own coordinates (its own matrix excluded). Objects inside a
// mask's range count only where the mask is hit; the masks themselves never count, and a clip
// masked by setMask only where its mask is hit.
bool clipContains(Clip& clip, Point local, const HitTestRules& rules = {});

// `stage`: stage twips.
bool clipHitsStagePoint(Clip& clip, Point stage, const HitTestRules& rules);

// _droptarget: the innermost clip showing what lies at `stage` (stage twips), topmost first,
// with `skip` and its content passed over (the clip being dragged); null for none.
Clip* topmostClipAt(Clip& root, Point stage, const Clip* skip);

}  // namespace swf
