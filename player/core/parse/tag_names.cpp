#include "tag_codes.h"

namespace swf {

const char* tagName(uint16_t code) {
    switch (code) {
        case kTagEnd: return "End";
        case kTagShowFrame: return "ShowFrame";
        case kTagDefineShape: return "DefineShape";
        case kTagPlaceObject: return "PlaceObject";
        case kTagRemoveObject: return "RemoveObject";
        case kTagDefineBits: return "DefineBits";
        case kTagDefineButton: return "DefineButton";
        case kTagJpegTables: return "JPEGTables";
        case kTagSetBackgroundColor: return "SetBackgroundColor";
        case kTagDefineFont: return "DefineFont";
        case kTagDefineText: return "DefineText";
        case kTagDoAction: return "DoAction";
        case kTagDoInitAction: return "DoInitAction";
        case kTagExportAssets: return "ExportAssets";
        case kTagScriptLimits: return "ScriptLimits";
        case kTagDefineFontInfo: return "DefineFontInfo";
        case kTagDefineBitsLossless: return "DefineBitsLossless";
        case kTagDefineBitsJpeg2: return "DefineBitsJPEG2";
        case kTagDefineShape2: return "DefineShape2";
        case kTagPlaceObject2: return "PlaceObject2";
        case kTagRemoveObject2: return "RemoveObject2";
        case kTagDefineShape3: return "DefineShape3";
        case kTagDefineText2: return "DefineText2";
        case kTagDefineButton2: return "DefineButton2";
        case kTagDefineBitsJpeg3: return "DefineBitsJPEG3";
        case kTagDefineBitsLossless2: return "DefineBitsLossless2";
        case kTagDefineEditText: return "DefineEditText";
        case kTagDefineSprite: return "DefineSprite";
        case kTagDefineVideoStream: return "DefineVideoStream";
        case kTagFrameLabel: return "FrameLabel";
        case kTagDefineMorphShape: return "DefineMorphShape";
        case kTagDefineFont2: return "DefineFont2";
        case kTagDefineFontInfo2: return "DefineFontInfo2";
        case kTagFileAttributes: return "FileAttributes";
        case kTagPlaceObject3: return "PlaceObject3";
        case kTagCsmTextSettings: return "CSMTextSettings";
        case kTagDoAbc1: return "DoABC (1)";
        case kTagDefineFont3: return "DefineFont3";
        case kTagDoAbc: return "DoABC";
        case kTagDefineShape4: return "DefineShape4";
        case kTagDefineMorphShape2: return "DefineMorphShape2";
        case kTagDefineBitsJpeg4: return "DefineBitsJPEG4";
        case kTagDefineSound: return "DefineSound";
        case kTagStartSound: return "StartSound";
        case kTagStartSound2: return "StartSound2";
        case kTagDefineButtonSound: return "DefineButtonSound";
        case kTagSoundStreamHead: return "SoundStreamHead";
        case kTagSoundStreamHead2: return "SoundStreamHead2";
        case kTagSoundStreamBlock: return "SoundStreamBlock";
        default: return "Unknown";
    }
}

}  // namespace swf
