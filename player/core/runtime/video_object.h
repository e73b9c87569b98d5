// A placed video as a script object (Video): its name, its place in the paths of the display
// list and the transform properties it shares with clips. Nothing plays in it.
#pragma once

#include <memory>
#include <string>

#include "avm1/object.h"
#include "clip.h"
#include "display/video_display.h"

namespace swf {

class ScriptRuntime;

class VideoObject final : public avm1::Object {
public:
    VideoObject(avm1::Object* proto, Clip& parent, VideoDisplay& video, ScriptRuntime& runtime);
    ~VideoObject() override;

    // The video while it is on its parent's display list; null once it left.
    VideoDisplay* video();
    // "_level0.clip.myVideo"; empty once the video left.
    std::string targetPath();

    bool getSpecial(avm1::Vm& vm, const std::string& name, avm1::Value& out) override;
    bool setSpecial(avm1::Vm& vm, const std::string& name, const avm1::Value& value) override;

private:
    std::weak_ptr<Clip> parent_;
    VideoDisplay* video_;  // only compared until found again on the parent's list
    ScriptRuntime& runtime_;
};

// The Video object of the video named `name` among `parent`'s children, made on first use;
// null when no video has that name.
avm1::Object* childVideo(ScriptRuntime& runtime, Clip& parent, const std::string& name);

// Video.prototype.toString: a placed video reads as its path, as a clip does.
void registerVideoMethods(avm1::Vm& vm);

}  // namespace swf
