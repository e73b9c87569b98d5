// Blend modes: how a layer's premultiplied pixels combine with those beneath. Each mode is a
// formula on premultiplied channels, with s, d the source and destination channel and sa, da
// their alphas (all 0..255, rounded once per channel):
//   normal, layer  s + d (1 - sa)
//   multiply       s d + s (1 - da) + d (1 - sa)
//   screen         s + d - s d
//   lighten        max(s da, d sa) + s (1 - da) + d (1 - sa)        (darken: min)
//   difference     s + d - 2 min(s da, d sa)
//   add            min(s + d, 1), alpha likewise                     (light that saturates)
//   subtract       max(d - s, 0), alpha as normal
//   invert         d (1 - sa) + (da - d) sa, alpha da                (the background inverted)
//   alpha          d sa, alpha da sa                                  (the layer beneath keeps
//   erase          d (1 - sa), alpha da (1 - sa)                      or loses what is covered)
//   overlay        2 s d when 2 d <= da, else sa da - 2 (da - d)(sa - s); plus the uncovered
//                  terms of multiply                                 (hardlight: test 2 s <= sa)
// Alpha of the modes not named: sa + da - sa da. A colour never exceeds its alpha afterwards.
// A fully transparent source pixel (not drawn) leaves the destination as it is in every mode.
#pragma once

#include <cstdint>

#include "renderer.h"

namespace swf::render {

// One pixel, the plain way: the reference the row loops are tested against.
uint32_t blendPixel(BlendMode mode, uint32_t src, uint32_t dst);

// dst[i] = blendPixel(mode, src[i], dst[i]) for a row, with the mode chosen once per row.
void blendRow(BlendMode mode, const uint32_t* src, uint32_t* dst, int count);

}  // namespace swf::render
