// A clip as a script object: its variables are the object's properties; its timeline
// properties (_x, _currentframe, _name, ...) and child clips are read through getSpecial.
#pragma once

#include <memory>
#include <optional>

#include "avm1/script_clip.h"
#include "clip.h"

namespace swf {

class ScriptRuntime;

class ClipObject final : public avm1::ScriptClip {
public:
    ClipObject(avm1::Object* proto, const std::shared_ptr<Clip>& clip, ScriptRuntime& runtime);
    ~ClipObject() override;

    Clip* clip() const { return clip_.lock().get(); }
    ScriptRuntime& runtime() const { return runtime_; }
    // Buttons are objects to typeof; clips are movieclips.
    const char* typeOf() const override {
        Clip* c = clip();
        return c && c->button() ? "object" : "movieclip";
    }

    bool getSpecial(avm1::Vm& vm, const std::string& name, avm1::Value& out) override;
    bool setSpecial(avm1::Vm& vm, const std::string& name, const avm1::Value& value) override;

    bool alive() const override { return !clip_.expired(); }
    ScriptClip* parentClip() override;
    ScriptClip* rootClip() override;
    ScriptClip* childClip(const std::string& name, avm1::NameRule rule) override;
    void childNames(std::vector<std::string>& out) override;
    std::string targetPath() override;
    std::string slashPath() override;
    int currentFrame() override;
    int totalFrames() override;
    void gotoFrame(int frame, bool andPlay) override;
    bool gotoLabel(const std::string& label, bool andPlay, int bias = 0) override;
    void play() override;
    void stop() override;
    avm1::Value propertyByIndex(avm1::Vm& vm, int index) override;
    void setPropertyByIndex(avm1::Vm& vm, int index, const avm1::Value& value) override;
    void duplicate(avm1::Vm& vm, const std::string& name, int depth) override;
    void removeClip(avm1::Vm& vm) override;
    void startDrag(bool lockCenter, const double* bounds) override;
    void stopDrag() override;

    // The clip's own entry in its parent's list (the root's in the host); null once removed.
    DisplayState* entry();
    std::string instanceName();

private:
    bool getEffectProperty(avm1::Vm& vm, const std::string& name, avm1::Value& out);
    bool setEffectProperty(avm1::Vm& vm, const std::string& name, const avm1::Value& value);
    bool childField(const std::string& name, avm1::Value& out);

    std::weak_ptr<Clip> clip_;
    ScriptRuntime& runtime_;
    std::optional<bool> focusRect_;  // null until set: the stage's setting applies
    bool lockRoot_ = false;
};

}  // namespace swf
