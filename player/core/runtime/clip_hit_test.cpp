#include "clip_hit_test.h"

#include <cmath>
#include <optional>

#include "clip_bounds.h"
#include "display/morph_display.h"
#include "runtime_limits.h"
#include "shape_hit_test.h"

namespace swf {
namespace {

// Live clips nest at most kMaxDisplayDepth deep; a hit state's characters (sprites inside a
// hit state inside sprites...) as deep again.
constexpr int kMaxHitNesting = 2 * kMaxDisplayDepth;
// Characters one query may look into that are not on a display list (a button's hit state, the
// first frame of a sprite in it): a hit state of many copies of itself would otherwise take
// records^nesting steps. Live objects are bounded by the instance limits instead, so a scene of
// thousands of clips is walked whole.
constexpr int kMaxCharacterSteps = 4096;
constexpr float kHalfPixelTwips = 10;

struct HitWalk {
    const Movie* movie;  // where the characters of the clip being walked come from
    HitTestRules rules;
    int budget = kMaxCharacterSteps;
    // From the coordinates of the list being walked to the stage, when the walk started from
    // the stage (hitTest, the pointer); a button's hit state alone does not know it.
    std::optional<Matrix> listToStage{};
    bool step() { return --budget >= 0; }
};

bool rectContains(const Rect& r, Point p) { return p.x >= r.xMin && p.x <= r.xMax && p.y >= r.yMin && p.y <= r.yMax; }

bool characterContains(HitWalk& w, const Character& c, Point p, int nesting);

// Static text is hit by its glyphs' outlines, not by its box: a point between two letters
// misses.
bool staticTextContains(const TextCharacter& text, Point p) {
    for (const PlacedGlyph& g : text.glyphs) {
        Matrix inverse;
        if (g.shape && invertMatrix(text.matrix * g.matrix, inverse) && shapeContains(*g.shape, inverse.apply(p)))
            return true;
    }
    return false;
}

bool buttonContainsAt(HitWalk& w, const ButtonCharacter& button, Point local, int nesting) {
    if (nesting >= kMaxHitNesting || !w.step()) return false;
    for (const ButtonRecord& rec : button.records) {
        if (!(rec.states & 8)) continue;
        const Character* c = w.movie->character(rec.characterId);
        Matrix inverse;
        if (c && invertMatrix(rec.matrix, inverse) && characterContains(w, *c, inverse.apply(local), nesting + 1))
            return true;
    }
    return false;
}

// A sprite in a hit state is hit by what its first frame places.
bool spriteContains(HitWalk& w, const SpriteCharacter& sprite, Point p, int nesting) {
    if (nesting >= kMaxHitNesting || sprite.timeline.frames.empty() || !w.step()) return false;
    for (const FrameCommand& cmd : sprite.timeline.frames[0].commands) {
        if (cmd.kind != FrameCommand::Kind::Place || !cmd.place.characterId) continue;
        const Character* child = w.movie->character(*cmd.place.characterId);
        Matrix inverse;
        if (!child || !invertMatrix(cmd.place.matrix.value_or(Matrix{}), inverse)) continue;
        if (characterContains(w, *child, inverse.apply(p), nesting + 1)) return true;
    }
    return false;
}

bool characterContains(HitWalk& w, const Character& c, Point p, int nesting) {
    switch (c.kind) {
        case CharacterKind::Shape: return shapeContains(static_cast<const ShapeCharacter&>(c).shape, p);
        case CharacterKind::Morph: return rectContains(static_cast<const MorphCharacter&>(c).startBounds, p);
        case CharacterKind::Text: return staticTextContains(static_cast<const TextCharacter&>(c), p);
        case CharacterKind::EditText: return rectContains(static_cast<const EditTextCharacter&>(c).bounds, p);
        case CharacterKind::Bitmap: {
            const auto& b = static_cast<const BitmapCharacter&>(c);
            return b.bitmap && rectContains(Rect{0, b.bitmap->width * kTwipsPerPixel, 0, b.bitmap->height * kTwipsPerPixel}, p);
        }
        case CharacterKind::Sprite: return spriteContains(w, static_cast<const SpriteCharacter&>(c), p, nesting);
        case CharacterKind::Button: return buttonContainsAt(w, static_cast<const ButtonCharacter&>(c), p, nesting);
        case CharacterKind::Font:
        case CharacterKind::Sound:
        case CharacterKind::Video: return false;
    }
    return false;
}

bool listContains(HitWalk& w, Clip& clip, Point local, int nesting);

// Half a stage pixel in the twips of what `toList` places in the walked list: a hairline is
// one device pixel wide however far the clip holding it is scaled (a morph in a clip scaled 8
// times is not hit 4 pixels off its hairline edges).
float hairlineReach(const HitWalk& w, const Matrix& toList) {
    if (!w.listToStage) return kHalfPixelTwips;
    const Matrix m = *w.listToStage * toList;
    const double scale = std::sqrt(std::fabs(double(m.a) * m.d - double(m.b) * m.c));
    return scale > 1e-6 ? float(kHalfPixelTwips / scale) : kHalfPixelTwips;
}

// Whether `p` lies in the box of what `obj` draws, with `m` from its coordinates to those of p.
bool boxContains(const DisplayObject& obj, const Matrix& m, Point p) {
    const Bounds box = contentBounds(obj, m);
    return !box.empty && p.x >= box.xMin && p.x <= box.xMax && p.y >= box.yMin && p.y <= box.yMax;
}

// Text drawn with advanced anti-aliasing (CSMTextSettings) is hit by its box on the stage, as
// the shapeless hitTest would: the original's glyph test covers only the normal text.
bool advancedText(const HitWalk& w, const Character& c) {
    if (c.kind != CharacterKind::Text) return false;
    auto it = w.movie->textRendering.find(c.id);
    return it != w.movie->textRendering.end() && it->second.advanced;
}

// A leaf on a display list: shapes, morphs and static text by what they draw, the rest by
// their box.
bool leafContains(HitWalk& w, const DisplayObject& obj, Point p, int nesting) {
    const Character& c = *obj.character();
    if (advancedText(w, c) && w.listToStage) {
        const Matrix toStage = *w.listToStage * obj.state().matrix;
        return boxContains(obj, toStage, toStage.apply(p));
    }
    if (c.kind == CharacterKind::Morph) {
        const Shape* shape = static_cast<const MorphDisplay&>(obj).shape();
        return shape && shapeContains(*shape, p, hairlineReach(w, obj.state().matrix));
    }
    if (c.kind == CharacterKind::Shape)
        return shapeContains(static_cast<const ShapeCharacter&>(c).shape, p, hairlineReach(w, obj.state().matrix));
    if (c.kind == CharacterKind::Button || c.kind == CharacterKind::Text) return characterContains(w, c, p, nesting);
    return boxContains(obj, Matrix{}, p);
}

// `local`: the point in the coordinates of the list holding `obj`.
bool objectContains(HitWalk& w, const DisplayObject& obj, Point local, int nesting, bool asMask) {
    Matrix inverse;
    if (nesting >= kMaxHitNesting || !invertMatrix(obj.state().matrix, inverse)) return false;
    if (!asMask && w.rules.skipHidden && !obj.state().visible) return false;
    const Point p = inverse.apply(local);
    Clip* clip = obj.clip();
    if (!clip) return leafContains(w, obj, p, nesting);
    if (const Clip* mask = liveMask(*clip); mask && !asMask) {
        Clip& maskClip = const_cast<Clip&>(*mask);
        Point maskLocal = globalToLocal(maskClip, clipToStage(*clip).apply(p));
        const std::optional<Matrix> outerToStage = w.listToStage;
        if (outerToStage) w.listToStage = clipToStage(maskClip);
        const bool maskHit = listContains(w, maskClip, maskLocal, nesting + 1);
        w.listToStage = outerToStage;
        if (!maskHit) return false;
    }
    // A clip of a loaded movie takes its characters from that movie.
    const Movie* outer = w.movie;
    const std::optional<Matrix> outerToStage = w.listToStage;
    w.movie = &clip->movie();
    const ButtonCharacter* button = clip->button();
    if (w.listToStage) {
        if (button) w.listToStage.reset();  // a hit state's characters are no list of the clip's
        else w.listToStage = *w.listToStage * obj.state().matrix;
    }
    const bool hit = button ? buttonContainsAt(w, *button, p, nesting) : listContains(w, *clip, p, nesting + 1);
    w.movie = outer;
    w.listToStage = outerToStage;
    return hit;
}

// The drawing under the children, then the children; a mask (clip depth) decides whether the
// depths it covers can be hit.
bool listContains(HitWalk& w, Clip& clip, Point local, int nesting) {
    if (const Shape* drawing = clip.drawingForScripts(); drawing && shapeContains(*drawing, local, hairlineReach(w, Matrix{})))
        return true;
    Depth maskedUpTo = -1;
    bool maskHit = false;
    for (const auto& [depth, child] : clip.displayList()) {
        const Depth clipDepth = child->state().clipDepth;
        if (clipDepth > 0) {
            maskedUpTo = clipDepth;
            maskHit = objectContains(w, *child, local, nesting, true);
            continue;
        }
        if (depth <= maskedUpTo && !maskHit) continue;
        if (objectContains(w, *child, local, nesting, false)) return true;
    }
    return false;
}

// The topmost clip holding what `stage` hits, `skip` and what it holds aside.
Clip* topmostAt(HitWalk& w, Clip& clip, const Matrix& toStage, Point stage, const Clip* skip, int nesting) {
    if (nesting >= kMaxHitNesting) return nullptr;
    const Clip::DisplayList& list = clip.displayList();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        const DisplayObject& obj = *it->second;
        if (obj.state().clipDepth > 0 || !obj.state().visible) continue;
        const Matrix m = toStage * obj.state().matrix;
        if (Clip* child = obj.clip()) {
            if (child == skip) continue;
            if (!child->button()) {
                if (Clip* found = topmostAt(w, *child, m, stage, skip, nesting + 1)) return found;
                continue;
            }
        }
        Matrix inverse;
        w.listToStage = toStage;
        if (invertMatrix(toStage, inverse) && objectContains(w, obj, inverse.apply(stage), nesting, false))
            return obj.clip() ? obj.clip() : &clip;
    }
    Matrix inverse;
    const Shape* drawing = clip.drawingForScripts();
    if (drawing && invertMatrix(toStage, inverse) && shapeContains(*drawing, inverse.apply(stage))) return &clip;
    return nullptr;
}

}  // namespace

Clip* topmostClipAt(Clip& root, Point stage, const Clip* skip) {
    HitWalk w{&root.movie(), HitTestRules{}};
    return topmostAt(w, root, clipToStage(root), stage, skip, 0);
}

bool buttonContains(const Movie& movie, const ButtonCharacter& button, Point local) {
    HitWalk w{&movie, HitTestRules{}};
    return buttonContainsAt(w, button, local, 0);
}

bool clipContains(Clip& clip, Point local, const HitTestRules& rules) {
    HitWalk w{&clip.movie(), rules};
    if (const ButtonCharacter* button = clip.button()) return buttonContainsAt(w, *button, local, 0);
    w.listToStage = clipToStage(clip);
    return listContains(w, clip, local, 0);
}

bool clipHitsStagePoint(Clip& clip, Point stage, const HitTestRules& rules) {
    const Matrix toStage = clipToStage(clip);
    if (!rules.shapes) {
        const Bounds b = clipBounds(clip, toStage);
        return !b.empty && stage.x >= b.xMin && stage.x <= b.xMax && stage.y >= b.yMin && stage.y <= b.yMax;
    }
    Matrix inverse;
    if (!invertMatrix(toStage, inverse)) return false;
    if (const Clip* mask = liveMask(clip); mask && !clipHitsStagePoint(const_cast<Clip&>(*mask), stage, rules)) return false;
    return clipContains(clip, inverse.apply(stage), rules);
}

}  // namespace swf
