// One placed character on a display list. Each kind of character has its own class (see
// display_factory.h); all share one DisplayState. Leaf kinds draw themselves and say where
// their pixels lie; sprites and buttons hold a timeline (Clip) whose list is drawn in turn.
#pragma once

#include <cstdint>
#include <vector>

#include "../../model/characters.h"
#include "../../renderer.h"
#include "display_state.h"
#include "signature_hasher.h"

namespace swf {

class Clip;

class DisplayObject {
public:
    explicit DisplayObject(const Character& character) : character_(&character) {}
    virtual ~DisplayObject() = default;
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    const Character* character() const { return character_; }
    DisplayState& state() { return state_; }
    const DisplayState& state() const { return state_; }

    // Sprites and buttons: the timeline whose display list is drawn inside this object; null
    // for the other kinds, and for a sprite not instantiated (nesting or instance limits).
    virtual Clip* clip() const { return nullptr; }

    // Leaf kinds: draws the object with `m` (object to device) and the colour transform `cx`.
    virtual void draw(Renderer&, const Matrix& m, const ColorTransform& cx) const {
        (void)m;
        (void)cx;
    }
    // Leaf kinds: the device boxes holding every pixel drawn with `m` on a w x h canvas, one
    // per part the dirty-area cache tracks apart (most kinds: one); none draws nothing.
    virtual std::vector<IntRect> deviceParts(const Matrix& m, int w, int h) const {
        (void)m, (void)w, (void)h;
        return {};
    }
    // Leaf kinds: what besides the matrix, colour transform and mask decides the pixels (the
    // character, a morph's shape at its ratio).
    virtual void hashContent(SignatureHasher& h) const { h.add(character_); }
    // The box an opaque background fills, in the object's twips; empty: none drawn.
    virtual Rect opaqueBackgroundBox() const { return Rect{}; }

    // Called after the timeline or a script changed the state (a morph follows its ratio).
    virtual void stateChanged() {}

private:
    const Character* character_;
    DisplayState state_;
};

}  // namespace swf
