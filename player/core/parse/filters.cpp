#include "filters.h"

namespace swf {

void skipFilterList(Reader& r) {
    size_t count = r.u8();
    for (size_t i = 0; i < count; ++i) {
        uint8_t id = r.u8();
        switch (id) {
            case 0: r.skip(23); break;  // drop shadow
            case 1: r.skip(9); break;   // blur
            case 2: r.skip(15); break;  // glow
            case 3: r.skip(27); break;  // bevel
            case 4:                     // gradient glow
            case 7: {                   // gradient bevel
                size_t colors = r.u8();
                r.skip(colors * 5 + 19);
                break;
            }
            case 5: {  // convolution
                size_t cols = r.u8();
                size_t rows = r.u8();
                r.skip(8 + cols * rows * 4 + 5);
                break;
            }
            case 6: r.skip(80); break;  // colour matrix
            default: r.fail("unknown filter " + std::to_string(id));
        }
    }
}

}  // namespace swf
