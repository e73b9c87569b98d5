// Device fonts through FreeType for the native tools and tests: `_sans`, `_serif` and
// `_typewriter` (and the common family names that mean them) map to DejaVu Sans, Serif and
// Sans Mono; any other family falls back to the serif face, as the original's default font.
// Arial, Times New Roman and Courier New open their metric-compatible Liberation faces, Noto
// Sans and Serif their own, where the machine has them (tools/setup.sh installs them).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include <text/layout_font.h>

namespace swf {

struct FreeTypeLibrary;

class FreeTypeFontProvider : public FontProvider {
public:
    // `fontDir` holds the DejaVu .ttf files; empty: the folder configured at build time.
    explicit FreeTypeFontProvider(std::string fontDir = {});
    ~FreeTypeFontProvider() override;
    FreeTypeFontProvider(const FreeTypeFontProvider&) = delete;
    FreeTypeFontProvider& operator=(const FreeTypeFontProvider&) = delete;

    std::shared_ptr<const LayoutFont> open(const DeviceFontRequest& request) override;

    // The DejaVu file a request resolves to, without the folder (for tests and diagnostics).
    static std::string fileFor(const DeviceFontRequest& request);
    // The metric-compatible face's file, relative to the DejaVu folder; empty for other families.
    static std::string namedFileFor(const DeviceFontRequest& request);

private:
    std::shared_ptr<const LayoutFont> openFile(const std::string& file);

    std::shared_ptr<FreeTypeLibrary> library_;  // shared with every face opened, which may outlive us
    std::string fontDir_;
    std::map<std::string, std::shared_ptr<const LayoutFont>> open_;  // by file name
};

}  // namespace swf
