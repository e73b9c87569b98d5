// The player's script side: one Vm per movie, the clip objects of the display list, the
// frame scripts queued by timelines, timers and collection between frames.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "avm1/host_services.h"
#include "avm1/vm.h"
#include "clip.h"
#include "clip_loader.h"

namespace swf {

class BitmapData;

class ClipObject;
class TextFieldScripts;

class ScriptRuntime {
public:
    ScriptRuntime(const Movie& movie, Clip& root, avm1::HostServices& host);
    ~ScriptRuntime();

    avm1::Vm& vm() { return *vm_; }
    // The clip's script object, made on first use.
    ClipObject* objectFor(Clip& clip);
    // The removed clip whose unload event runs now: it and its path stay valid meanwhile.
    bool isUnloading(const Clip& clip) const { return unloading_ == &clip; }
    Clip& root() { return root_; }
    TextFieldScripts& textFields() { return *texts_; }
    // loadMovie, loadVariables, MovieClipLoader (clip_loader.h); the player calls its three
    // steps through these, around the tick.
    ClipLoader& loader() { return *loader_; }
    void completeLoads() { loader_->completeRequests(); }
    void startLoadedContent() { loader_->startLoadedContent(); }
    void reportLoadInits() { loader_->reportInits(); }
    // The runtime of the movie `vm` plays (through its _level0 object); null if none yet.
    static ScriptRuntime* of(avm1::Vm& vm);

    // Runs the frame scripts timelines queued, then the timers that are due, then collects
    // when enough was allocated. The script time limit counts from here.
    void runFrame(ClipHost& host);
    // Runs queued scripts only (a goto from the host).
    void runQueued(ClipHost& host);
    // Runs the due timers only, each call's queued scripts after it.
    void runTimers(ClipHost& host);

    // A clip a script made (attachMovie, duplicateMovieClip, createEmptyMovieClip): copies
    // `initObject`'s properties onto it, then runs its initialize and construct events and its
    // class's constructor at once; its load event and first frame's scripts stay queued.
    ClipObject* constructByScript(Clip& clip, avm1::Object* initObject);
    // _global[object].broadcastMessage(message): Key and Mouse listeners.
    void broadcast(const char* object, const char* message);
    // The constructor Object.registerClass gave the clip's linkage name, or null.
    avm1::Object* registeredClass(const Clip& clip);
    const std::string* exportName(uint16_t characterId) const;
    // The edge getBounds and getRect give an empty clip: the largest 28-bit twips value, read
    // exactly (6710886.35) in the clip's own space; seen from another clip it passes through a
    // float (6710886.4) once a SWF 8 root or any SWF 8 call of either method has been seen, and
    // so for the rest of the show.
    double emptyBoundsEdge(bool seenFromAnotherClip) const;
    // An onClipEvent(unload) or an onUnload method, own or inherited (ClipHost::hasUnloadHandler).
    bool hasUnloadHandler(Clip& clip);
    void noteBoundsCallVersion(int version) { if (version >= 8) emptyEdgeAsFloat_ = true; }

private:
    const Clip* unloading_ = nullptr;
    bool emptyEdgeAsFloat_ = false;
    // The runtime's classes on the globals in force (twice when movies of both kinds of
    // version run, see Vm::globalsFamily).
    void installClasses();
    void markDisplayList(avm1::Marker& m, Clip& clip);
    // A clip event: the clip's onClipEvent handlers for it, then its method (script_events.cpp).
    void runEvent(Clip& clip, uint32_t event);
    void dispatchEvent(Clip& clip, uint32_t event);
    void callHandler(avm1::Object* self, const char* method);
    void callFromHost(const avm1::Value& fn, const avm1::Value& self, const avm1::Arguments& args);

    Clip& root_;
    const Movie& movie_;
    std::unique_ptr<avm1::Vm> vm_;
    std::map<uint16_t, std::string> exportNames_;  // character -> linkage name
    std::unique_ptr<TextFieldScripts> texts_;
    std::unique_ptr<ClipLoader> loader_;
    avm1::Object* buttonProto_ = nullptr;
};

void registerMovieClipClass(avm1::Vm& vm);
// TextField and TextFormat, and MovieClip.createTextField.
void registerTextFieldClasses(ScriptRuntime& runtime);
// flash.display.BitmapData (bitmap_data_class.cpp; loadBitmap reads the movie's exported
// bitmaps), and the pixels behind one of its objects (null for anything else), shared with
// whatever shows them.
void registerBitmapDataClass(avm1::Vm& vm, const Movie& movie);
std::shared_ptr<BitmapData> bitmapDataOf(const avm1::Value& v);
void registerMovieClipDrawing(avm1::Vm& vm, avm1::Object* proto);  // movie_clip_drawing.cpp
void registerColorClass(avm1::Vm& vm);
void registerMovieClipLoaderClass(avm1::Vm& vm);  // movie_clip_loader_class.cpp
avm1::Object* registerButtonClass(avm1::Vm& vm);  // returns Button.prototype

}  // namespace swf
