#include "area_bands.h"

#include <algorithm>

namespace swf {

void drawAreasInBands(const std::vector<IntRect>& areas, const BandRunner* bands,
                      const std::function<void(const IntRect& part)>& drawPart) {
    int rows = 0;
    for (const IntRect& area : areas)
        if (!area.empty()) rows += area.y1 - area.y0;
    if (!bands || !*bands || rows < kMinBandedRows) {
        for (const IntRect& area : areas)
            if (!area.empty()) drawPart(area);
        return;
    }
    (*bands)(rows, [&](int y0, int y1) {
        int first = 0;  // the area's first row in the run
        for (const IntRect& area : areas) {
            if (area.empty()) continue;
            const int height = area.y1 - area.y0;
            const int from = std::max(y0, first), to = std::min(y1, first + height);
            if (from < to) drawPart({area.x0, area.y0 + from - first, area.x1, area.y0 + to - first});
            first += height;
        }
    });
}

}  // namespace swf
