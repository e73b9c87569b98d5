// One GDI font selected into its own memory DC, read through the layout's font interface.
// Metrics, kerning pairs and outlines come from GetTextMetrics, GetKerningPairs and
// GetGlyphOutline(GGO_NATIVE | GGO_UNHINTED) of a font created one EM = kEmUnits pixels high,
// so logical units are font units.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <scoped_win.h>
#include <text/layout_font.h>

namespace swf {

class GdiFontFace : public LayoutFont {
public:
    static constexpr int kEmUnits = 2048;

    // Null when GDI has no TrueType face for the name (or the DC cannot be made). With
    // `exactFace` the face GDI picked must carry the asked name, so the caller can fall back;
    // `pitchAndFamily` (LOGFONT's) steers GDI's own choice when the name is not there.
    static std::shared_ptr<GdiFontFace> create(const std::wstring& face, bool bold, bool italic, bool exactFace,
                                               BYTE pitchAndFamily);
    ~GdiFontFace() override;

    float unitsPerEm() const override { return float(kEmUnits); }
    float ascent() const override { return ascent_; }
    float descent() const override { return descent_; }
    float leading() const override { return leading_; }
    int glyphFor(char32_t code) const override;
    float advance(int glyph) const override;
    float kerning(int left, int right) const override;
    std::shared_ptr<const Shape> outline(int glyph) const override;
    bool pixelFitted() const override { return true; }

private:
    GdiFontFace() = default;
    struct Glyph {
        float advance = 0;
        std::shared_ptr<const Shape> shape;
    };
    const Glyph& load(int glyph) const;
    void readKerningPairs();

    kestoral::MemoryDC dc_;
    kestoral::GdiObject font_;
    HGDIOBJ previous_ = nullptr;  // the DC's own font, put back before the DC is deleted
    float ascent_ = 0, descent_ = 0, leading_ = 0;
    std::map<std::pair<int, int>, float> kerning_;  // glyph pairs
    mutable std::mutex mutex_;                       // the DC is one per face
    mutable std::map<int, Glyph> glyphs_;
};

}  // namespace swf
