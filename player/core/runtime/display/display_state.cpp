#include "display_state.h"

namespace swf {

void hashFilter(SignatureHasher& h, const Filter& f) {
    h.add(f.kind);
    h.add(f.blurX), h.add(f.blurY), h.add(f.passes), h.add(f.angle), h.add(f.distance), h.add(f.strength);
    h.add(f.color), h.add(f.highlight), h.add(f.inner), h.add(f.knockout), h.add(f.hideObject), h.add(f.onTop);
    for (const GradientRecord& g : f.gradient) h.add(g.ratio), h.add(g.color);
    h.add(f.matrix);
    h.add(f.columns), h.add(f.rows), h.add(f.divisor), h.add(f.bias), h.add(f.preserveAlpha), h.add(f.clamp);
    h.add(f.defaultColor);
    for (float k : f.kernel) h.add(k);
    h.add(f.map.get()), h.add(f.mapX), h.add(f.mapY), h.add(f.componentX), h.add(f.componentY);
    h.add(f.scaleX), h.add(f.scaleY), h.add(f.mode), h.add(f.fillColor);
}

void hashDisplayState(SignatureHasher& h, const DisplayState& s) {
    h.add(s.matrix);
    h.add(s.colorTransform);
    h.add(s.name.str());
    h.add(s.depth), h.add(s.clipDepth), h.add(s.ratio), h.add(s.visible);
    h.add(s.filters.size());
    for (const Filter& f : s.filters) hashFilter(h, f);
    h.add(s.blendMode), h.add(s.cacheAsBitmap);
    h.add(bool(s.opaqueBackground));
    if (s.opaqueBackground) h.add(*s.opaqueBackground);
    h.add(bool(s.scrollRect));
    if (s.scrollRect) h.add(*s.scrollRect);
    h.add(s.placedByScript), h.add(s.transformedByScript), h.add(s.placeFrame);
}

}  // namespace swf
