// What the interpreter needs of a movie clip as a script object; the display layer
// implements it. A clip object outlives its clip when scripts still hold it: `alive()` then
// turns false and every operation becomes a no-op.
#pragma once

#include <string>
#include <vector>

#include "../../model/actions.h"
#include "object.h"

namespace swf::avm1 {

class ScriptClip : public Object {
public:
    using Object::Object;
    const char* typeOf() const override { return "movieclip"; }

    virtual bool alive() const = 0;
    // What a reference to this clip names now: the clip itself while it is on the display
    // list; once removed, the clip that holds its old target path (a clip made again under the
    // same name), or null. Scripts reach clips through this; alive() tells about this one.
    virtual ScriptClip* resolved() { return alive() ? this : nullptr; }
    virtual ScriptClip* parentClip() = 0;
    virtual ScriptClip* rootClip() = 0;
    virtual ScriptClip* childClip(const std::string& name, NameRule rule) = 0;
    // for..in lists the names of what the clip shows after its own variables, topmost first.
    virtual void childNames(std::vector<std::string>& out) { (void)out; }
    // "_level0.a.b" (dot syntax) and "/a/b" (slash syntax, for TargetPath in SWF 4 style).
    virtual std::string targetPath() = 0;
    virtual std::string slashPath() = 0;
    // The SWF version of the movie the clip's timeline came from (a movie loaded into it runs
    // by its own version's rules); 0: the player's movie.
    virtual int movieVersion() { return 0; }

    // Frame control; frames are 0-based here. Out-of-range frames are clamped by the clip.
    virtual int currentFrame() = 0;
    virtual int totalFrames() = 0;
    virtual void gotoFrame(int frame, bool andPlay) = 0;
    // False when the clip has no such label. `bias`: frames added to the label's, as a scene's
    // start is to every frame named in it (gotoAndStop("Scene 2", "intro") is "intro" + 13).
    virtual bool gotoLabel(const std::string& label, bool andPlay, int bias = 0) = 0;
    // The 0-based frame a label names, or -1.
    virtual int findLabel(const std::string&) { return -1; }
    // The DoAction scripts of a 0-based frame, for the Call action (run without moving there).
    virtual std::vector<ActionListPtr> frameScripts(int) { return {}; }
    virtual void play() = 0;
    virtual void stop() = 0;

    // GetProperty / SetProperty by the SWF 4 index (0 = _x ... 21 = _ymouse).
    virtual Value propertyByIndex(Vm& vm, int index) = 0;
    virtual void setPropertyByIndex(Vm& vm, int index, const Value& value) = 0;
    // duplicateMovieClip / removeMovieClip.
    virtual void duplicate(Vm& vm, const std::string& name, int depth) = 0;
    virtual void removeClip(Vm& vm) = 0;
    // startDrag / stopDrag: the clip follows the mouse (centred on it when `lockCenter`),
    // kept inside `bounds` (xMin, yMin, xMax, yMax in the parent's pixels) when given.
    virtual void startDrag(bool lockCenter, const double* bounds) = 0;
    virtual void stopDrag() = 0;
};

}  // namespace swf::avm1

namespace swf::avm1 {

class Interpreter;
// gotoAndPlay / gotoAndStop with a frame value: a number (from 1), a label, a numeric string
// or "path:frame". `bias` is GotoFrame2's scene bias.
void gotoFrameValue(Interpreter& in, ScriptClip* clip, const Value& frame, bool andPlay, int bias);

}  // namespace swf::avm1
