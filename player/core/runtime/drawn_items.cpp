#include "drawn_items.h"

#include "clip_bounds.h"

#include "dirty_rects.h"
#include "display/device_box.h"
#include "display/signature_hasher.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <tuple>

namespace swf {
namespace {

using Hasher = SignatureHasher;

class Collector {
public:
    Collector(int w, int h, std::vector<DrawnItem>& out) : w_(w), h_(h), out_(out) {}

    // `maskState` identifies the masks in force, so a mask that comes, goes or changes makes
    // everything under it count as changed.
    // `rootDepth` < 0: `c` is the root, whose depths name the items below it.
    void clip(const Clip& c, const Matrix& m, const ColorTransform& cx, uint64_t path, uint64_t maskState, int rootDepth) {
        if (const Drawing* drawing = c.drawing(); drawing && !drawing->builtShape().layers.empty()) {
            // Below the root's children: the root's drawing counts as its lowest depth.
            Hasher h;
            h.add(path);
            h.add(c.drawingSerial());
            h.add(drawing->sourcesVersion());  // a BitmapData it fills with changed
            h.add(m);
            h.add(cx);
            h.add(maskState);
            out_.push_back({h.h, deviceBox(drawing->builtShape().bounds, m, w_, h_), rootDepth < 0 ? 0 : rootDepth});
        }
        std::vector<std::pair<Depth, uint64_t>> masks;  // clip depth, mask signature
        for (const auto& [depth, obj] : c.displayList()) {
            while (!masks.empty() && masks.back().first < depth) masks.pop_back();
            Hasher state;
            state.add(maskState);
            for (const auto& mask : masks) state.add(mask.second);
            const DisplayState& s = obj->state();
            Hasher h;
            h.add(path);
            h.add(depth);
            hashDisplayState(h, s);  // the whole state: a property the cache would miss cannot exist
            size_t first = out_.size();
            if (obj->clip() && isScriptMask(*obj->clip())) continue;
            if (s.visible || s.clipDepth > 0)
                object(*obj, m * s.matrix, cx * s.colorTransform, h.h, state.h, rootDepth < 0 ? depth : rootDepth);
            if (s.clipDepth > depth) {
                Hasher maskSig;
                for (size_t i = first; i < out_.size(); ++i) maskSig.add(out_[i].signature);
                masks.emplace_back(s.clipDepth, maskSig.h);
            }
        }
    }

    void object(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, uint64_t path, uint64_t maskState,
                int rootDepth) {
        const DisplayState& s = obj.state();
        if (s.hasEffects()) {
            // Filters spread the object's pixels, and a cached bitmap lands on whole pixels:
            // its items reach further, and they change when the effects do.
            const size_t first = out_.size();
            Hasher h;
            h.add(path);
            h.add(s.blendMode);
            h.add(s.cacheAsBitmap);
            for (const Filter& f : s.filters) hashFilter(h, f);
            if (s.opaqueBackground) h.add(*s.opaqueBackground);
            content(obj, m, cx, h.h, maskState, rootDepth);
            const FilterReach reach = filterReach(deviceFilters(s.filters, toDevice_));
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
    // A scroll rectangle moves the content and cuts its items to the window's device box;
    // items wholly outside it draw nothing and are left out.
    void content(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, uint64_t path, uint64_t maskState,
                 int rootDepth) {
        const std::optional<Rect>& scroll = obj.state().scrollRect;
        if (!scroll) {
            unscrolled(obj, m, cx, path, maskState, rootDepth);
            return;
        }
        if (scroll->width() <= 0 || scroll->height() <= 0) return;
        Hasher h;
        h.add(path);
        h.add(*scroll);
        const size_t first = out_.size();
        unscrolled(obj, m * Matrix::translate(-float(scroll->xMin), -float(scroll->yMin)), cx, h.h, maskState, rootDepth);
        const IntRect window = deviceBox(Rect{0, scroll->width(), 0, scroll->height()}, m, w_, h_);
        size_t kept = first;
        for (size_t i = first; i < out_.size(); ++i) {
            DrawnItem item = out_[i];
            item.bounds = intersect(item.bounds, window);
            if (!item.bounds.empty()) out_[kept++] = item;
        }
        out_.resize(kept);
    }

    void unscrolled(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, uint64_t path, uint64_t maskState,
                    int rootDepth) {
        if (Clip* child = obj.clip()) {
            Hasher h;
            h.add(path);
            h.add(obj.state().clipDepth);  // a sprite turned into a mask draws differently
            clip(*child, m, cx, h.h, withScriptMask(*child, maskState), rootDepth);
            return;
        }
        Hasher h;
        h.add(path);
        obj.hashContent(h);
        h.add(m);
        h.add(cx);
        h.add(obj.state().clipDepth);
        h.add(maskState);
        const std::vector<IntRect> parts = obj.deviceParts(m, w_, h_);
        for (size_t i = 0; i < parts.size(); ++i) {
            Hasher part = h;
            if (parts.size() > 1) part.add(i);  // a morph boxed strip by strip
            out_.push_back({part.h, parts[i], rootDepth});
        }
    }

    // setMask: what the mask draws, wherever it is, decides what the masked clip shows.
    uint64_t withScriptMask(const Clip& c, uint64_t maskState) {
        const Clip* mask = liveMask(c);
        if (!mask) return maskState;
        Hasher h;
        h.add(maskState);
        // A mask whose content is masked by the clip it masks: counted by its identity only.
        if (maskNesting_ >= kMaxScriptMaskNesting) {
            h.add(mask);
            return h.h;
        }
        std::vector<DrawnItem> maskItems;
        Collector maskCollector(w_, h_, maskItems);
        maskCollector.setStage(toDevice_);
        maskCollector.maskNesting_ = maskNesting_ + 1;
        maskCollector.clip(*mask, toDevice_ * clipToRoot(*mask), ColorTransform{}, 0, 0, 0);
        for (const DrawnItem& item : maskItems) h.add(item.signature);
        return h.h;
    }

    static constexpr int kMaxScriptMaskNesting = 4;
    int w_, h_;
    std::vector<DrawnItem>& out_;
    Matrix toDevice_;
    int maskNesting_ = 0;
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
    // Some signatures hash addresses: the order above differs from player to player, and the
    // merge's ties go to the first pair. Sorted by place, the same change gives the same areas.
    std::sort(areas.begin(), areas.end(), [](const IntRect& a, const IntRect& b) {
        return std::tie(a.y0, a.x0, a.y1, a.x1) < std::tie(b.y0, b.x0, b.y1, b.x1);
    });
    changes.areas = mergeDirtyRects(std::move(areas));
    return changes;
}

}  // namespace swf
