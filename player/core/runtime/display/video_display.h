// A video stream placed on a display list. Its frames are not decoded, so it draws nothing;
// it still holds its depth and its name, and scripts reach it by that name as a Video object.
#pragma once

#include "display_object.h"

namespace swf {
namespace avm1 {
class Object;
}

class VideoDisplay final : public DisplayObject {
public:
    explicit VideoDisplay(const VideoCharacter& video) : DisplayObject(video) {}

    // Its script object, made on first use; the runtime marks it while the video is listed.
    avm1::Object* scriptObject = nullptr;
};

}  // namespace swf
