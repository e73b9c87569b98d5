// Device fonts on Windows through GDI: `_sans` is Arial, `_serif` Times New Roman, `_typewriter`
// Courier New; other families are asked of GDI by name, and one it does not have falls back to
// Times New Roman, the original player's default face. Where a system lacks those faces GDI
// picks one of the same kind (swiss, roman, fixed-pitch modern). Only TrueType faces are used.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include <text/layout_font.h>

namespace swf {

class GdiFontProvider : public FontProvider {
public:
    std::shared_ptr<const LayoutFont> open(const DeviceFontRequest& request) override;

    // The GDI face name a movie's face name maps to.
    static std::wstring faceNameFor(const std::string& face);

private:
    std::map<std::tuple<std::wstring, bool, bool>, std::shared_ptr<const LayoutFont>> open_;
};

}  // namespace swf
