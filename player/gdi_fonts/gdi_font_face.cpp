#include "gdi_font_face.h"

#include <vector>

#include "native_outline.h"

namespace swf {
namespace {

constexpr DWORD kMaxOutlineBytes = 1u << 20;  // a glyph's outline past this is not drawn
constexpr DWORD kMaxKerningPairs = 1u << 16;

std::wstring selectedFaceName(HDC dc) {
    wchar_t name[LF_FACESIZE] = {};
    int n = GetTextFaceW(dc, LF_FACESIZE, name);
    return n > 0 ? std::wstring(name) : std::wstring();
}

}  // namespace

std::shared_ptr<GdiFontFace> GdiFontFace::create(const std::wstring& face, bool bold, bool italic, bool exactFace,
                                                 BYTE pitchAndFamily) {
    std::shared_ptr<GdiFontFace> f(new GdiFontFace());
    f->dc_.reset(CreateCompatibleDC(nullptr));
    if (!f->dc_) return nullptr;
    LOGFONTW lf{};
    lf.lfHeight = -kEmUnits;  // negative: the EM, not the cell, is this high
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lf.lfPitchAndFamily = pitchAndFamily;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    f->font_.reset(CreateFontIndirectW(&lf));
    if (!f->font_) return nullptr;
    f->previous_ = SelectObject(f->dc_.get(), f->font_.get());
    if (exactFace && lstrcmpiW(selectedFaceName(f->dc_.get()).c_str(), face.c_str()) != 0) return nullptr;
    TEXTMETRICW tm{};
    if (!GetTextMetricsW(f->dc_.get(), &tm) || !(tm.tmPitchAndFamily & TMPF_TRUETYPE)) return nullptr;
    f->ascent_ = float(tm.tmAscent);
    f->descent_ = float(tm.tmDescent);
    f->leading_ = float(tm.tmExternalLeading);
    f->readKerningPairs();
    return f;
}

GdiFontFace::~GdiFontFace() {
    if (dc_ && previous_) SelectObject(dc_.get(), previous_);  // the font is deleted unselected
}

void GdiFontFace::readKerningPairs() {
    DWORD count = GetKerningPairsW(dc_.get(), 0, nullptr);
    if (count == 0 || count > kMaxKerningPairs) return;
    std::vector<KERNINGPAIR> pairs(count);
    count = GetKerningPairsW(dc_.get(), count, pairs.data());
    for (DWORD i = 0; i < count && i < pairs.size(); ++i) {
        int left = glyphFor(pairs[i].wFirst), right = glyphFor(pairs[i].wSecond);
        if (left >= 0 && right >= 0) kerning_[{left, right}] = float(pairs[i].iKernAmount);
    }
}

int GdiFontFace::glyphFor(char32_t code) const {
    if (code > 0xffff) return -1;  // GDI's glyph lookup is by UTF-16 unit
    wchar_t c = wchar_t(code);
    WORD index = 0xffff;
    std::lock_guard<std::mutex> lock(mutex_);
    if (GetGlyphIndicesW(dc_.get(), &c, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR || index == 0xffff)
        return -1;
    return int(index);
}

float GdiFontFace::advance(int glyph) const { return load(glyph).advance; }

float GdiFontFace::kerning(int left, int right) const {
    auto it = kerning_.find({left, right});
    return it == kerning_.end() ? 0 : it->second;
}

std::shared_ptr<const Shape> GdiFontFace::outline(int glyph) const { return load(glyph).shape; }

const GdiFontFace::Glyph& GdiFontFace::load(int glyph) const {
    static const Glyph kNone;
    if (glyph < 0 || glyph > 0xffff) return kNone;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = glyphs_.find(glyph);
    if (it != glyphs_.end()) return it->second;
    Glyph g;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS gm{};
    const UINT format = GGO_NATIVE | GGO_GLYPH_INDEX | GGO_UNHINTED;
    DWORD size = GetGlyphOutlineW(dc_.get(), UINT(glyph), format, &gm, 0, nullptr, &identity);
    if (size != GDI_ERROR) {
        g.advance = float(gm.gmCellIncX);
        if (size > 0 && size <= kMaxOutlineBytes) {
            std::vector<uint8_t> buffer(size);
            if (GetGlyphOutlineW(dc_.get(), UINT(glyph), format, &gm, size, buffer.data(), &identity) != GDI_ERROR) {
                Shape shape = shapeFromNativeOutline(buffer.data(), buffer.size());
                if (!shape.layers.empty()) g.shape = std::make_shared<const Shape>(std::move(shape));
            }
        }
    }
    return glyphs_.emplace(glyph, std::move(g)).first->second;
}

}  // namespace swf
