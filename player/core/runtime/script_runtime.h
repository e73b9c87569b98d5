// The player's script side: one Vm per movie, the clip objects of the display list, the
// frame scripts queued by timelines, timers and collection between frames.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "avm1/host_services.h"
#include "avm1/vm.h"
#include "clip.h"

namespace swf {

class BitmapData;

class ClipObject;

class ScriptRuntime {
public:
    ScriptRuntime(const Movie& movie, Clip& root, avm1::HostServices& host);
    ~ScriptRuntime();

    avm1::Vm& vm() { return *vm_; }
    // The clip's script object, made on first use.
    ClipObject* objectFor(Clip& clip);
    Clip& root() { return root_; }

    // Runs the frame scripts timelines queued, then the timers that are due, then collects
    // when enough was allocated. The script time limit counts from here.
    void runFrame(ClipHost& host);
    // Runs queued scripts only (a goto from the host).
    void runQueued(ClipHost& host);

private:
    void markDisplayList(avm1::Marker& m, Clip& clip);

    Clip& root_;
    std::unique_ptr<avm1::Vm> vm_;
    avm1::Object* buttonProto_ = nullptr;
};

void registerMovieClipClass(avm1::Vm& vm);
// flash.display.BitmapData (bitmap_data_class.cpp), and the pixels behind one of its objects
// (null for anything else), shared with whatever shows them.
void registerBitmapDataClass(avm1::Vm& vm);
std::shared_ptr<BitmapData> bitmapDataOf(const avm1::Value& v);
void registerMovieClipDrawing(avm1::Vm& vm, avm1::Object* proto);  // movie_clip_drawing.cpp
void registerColorClass(avm1::Vm& vm);
avm1::Object* registerButtonClass(avm1::Vm& vm);  // returns Button.prototype

}  // namespace swf
