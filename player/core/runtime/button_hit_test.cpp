#include "button_hit_test.h"

#include "clip_bounds.h"
#include "shape_hit_test.h"

namespace swf {
namespace {

constexpr int kMaxHitNesting = 8;  // sprites inside a hit state inside sprites...
// Characters one hit query may look into: a hit state of many copies of itself would
// otherwise take records^nesting steps.
constexpr int kMaxHitSteps = 4096;

struct HitWalk {
    const Movie& movie;
    int budget = kMaxHitSteps;
    bool step() { return --budget >= 0; }
};

bool rectContains(const Rect& r, Point p) { return p.x >= r.xMin && p.x <= r.xMax && p.y >= r.yMin && p.y <= r.yMax; }

bool characterContains(HitWalk& w, const Character& c, Point p, int nesting);

bool buttonContainsAt(HitWalk& w, const ButtonCharacter& button, Point local, int nesting) {
    if (nesting >= kMaxHitNesting || !w.step()) return false;
    for (const ButtonRecord& rec : button.records) {
        if (!(rec.states & 8)) continue;
        const Character* c = w.movie.character(rec.characterId);
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
        const Character* child = w.movie.character(*cmd.place.characterId);
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
        case CharacterKind::Text: return rectContains(static_cast<const TextCharacter&>(c).bounds, p);
        case CharacterKind::EditText: return rectContains(static_cast<const EditTextCharacter&>(c).bounds, p);
        case CharacterKind::Bitmap: {
            const auto& b = static_cast<const BitmapCharacter&>(c);
            return b.bitmap && rectContains(Rect{0, b.bitmap->width * kTwipsPerPixel, 0, b.bitmap->height * kTwipsPerPixel}, p);
        }
        case CharacterKind::Sprite: return spriteContains(w, static_cast<const SpriteCharacter&>(c), p, nesting);
        case CharacterKind::Button: return buttonContainsAt(w, static_cast<const ButtonCharacter&>(c), p, nesting);
        case CharacterKind::Font:
        case CharacterKind::Sound: return false;
    }
    return false;
}

bool objectContains(HitWalk& w, const DisplayObject& obj, Point local, int nesting) {
    Matrix inverse;
    if (!w.step() || !obj.state().visible || !invertMatrix(obj.state().matrix, inverse)) return false;
    const Point p = inverse.apply(local);
    if (Clip* clip = obj.clip()) {
        if (const ButtonCharacter* button = clip->button()) return buttonContainsAt(w, *button, p, nesting);
        if (nesting >= kMaxHitNesting) return false;
        if (clip->drawing() && shapeContains(clip->drawing()->builtShape(), p)) return true;
        for (const auto& [depth, child] : clip->displayList())
            if (child->state().clipDepth == 0 && objectContains(w, *child, p, nesting + 1)) return true;
        return false;
    }
    return obj.character() && characterContains(w, *obj.character(), p, nesting);
}

std::shared_ptr<Clip> findIn(Clip& clip, const Matrix& m, Point stage, const PointerRules& rules) {
    const Clip::DisplayList& list = clip.displayList();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        const DisplayObject& obj = *it->second;
        Clip* child = obj.clip();
        // Masks and hidden objects are not hit.
        if (!child || obj.state().clipDepth > 0 || !obj.state().visible) continue;
        const Matrix full = m * obj.state().matrix;
        Matrix inverse;
        if (!invertMatrix(full, inverse)) continue;
        const Point local = inverse.apply(stage);
        if (const ButtonCharacter* button = child->button()) {
            if (buttonContains(child->movie(), *button, local) && rules.enabled(*child)) return child->shared_from_this();
            continue;
        }
        if (rules.handlesPointer(*child)) {
            if (clipContains(child->movie(), *child, local) && rules.enabled(*child)) return child->shared_from_this();
            continue;
        }
        if (auto found = findIn(*child, full, stage, rules)) return found;
    }
    return nullptr;
}

void visitButtons(Clip& clip, const std::function<void(Clip&)>& visit) {
    for (const auto& [depth, obj] : clip.displayList()) {
        Clip* child = obj->clip();
        if (!child) continue;
        if (child->button()) {
            visit(*child);
        } else {
            visitButtons(*child, visit);
        }
    }
}

}  // namespace

bool buttonContains(const Movie& movie, const ButtonCharacter& button, Point local) {
    HitWalk w{movie};
    return buttonContainsAt(w, button, local, 0);
}

bool clipContains(const Movie& movie, const Clip& clip, Point local) {
    HitWalk w{movie};
    if (clip.drawing() && shapeContains(clip.drawing()->builtShape(), local)) return true;
    for (const auto& [depth, child] : clip.displayList())
        if (child->state().clipDepth == 0 && objectContains(w, *child, local, 1)) return true;
    return false;
}

std::shared_ptr<Clip> buttonUnder(Clip& root, Point stage, const PointerRules& rules) {
    return findIn(root, Matrix{}, stage, rules);
}

void forEachButton(Clip& root, const std::function<void(Clip&)>& visit) { visitButtons(root, visit); }

}  // namespace swf
