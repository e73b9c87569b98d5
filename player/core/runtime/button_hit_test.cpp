#include "button_hit_test.h"

#include "../parse/limits.h"
#include "shape_hit_test.h"

namespace swf {
namespace {

constexpr int kMaxHitNesting = 8;  // sprites inside a hit state inside sprites...

bool rectContains(const Rect& r, Point p) { return p.x >= r.xMin && p.x <= r.xMax && p.y >= r.yMin && p.y <= r.yMax; }

bool characterContains(const Movie& movie, const Character& c, Point p, int nesting);

bool buttonContainsAt(const Movie& movie, const ButtonCharacter& button, Point local, int nesting) {
    if (nesting >= kMaxHitNesting) return false;
    for (const ButtonRecord& rec : button.records) {
        if (!(rec.states & 8)) continue;
        const Character* c = movie.character(rec.characterId);
        Matrix inverse;
        if (c && inverseOf(rec.matrix, inverse) && characterContains(movie, *c, inverse.apply(local), nesting + 1))
            return true;
    }
    return false;
}

// A sprite in a hit state is hit by what its first frame places.
bool spriteContains(const Movie& movie, const SpriteCharacter& sprite, Point p, int nesting) {
    if (nesting >= kMaxHitNesting || sprite.timeline.frames.empty()) return false;
    for (const FrameCommand& cmd : sprite.timeline.frames[0].commands) {
        if (cmd.kind != FrameCommand::Kind::Place || !cmd.place.characterId) continue;
        const Character* child = movie.character(*cmd.place.characterId);
        Matrix inverse;
        if (!child || !inverseOf(cmd.place.matrix.value_or(Matrix{}), inverse)) continue;
        if (characterContains(movie, *child, inverse.apply(p), nesting + 1)) return true;
    }
    return false;
}

bool characterContains(const Movie& movie, const Character& c, Point p, int nesting) {
    switch (c.kind) {
        case CharacterKind::Shape: return shapeContains(static_cast<const ShapeCharacter&>(c).shape, p);
        case CharacterKind::Morph: return rectContains(static_cast<const MorphCharacter&>(c).startBounds, p);
        case CharacterKind::Text: return rectContains(static_cast<const TextCharacter&>(c).bounds, p);
        case CharacterKind::EditText: return rectContains(static_cast<const EditTextCharacter&>(c).bounds, p);
        case CharacterKind::Bitmap: {
            const auto& b = static_cast<const BitmapCharacter&>(c);
            return b.bitmap && rectContains(Rect{0, b.bitmap->width * kTwipsPerPixel, 0, b.bitmap->height * kTwipsPerPixel}, p);
        }
        case CharacterKind::Sprite: return spriteContains(movie, static_cast<const SpriteCharacter&>(c), p, nesting);
        case CharacterKind::Button: return buttonContainsAt(movie, static_cast<const ButtonCharacter&>(c), p, nesting);
        case CharacterKind::Font:
        case CharacterKind::Sound: return false;
    }
    return false;
}

bool objectContains(const Movie& movie, const DisplayObject& obj, Point local, int nesting) {
    Matrix inverse;
    if (!obj.state().visible || !inverseOf(obj.state().matrix, inverse)) return false;
    const Point p = inverse.apply(local);
    if (Clip* clip = obj.clip()) {
        if (const ButtonCharacter* button = clip->button()) return buttonContainsAt(movie, *button, p, nesting);
        if (nesting >= kMaxHitNesting) return false;
        if (clip->drawing() && shapeContains(clip->drawing()->builtShape(), p)) return true;
        for (const auto& [depth, child] : clip->displayList())
            if (child->state().clipDepth == 0 && objectContains(movie, *child, p, nesting + 1)) return true;
        return false;
    }
    return obj.character() && characterContains(movie, *obj.character(), p, nesting);
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
        if (!inverseOf(full, inverse)) continue;
        const Point local = inverse.apply(stage);
        if (const ButtonCharacter* button = child->button()) {
            if (buttonContains(*clip.host().movie, *button, local) && rules.enabled(*child)) return child->shared_from_this();
            continue;
        }
        if (rules.handlesPointer(*child)) {
            if (clipContains(*clip.host().movie, *child, local) && rules.enabled(*child)) return child->shared_from_this();
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
    return buttonContainsAt(movie, button, local, 0);
}

bool clipContains(const Movie& movie, const Clip& clip, Point local) {
    if (clip.drawing() && shapeContains(clip.drawing()->builtShape(), local)) return true;
    for (const auto& [depth, child] : clip.displayList())
        if (child->state().clipDepth == 0 && objectContains(movie, *child, local, 1)) return true;
    return false;
}

std::shared_ptr<Clip> buttonUnder(Clip& root, Point stage, const PointerRules& rules) {
    return findIn(root, Matrix{}, stage, rules);
}

void forEachButton(Clip& root, const std::function<void(Clip&)>& visit) { visitButtons(root, visit); }

}  // namespace swf
