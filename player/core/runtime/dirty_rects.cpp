#include "dirty_rects.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace swf {

IntRect intersect(const IntRect& a, const IntRect& b) {
    IntRect r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
    return r.empty() ? IntRect{} : r;
}

namespace {

// Pixels the bounding box of a and b adds to what a and b cover together.
long long mergeWaste(const IntRect& a, const IntRect& b) {
    return area(unite(a, b)) - area(a) - area(b) + area(intersect(a, b));
}

// Each rectangle's cheapest partner among those after it: the pair's waste and its index.
struct Partner {
    long long waste = std::numeric_limits<long long>::max();
    size_t j = 0;
};

Partner cheapestPartner(const std::vector<IntRect>& rects, size_t i) {
    Partner best;
    for (size_t j = i + 1; j < rects.size(); ++j) {
        const long long waste = mergeWaste(rects[i], rects[j]);
        if (waste < best.waste) best = {waste, j};
    }
    return best;
}

// Merges the cheapest pairs: while a merge is free, or while there are too many rectangles.
// Of equally cheap pairs the first (by i, then j) goes. Each rectangle's cheapest later partner
// is kept and only the rows a merge touches are searched again: the 80 rectangles of 40 moving
// objects cost a few thousand pair costs instead of a hundred thousand, on the thread that
// hands the bands out.
void mergeCheapest(std::vector<IntRect>& rects, size_t maxCount, long long freeMergeArea) {
    std::vector<Partner> partners(rects.size());
    for (size_t i = 0; i < rects.size(); ++i) partners[i] = cheapestPartner(rects, i);
    while (rects.size() > 1) {
        size_t bi = 0;
        for (size_t i = 1; i + 1 < rects.size(); ++i)
            if (partners[i].waste < partners[bi].waste) bi = i;
        const size_t bj = partners[bi].j;
        if (partners[bi].waste > freeMergeArea && rects.size() <= maxCount) return;
        rects[bi] = unite(rects[bi], rects[bj]);
        rects.erase(rects.begin() + long(bj));
        partners.erase(partners.begin() + long(bj));
        partners.back() = Partner{};  // the last rectangle has no later partner
        for (size_t i = 0; i + 1 < rects.size(); ++i) {
            Partner& p = partners[i];
            if (i == bi || p.j == bi || p.j == bj) {
                // Its partner grew or went: search its row again.
                p = cheapestPartner(rects, i);
                continue;
            }
            if (p.j > bj) --p.j;
            // Only the merged rectangle's cost changed in this row: it may now come first.
            if (i < bi) {
                const long long waste = mergeWaste(rects[i], rects[bi]);
                if (waste < p.waste || (waste == p.waste && bi < p.j)) p = {waste, bi};
            }
        }
    }
}

// The same pixels as disjoint rectangles: horizontal bands cut at every top and bottom edge,
// each band's covered spans joined, and equal spans of neighbouring bands stacked again.
std::vector<IntRect> disjointCover(const std::vector<IntRect>& rects) {
    std::vector<int> cuts;
    for (const IntRect& r : rects) {
        cuts.push_back(r.y0);
        cuts.push_back(r.y1);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::vector<IntRect> out, open;  // open: the previous band's pieces, still growing downwards
    for (size_t k = 0; k + 1 < cuts.size(); ++k) {
        const int y0 = cuts[k], y1 = cuts[k + 1];
        std::vector<std::pair<int, int>> spans;
        for (const IntRect& r : rects) {
            if (r.y0 <= y0 && r.y1 >= y1) spans.emplace_back(r.x0, r.x1);
        }
        std::sort(spans.begin(), spans.end());
        std::vector<IntRect> band;
        for (const auto& [x0, x1] : spans) {
            if (!band.empty() && x0 <= band.back().x1) {
                band.back().x1 = std::max(band.back().x1, x1);
            } else {
                band.push_back({x0, y0, x1, y1});
            }
        }
        bool sameSpans = band.size() == open.size();
        for (size_t i = 0; sameSpans && i < band.size(); ++i) {
            sameSpans = band[i].x0 == open[i].x0 && band[i].x1 == open[i].x1 && open[i].y1 == y0;
        }
        if (sameSpans) {
            for (IntRect& r : open) r.y1 = y1;
        } else {
            out.insert(out.end(), open.begin(), open.end());
            open = std::move(band);
        }
    }
    out.insert(out.end(), open.begin(), open.end());
    return out;
}

bool overlapAny(const std::vector<IntRect>& rects) {
    for (size_t i = 0; i < rects.size(); ++i) {
        for (size_t j = i + 1; j < rects.size(); ++j) {
            if (!intersect(rects[i], rects[j]).empty()) return true;
        }
    }
    return false;
}

// Areas that fill most of their bounding box draw faster as that one box: every area costs a
// pass over all the shapes that reach into it.
std::vector<IntRect> mostOfTheirBox(std::vector<IntRect> rects) {
    IntRect box;
    long long covered = 0;
    for (const IntRect& r : rects) {
        box = unite(box, r);
        covered += area(r);
    }
    if (rects.size() > 1 && covered * 4 >= area(box) * 3) return {box};
    return rects;
}

}  // namespace

long long area(const IntRect& r) { return r.empty() ? 0 : (long long)(r.x1 - r.x0) * (r.y1 - r.y0); }

IntRect unite(const IntRect& a, const IntRect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

bool coversMostOf(const std::vector<IntRect>& areas, const IntRect& canvas) {
    if (canvas.empty()) return false;
    const int columns = (canvas.x1 - canvas.x0 + kCoverageCell - 1) / kCoverageCell;
    const int rows = (canvas.y1 - canvas.y0 + kCoverageCell - 1) / kCoverageCell;
    std::vector<uint8_t> cells(size_t(columns) * size_t(rows), 0);
    long long covered = 0;
    for (const IntRect& r : areas) {
        const IntRect c = intersect(r, canvas);
        if (c.empty()) continue;
        const int cx0 = (c.x0 - canvas.x0) / kCoverageCell, cx1 = (c.x1 - canvas.x0 + kCoverageCell - 1) / kCoverageCell;
        const int cy0 = (c.y0 - canvas.y0) / kCoverageCell, cy1 = (c.y1 - canvas.y0 + kCoverageCell - 1) / kCoverageCell;
        for (int y = cy0; y < cy1; ++y) {
            uint8_t* row = cells.data() + size_t(y) * size_t(columns);
            for (int x = cx0; x < cx1; ++x) {
                covered += row[x] == 0;
                row[x] = 1;
            }
        }
    }
    return covered * kWholeCanvasDenominator >= (long long)cells.size() * kWholeCanvasNumerator;
}

std::vector<IntRect> mergeDirtyRects(std::vector<IntRect> rects, size_t maxCount, long long freeMergeArea) {
    if (maxCount == 0) maxCount = 1;
    rects.erase(std::remove_if(rects.begin(), rects.end(), [](const IntRect& r) { return r.empty(); }), rects.end());
    // A bounding box may cover a third rectangle: cut into disjoint pieces and merge again.
    for (int round = 0; round < 4; ++round) {
        mergeCheapest(rects, maxCount, freeMergeArea);
        if (!overlapAny(rects)) return mostOfTheirBox(rects);
        rects = disjointCover(rects);
        if (rects.size() <= maxCount) return mostOfTheirBox(rects);
    }
    // Still no short disjoint list: one rectangle over everything.
    IntRect all;
    for (const IntRect& r : rects) all = unite(all, r);
    return {all};
}

}  // namespace swf
