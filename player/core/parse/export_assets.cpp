// ExportAssets: the names scripts find characters by (Sound.attachSound, attachMovie).
#include "limits.h"
#include "load_context.h"

namespace swf {

void readExportAssets(Reader& r, LoadContext& ctx) {
    const uint16_t count = r.u16();
    for (uint16_t i = 0; i < count; ++i) {
        const uint16_t id = r.u16();
        std::string name = r.cstring();
        if (ctx.movie.exportNames.size() >= kMaxExportNames) r.fail("too many export names");
        // The first export of a name wins, as the first definition of an id does.
        ctx.movie.exportNames.emplace(std::move(name), id);
    }
}

}  // namespace swf
