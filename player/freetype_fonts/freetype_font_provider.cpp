#include "freetype_font_provider.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <mutex>
#include <vector>

#include "freetype_outline.h"

namespace swf {

// One FT_Library per provider; every face keeps it alive, so it is released after them.
struct FreeTypeLibrary {
    FT_Library handle = nullptr;
    FreeTypeLibrary() {
        if (FT_Init_FreeType(&handle) != 0) handle = nullptr;
    }
    ~FreeTypeLibrary() {
        if (handle) FT_Done_FreeType(handle);
    }
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;
};

namespace {

struct FaceOwner {
    FT_Face face = nullptr;
    explicit FaceOwner(FT_Face f) : face(f) {}
    ~FaceOwner() {
        if (face) FT_Done_Face(face);
    }
    FaceOwner(const FaceOwner&) = delete;
    FaceOwner& operator=(const FaceOwner&) = delete;
};

// Metrics and outlines read once when the face opens, so the font is a plain value after that
// and can be shared freely.
class FreeTypeFont : public LayoutFont {
public:
    FreeTypeFont(FT_Face face, std::shared_ptr<FreeTypeLibrary> library) : library_(std::move(library)), face_(face) {
        units_ = face->units_per_EM > 0 ? float(face->units_per_EM) : 2048.0f;
        ascent_ = float(face->ascender);
        descent_ = float(-face->descender);
        leading_ = std::max(0.0f, float(face->height) - ascent_ - descent_);
        hasKerning_ = FT_HAS_KERNING(face);
    }

    float unitsPerEm() const override { return units_; }
    float ascent() const override { return ascent_; }
    float descent() const override { return descent_; }
    float leading() const override { return leading_; }
    int glyphFor(char32_t code) const override {
        FT_UInt index = FT_Get_Char_Index(face_.face, FT_ULong(code));
        return index == 0 ? -1 : int(index);
    }
    float advance(int glyph) const override { return load(glyph).advance; }
    float kerning(int left, int right) const override {
        if (!hasKerning_ || left < 0 || right < 0) return 0;
        std::lock_guard<std::mutex> lock(mutex_);
        FT_Vector delta{};
        if (FT_Get_Kerning(face_.face, FT_UInt(left), FT_UInt(right), FT_KERNING_UNSCALED, &delta) != 0) return 0;
        return float(delta.x);
    }
    std::shared_ptr<const Shape> outline(int glyph) const override { return load(glyph).shape; }
    bool pixelFitted() const override { return true; }

private:
    struct Glyph {
        float advance = 0;
        std::shared_ptr<const Shape> shape;
    };

    const Glyph& load(int glyph) const {
        static const Glyph kNone;
        if (glyph < 0 || FT_Long(glyph) >= face_.face->num_glyphs) return kNone;
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = glyphs_.find(glyph);
        if (it != glyphs_.end()) return it->second;
        Glyph g;
        if (FT_Load_Glyph(face_.face, FT_UInt(glyph), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
            g.advance = float(face_.face->glyph->advance.x);
            if (face_.face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
                Shape shape = shapeFromOutline(face_.face->glyph->outline);
                if (!shape.layers.empty()) g.shape = std::make_shared<const Shape>(std::move(shape));
            }
        }
        return glyphs_.emplace(glyph, std::move(g)).first->second;
    }

    std::shared_ptr<FreeTypeLibrary> library_;  // declared first: released after the face
    FaceOwner face_;
    float units_ = 2048, ascent_ = 0, descent_ = 0, leading_ = 0;
    bool hasKerning_ = false;
    mutable std::mutex mutex_;
    mutable std::map<int, Glyph> glyphs_;
};

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(uint8_t(c)));
    return s;
}

enum class Family { Sans, Serif, Mono };

Family familyOf(const std::string& face) {
    std::string f = lower(face);
    static const char* const sans[] = {"_sans", "arial", "helvetica", "verdana", "tahoma", "dejavu sans", "trebuchet ms"};
    static const char* const mono[] = {"_typewriter", "courier", "courier new", "lucida console", "dejavu sans mono"};
    for (const char* name : mono)
        if (f == name) return Family::Mono;
    for (const char* name : sans)
        if (f == name) return Family::Sans;
    return Family::Serif;
}

// Families the movies name that Debian has metric-compatible faces for (fonts-liberation2 for
// the Windows core fonts, fonts-noto-core for Noto): text set in them keeps the widths and line
// heights it has on Windows. Files beside the DejaVu folder; each style's file in the order
// regular, bold, italic, bold italic.
struct NamedFace {
    const char* family;  // lower case
    const char* files[4];
};
const NamedFace kNamedFaces[] = {
    {"arial", {"../liberation2/LiberationSans-Regular.ttf", "../liberation2/LiberationSans-Bold.ttf",
               "../liberation2/LiberationSans-Italic.ttf", "../liberation2/LiberationSans-BoldItalic.ttf"}},
    {"times new roman", {"../liberation2/LiberationSerif-Regular.ttf", "../liberation2/LiberationSerif-Bold.ttf",
                         "../liberation2/LiberationSerif-Italic.ttf", "../liberation2/LiberationSerif-BoldItalic.ttf"}},
    {"courier new", {"../liberation2/LiberationMono-Regular.ttf", "../liberation2/LiberationMono-Bold.ttf",
                     "../liberation2/LiberationMono-Italic.ttf", "../liberation2/LiberationMono-BoldItalic.ttf"}},
    {"noto sans", {"../noto/NotoSans-Regular.ttf", "../noto/NotoSans-Bold.ttf", "../noto/NotoSans-Italic.ttf",
                   "../noto/NotoSans-BoldItalic.ttf"}},
    {"noto serif", {"../noto/NotoSerif-Regular.ttf", "../noto/NotoSerif-Bold.ttf", "../noto/NotoSerif-Italic.ttf",
                    "../noto/NotoSerif-BoldItalic.ttf"}},
};

int styleOf(const DeviceFontRequest& request) { return (request.bold ? 1 : 0) + (request.italic ? 2 : 0); }

}  // namespace

FreeTypeFontProvider::FreeTypeFontProvider(std::string fontDir)
    : library_(std::make_shared<FreeTypeLibrary>()), fontDir_(fontDir.empty() ? KESTORAL_DEVICE_FONT_DIR : std::move(fontDir)) {}

FreeTypeFontProvider::~FreeTypeFontProvider() = default;

std::string FreeTypeFontProvider::fileFor(const DeviceFontRequest& request) {
    static const char* const names[3][4] = {
        {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"},
        {"DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf", "DejaVuSerif-BoldItalic.ttf"},
        {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf", "DejaVuSansMono-BoldOblique.ttf"}};
    return names[int(familyOf(request.face))][styleOf(request)];
}

std::string FreeTypeFontProvider::namedFileFor(const DeviceFontRequest& request) {
    std::string family = lower(request.face);
    for (const NamedFace& named : kNamedFaces)
        if (family == named.family) return named.files[styleOf(request)];
    return {};
}

// The family's metric-compatible face where the machine has it, else the DejaVu face of its kind.
std::shared_ptr<const LayoutFont> FreeTypeFontProvider::open(const DeviceFontRequest& request) {
    if (!library_->handle) return nullptr;
    std::string named = namedFileFor(request);
    if (!named.empty())
        if (auto font = openFile(named)) return font;
    return openFile(fileFor(request));
}

std::shared_ptr<const LayoutFont> FreeTypeFontProvider::openFile(const std::string& file) {
    auto it = open_.find(file);
    if (it != open_.end()) return it->second;
    FT_Face face = nullptr;
    std::string path = fontDir_ + "/" + file;
    std::shared_ptr<const LayoutFont> font;
    if (FT_New_Face(library_->handle, path.c_str(), 0, &face) == 0) {
        if (FT_IS_SCALABLE(face)) {
            font = std::make_shared<FreeTypeFont>(face, library_);
        } else {
            FT_Done_Face(face);
        }
    }
    open_.emplace(file, font);
    return font;
}

}  // namespace swf
