// A font as the text layout sees it: metrics, advances, kerning and outlines in the font's own
// units (unitsPerEm to the EM), y down with the baseline at 0, as SWF glyphs are. Embedded SWF
// fonts and the platform's device fonts both come in through this one interface, so a field
// lays out the same way whichever it uses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "../shape.h"

namespace swf {

class LayoutFont {
public:
    virtual ~LayoutFont() = default;
    virtual float unitsPerEm() const = 0;
    virtual float ascent() const = 0;   // positive, above the baseline
    virtual float descent() const = 0;  // positive, below the baseline
    virtual float leading() const = 0;  // the font's own extra line gap
    // -1 when the font has no glyph for the code point.
    virtual int glyphFor(char32_t code) const = 0;
    virtual float advance(int glyph) const = 0;
    // Adjustment between two glyphs, 0 when the font has no kerning pair for them.
    virtual float kerning(int left, int right) const = 0;
    // One layer whose fill 1 is the text colour; null for a glyph without ink (a space).
    virtual std::shared_ptr<const Shape> outline(int glyph) const = 0;
    // The platform's fonts are drawn fitted to the pixel grid, so the original advances them by
    // whole pixels; embedded outlines advance by whole twips.
    virtual bool pixelFitted() const { return false; }
};

struct DeviceFontRequest {
    std::string face;  // as the movie names it: "_sans", "_serif", "_typewriter" or a family
    bool bold = false;
    bool italic = false;
};

// The platform's fonts, injected into the player by the host: FreeType with the DejaVu faces
// natively, GDI glyph outlines on Windows. Each maps the three generic names to its own faces
// and an unknown family to its default face, so open() fails only when no font is usable.
class FontProvider {
public:
    virtual ~FontProvider() = default;
    virtual std::shared_ptr<const LayoutFont> open(const DeviceFontRequest& request) = 0;
};

}  // namespace swf
