// A clip as a script object: its variables are the object's properties; its timeline
// properties (_x, _currentframe, _name, ...) and child clips are read through getSpecial.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "avm1/script_clip.h"
#include "clip.h"

namespace swf {

class ScriptRuntime;

class ClipObject final : public avm1::ScriptClip {
public:
    ClipObject(avm1::Object* proto, const std::shared_ptr<Clip>& clip, ScriptRuntime& runtime);
    ~ClipObject() override;

    // Scripts read clips constantly: the pointer is kept beside the weak reference so a read
    // costs one check that the clip is still there, not a lock.
    Clip* clip() const { return clip_.expired() ? nullptr : rawClip_; }
    ScriptRuntime& runtime() const { return runtime_; }
    // Buttons are objects to typeof; clips are movieclips.
    const char* typeOf() const override {
        Clip* c = clip();
        return c && c->button() ? "object" : "movieclip";
    }

    bool getSpecial(avm1::Vm& vm, const std::string& name, avm1::Value& out) override;
    bool setSpecial(avm1::Vm& vm, const std::string& name, const avm1::Value& value) override;

    // A clip taken off the display list is dead to scripts (its references convert to "",
    // its scope gives way to the root) except while its own unload event runs.
    bool alive() const override;
    // This object while its clip is on the display list; afterwards the object of the live
    // clip now at the target path this one had when it was made (the original resolves a
    // kept reference by that path: a clip made again under the old name is found through it,
    // a rename since is forgotten), or null.
    avm1::ScriptClip* resolved() override { return live(); }
    ClipObject* live();
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
    int findLabel(const std::string& label) override;
    std::vector<ActionListPtr> frameScripts(int frame) override;
    int movieVersion() override;
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

    std::optional<int32_t> tabIndex;  // tab_order.cpp

private:
    bool getEffectProperty(avm1::Vm& vm, const std::string& name, avm1::Value& out);
    bool setEffectProperty(avm1::Vm& vm, const std::string& name, const avm1::Value& value);
    // A child text field or video by name (they are no clips).
    bool childField(const std::string& name, avm1::Value& out);
    // The path through the parents as they are, removed or not (a clip whose unload event
    // runs keeps its path, as do the removed parents around it).
    std::string pathFromLevel();
    void rememberPath();
    ClipObject* clipAtRememberedPath();

    std::weak_ptr<Clip> clip_;
    Clip* rawClip_;
    ScriptRuntime& runtime_;
    std::string name_;  // the last instance name seen, for paths through a removed parent
    // The target path as the level and the instance names under it; level -1 until known.
    int pathLevel_ = -1;
    std::vector<std::string> pathNames_;
    std::optional<bool> focusRect_;  // null until set: the stage's setting applies
    bool lockRoot_ = false;
};

}  // namespace swf
