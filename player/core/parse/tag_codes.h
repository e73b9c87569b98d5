// Tag codes the loader knows by name.
#pragma once

#include <cstdint>

namespace swf {

enum TagCode : uint16_t {
    kTagEnd = 0,
    kTagShowFrame = 1,
    kTagDefineShape = 2,
    kTagPlaceObject = 4,
    kTagRemoveObject = 5,
    kTagDefineBits = 6,
    kTagDefineButton = 7,
    kTagJpegTables = 8,
    kTagSetBackgroundColor = 9,
    kTagDefineFont = 10,
    kTagDefineText = 11,
    kTagDoAction = 12,
    kTagDefineSound = 14,
    kTagStartSound = 15,
    kTagDefineButtonSound = 17,
    kTagSoundStreamHead = 18,
    kTagSoundStreamBlock = 19,
    kTagDefineFontInfo = 13,
    kTagDefineBitsLossless = 20,
    kTagDefineBitsJpeg2 = 21,
    kTagDefineShape2 = 22,
    kTagPlaceObject2 = 26,
    kTagRemoveObject2 = 28,
    kTagDefineShape3 = 32,
    kTagDefineText2 = 33,
    kTagDefineButton2 = 34,
    kTagDefineBitsJpeg3 = 35,
    kTagDefineBitsLossless2 = 36,
    kTagDefineEditText = 37,
    kTagDefineSprite = 39,
    kTagFrameLabel = 43,
    kTagExportAssets = 56,
    kTagImportAssets = 57,
    kTagDoInitAction = 59,
    kTagDefineVideoStream = 60,
    kTagScriptLimits = 65,
    kTagDefineMorphShape = 46,
    kTagSoundStreamHead2 = 45,
    kTagDefineFont2 = 48,
    kTagDefineFontInfo2 = 62,
    kTagFileAttributes = 69,
    kTagPlaceObject3 = 70,
    kTagImportAssets2 = 71,
    kTagDoAbc1 = 72,
    kTagCsmTextSettings = 74,
    kTagDefineFont3 = 75,
    kTagDoAbc = 82,
    kTagDefineShape4 = 83,
    kTagDefineMorphShape2 = 84,
    kTagDefineBitsJpeg4 = 90,
    kTagStartSound2 = 89,
};

const char* tagName(uint16_t code);  // "Unknown" for codes not listed

}  // namespace swf
