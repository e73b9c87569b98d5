#include "drawn_items.h"

#include "dirty_rects.h"
#include "text_field.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

namespace swf {
namespace {

// Antialiasing, hairlines and rounding reach this far past the exact bounds.
constexpr int kMarginPx = 2;

struct Hasher {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    void bytes(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    }
    template <typename T>
    void add(const T& v) { bytes(&v, sizeof v); }
};

IntRect deviceBounds(const Rect& r, const Matrix& m, int w, int h) {
    Point corners[4] = {m.apply({float(r.xMin), float(r.yMin)}), m.apply({float(r.xMax), float(r.yMin)}),
                        m.apply({float(r.xMin), float(r.yMax)}), m.apply({float(r.xMax), float(r.yMax)})};
    float x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const Point& p : corners) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1)) return {0, 0, w, h};
    auto clampTo = [](float v, int hi) { return int(std::max(0.0f, std::min(float(hi), v))); };
    IntRect out{clampTo(std::floor(x0) - kMarginPx, w), clampTo(std::floor(y0) - kMarginPx, h),
                clampTo(std::ceil(x1) + kMarginPx, w), clampTo(std::ceil(y1) + kMarginPx, h)};
    return out;
}

// A morph's bounds are the file's two declared boxes blended, often far roomier than the shape
// at its ratio. Without strokes (whose joins reach past the edges) every filled pixel lies
// between edges crossing its column, inside the box of their points and control points; a
// long wavy band is boxed strip by strip across its width. None when the shape has strokes.
std::vector<Rect> morphStripBounds(const Shape& shape, int strips) {
    float x0 = INFINITY, x1 = -INFINITY;
    for (const ShapeLayer& layer : shape.layers) {
        for (const Edge& e : layer.edges) {
            if (e.line != 0) return {};
            for (const Point* p : {&e.from, &e.to, e.curved ? &e.control : &e.from}) {
                x0 = std::min(x0, p->x);
                x1 = std::max(x1, p->x);
            }
        }
    }
    constexpr float kLimit = 1e9f;  // twips; past this the declared box is as good
    if (!(x0 <= x1) || x0 < -kLimit || x1 > kLimit) return {};
    const float step = (x1 - x0) / float(strips);
    std::vector<Rect> out;
    for (int i = 0; i < strips; ++i) {
        const float sx0 = x0 + step * float(i), sx1 = i + 1 == strips ? x1 : x0 + step * float(i + 1);
        float y0 = INFINITY, y1 = -INFINITY;
        for (const ShapeLayer& layer : shape.layers) {
            for (const Edge& e : layer.edges) {
                const Point& c = e.curved ? e.control : e.from;
                const float ex0 = std::min({e.from.x, e.to.x, c.x}), ex1 = std::max({e.from.x, e.to.x, c.x});
                if (ex1 < sx0 || ex0 > sx1) continue;
                y0 = std::min({y0, e.from.y, e.to.y, c.y});
                y1 = std::max({y1, e.from.y, e.to.y, c.y});
            }
        }
        if (!(y0 <= y1)) continue;  // no edge crosses the strip: nothing is filled there
        if (y0 < -kLimit || y1 > kLimit) return {};
        out.push_back(Rect{int32_t(std::floor(sx0)), int32_t(std::ceil(sx1)), int32_t(std::floor(y0)), int32_t(std::ceil(y1))});
    }
    return out;
}

// Strips of about this many device pixels, at most kMaxStrips.
constexpr int kStripWidthPx = 160;
constexpr int kMaxStrips = 8;

class Collector {
public:
    Collector(int w, int h, std::vector<DrawnItem>& out) : w_(w), h_(h), out_(out) {}

    // `maskState` identifies the masks in force, so a mask that comes, goes or changes makes
    // everything under it count as changed.
    // `rootDepth` < 0: `c` is the root, whose depths name the items below it.
    void clip(const Clip& c, const Matrix& m, const ColorTransform& cx, uint64_t path, uint64_t maskState, int rootDepth) {
        std::vector<std::pair<uint16_t, uint64_t>> masks;  // clip depth, mask signature
        for (const auto& [depth, obj] : c.displayList()) {
            while (!masks.empty() && masks.back().first < depth) masks.pop_back();
            Hasher state;
            state.add(maskState);
            for (const auto& mask : masks) state.add(mask.second);
            Hasher h;
            h.add(path);
            h.add(depth);
            size_t first = out_.size();
            object(obj, m * obj.matrix, cx * obj.colorTransform, h.h, state.h, rootDepth < 0 ? depth : rootDepth);
            if (obj.clipDepth > depth) {
                Hasher maskSig;
                for (size_t i = first; i < out_.size(); ++i) maskSig.add(out_[i].signature);
                masks.emplace_back(obj.clipDepth, maskSig.h);
            }
        }
    }

    void object(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, uint64_t path, uint64_t maskState,
                int rootDepth) {
        if (!obj.character) return;
        if (hasEffects(obj)) {
            // Filters spread the object's pixels, and a cached bitmap lands on whole pixels:
            // its items reach further, and they change when the effects do.
            const size_t first = out_.size();
            Hasher h;
            h.add(path);
            h.add(obj.blendMode);
            h.add(obj.cacheAsBitmap);
            for (const Filter& f : obj.filters) hashFilter(h, f);
            if (obj.opaqueBackground) h.add(*obj.opaqueBackground);
            content(obj, m, cx, h.h, maskState, rootDepth);
            const FilterReach reach = filterReach(deviceFilters(obj.filters, toDevice_));
            const int snap = 1;  // drawn at whole pixels
            for (size_t i = first; i < out_.size(); ++i) {
                IntRect& b = out_[i].bounds;
                if (b.empty()) continue;
                b = {std::max(0, b.x0 - reach.left - snap), std::max(0, b.y0 - reach.top - snap),
                     std::min(w_, b.x1 + reach.right + snap), std::min(h_, b.y1 + reach.bottom + snap)};
            }
            return;
        }
        content(obj, m, cx, path, maskState, rootDepth);
    }

    void setStage(const Matrix& toDevice) { toDevice_ = toDevice; }

private:
    static void hashFilter(Hasher& h, const Filter& f) {
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

    void content(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, uint64_t path, uint64_t maskState,
                 int rootDepth) {
        const Character& c = *obj.character;
        if ((c.kind == CharacterKind::Sprite || c.kind == CharacterKind::Button) && obj.clip) {
            Hasher h;
            h.add(path);
            h.add(obj.clipDepth);  // a sprite turned into a mask draws differently
            clip(*obj.clip, m, cx, h.h, maskState, rootDepth);
            return;
        }
        Hasher h;
        h.add(path);
        h.add(&c);
        h.add(obj.morphShape.get());
        if (obj.text) h.add(obj.text->drawnVersion());
        h.add(m);
        h.add(cx);
        h.add(obj.clipDepth);
        h.add(maskState);
        if (c.kind == CharacterKind::Morph && obj.morphShape) {
            const Shape& shape = *obj.morphShape;
            const IntRect whole = deviceBounds(shape.bounds, m, w_, h_);
            const int strips = std::clamp((whole.x1 - whole.x0) / kStripWidthPx, 1, kMaxStrips);
            const std::vector<Rect> boxes = morphStripBounds(shape, strips);
            for (size_t i = 0; i < boxes.size(); ++i) {
                Hasher strip = h;
                strip.add(i);
                out_.push_back({strip.h, deviceBounds(boxes[i], m, w_, h_), rootDepth});
            }
            if (!boxes.empty()) return;
        }
        Rect bounds;
        Matrix boundsMatrix = m;
        switch (c.kind) {
            case CharacterKind::Shape: bounds = static_cast<const ShapeCharacter&>(c).shape.bounds; break;
            case CharacterKind::Morph:
                if (obj.morphShape) bounds = obj.morphShape->bounds;
                break;
            case CharacterKind::Bitmap: {
                const auto& b = static_cast<const BitmapCharacter&>(c);
                if (b.bitmap) bounds = {0, b.bitmap->width * kTwipsPerPixel, 0, b.bitmap->height * kTwipsPerPixel};
                break;
            }
            case CharacterKind::Text: bounds = static_cast<const TextCharacter&>(c).bounds; break;
            case CharacterKind::EditText:
                bounds = obj.text ? obj.text->drawnBounds() : static_cast<const EditTextCharacter&>(c).bounds;
                break;
            default: return;
        }
        IntRect device = deviceBounds(bounds, boundsMatrix, w_, h_);
        if (c.kind == CharacterKind::Text) {
            // Text bounds may or may not include the text matrix; take both.
            device = unite(device, deviceBounds(bounds, m * static_cast<const TextCharacter&>(c).matrix, w_, h_));
        }
        out_.push_back({h.h, device, rootDepth});
    }

    int w_, h_;
    std::vector<DrawnItem>& out_;
    Matrix toDevice_;
};

}  // namespace

std::vector<DrawnItem> collectDrawnItems(const Clip& root, const Matrix& toDevice, int canvasWidth, int canvasHeight) {
    std::vector<DrawnItem> items;
    Collector collector(canvasWidth, canvasHeight, items);
    collector.setStage(toDevice);
    collector.clip(root, toDevice, ColorTransform{}, 0, 0, -1);
    return items;
}

IntRect drawnBounds(const DisplayObject& obj, const Matrix& m, const Matrix& toDevice, int canvasWidth, int canvasHeight) {
    std::vector<DrawnItem> items;
    Collector collector(canvasWidth, canvasHeight, items);
    collector.setStage(toDevice);
    collector.object(obj, m, ColorTransform{}, 0, 0, 0);
    IntRect box;
    for (const DrawnItem& item : items) box = unite(box, item.bounds);
    return box;
}

uint64_t contentSignature(const DisplayObject& obj, const Matrix& m) {
    std::vector<DrawnItem> items;
    Collector collector(1, 1, items);
    collector.setStage(Matrix{});
    collector.object(obj, m, ColorTransform{}, 0, 0, 0);
    Hasher h;
    for (const DrawnItem& item : items) h.add(item.signature);
    return h.h;
}

bool hasEffects(const DisplayObject& obj) {
    return !obj.filters.empty() || obj.cacheAsBitmap || obj.opaqueBackground || obj.blendMode != BlendMode::Normal;
}

std::vector<Filter> deviceFilters(const std::vector<Filter>& filters, const Matrix& toDevice) {
    // The stage's zoom: a blur of 10 at 2x is 20 pixels. The object's own scale does not count.
    const float sx = std::sqrt(toDevice.a * toDevice.a + toDevice.b * toDevice.b) * kTwipsPerPixel;
    const float sy = std::sqrt(toDevice.c * toDevice.c + toDevice.d * toDevice.d) * kTwipsPerPixel;
    std::vector<Filter> out = filters;
    for (Filter& f : out) {
        f.blurX *= sx;
        f.blurY *= sy;
        f.distance *= (sx + sy) * 0.5f;
        f.scaleX *= sx;
        f.scaleY *= sy;
    }
    return out;
}

Changes findChanges(const std::vector<DrawnItem>& before, const std::vector<DrawnItem>& after, const IntRect& canvas) {
    auto key = [](const DrawnItem& i) {
        return std::make_tuple(i.signature, i.bounds.x0, i.bounds.y0, i.bounds.x1, i.bounds.y1);
    };
    auto sorted = [&](std::vector<DrawnItem> v) {
        std::sort(v.begin(), v.end(), [&](const DrawnItem& a, const DrawnItem& b) { return key(a) < key(b); });
        return v;
    };
    std::vector<DrawnItem> a = sorted(before), b = sorted(after);
    Changes changes;
    std::vector<IntRect> areas;
    auto changed = [&](const DrawnItem& item) {
        areas.push_back(item.bounds);
        changes.lowestDepth = std::min(changes.lowestDepth, item.rootDepth);
    };
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (j >= b.size() || (i < a.size() && key(a[i]) < key(b[j]))) {
            changed(a[i++]);
        } else if (i >= a.size() || key(b[j]) < key(a[i])) {
            changed(b[j++]);
        } else {
            ++i;
            ++j;
        }
    }
    // Merging n areas costs n^3 (120 moving shapes: 20 ms a frame); when they cover most of the
    // canvas anyway, the frame is drawn whole without it. After merging, the merge's own rule
    // (most of the areas' box) decides: whole frames at a lower share cost Default.swf more.
    if (!areas.empty() && coversMostOf(areas, canvas)) {
        changes.areas = {canvas};
        return changes;
    }
    changes.areas = mergeDirtyRects(std::move(areas));
    return changes;
}

}  // namespace swf
