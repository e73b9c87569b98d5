// Files loaded into clips and levels: movies, JPEG/PNG/GIF images and URL-encoded variables,
// read beside the movie through the host's services (a screen saver reads nothing from the
// network). As in the original, a request a script makes completes between frames: the
// replacements and MovieClipLoader's start, progress and complete events come before the next
// frame's timelines step, the loaded movie's first frame runs with that frame's scripts, and
// onLoadInit follows those scripts, the newest load first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "avm1/object.h"
#include "clip.h"

namespace swf {

class ScriptRuntime;

// _url: the file loaded into the clip or its nearest ancestor, beside `movieUrl` (the movie's
// own, from the host); the movie's own URL for what it placed itself.
std::string clipUrl(const Clip& clip, const std::string& movieUrl);
// What a clip's content weighs: the file loaded into it, a level's movie (`stored`: as the
// file holds it, compressed or not; otherwise as its header declares), a sprite's tags.
double contentBytes(const Clip& clip, bool stored);

class ClipLoader {
public:
    enum class Kind { Movie, Variables, Unload };
    // A clip, or _levelN (made by a movie loaded into it when it does not exist yet).
    struct Target {
        std::weak_ptr<Clip> clip;
        int level = -1;
        avm1::Object* field = nullptr;  // variables only: a text field takes them as its own properties
    };

    ClipLoader(ScriptRuntime& runtime, ClipHost& host) : runtime_(runtime), host_(host) {}

    // `listener`: a MovieClipLoader, whose broadcastMessage gets the load's events.
    void request(Kind kind, const Target& target, const std::string& url, avm1::Object* listener = nullptr);
    // GetURL / GetURL2: a load when the target is a level ("_level2") or, with the load-target
    // flag, a clip path; false for a window name (not a load).
    bool requestFromAction(const std::string& url, const std::string& target, uint8_t flags);
    // ImportAssets: every DoInitAction of the movie at `url` (beside this one) runs once, on
    // the importing clip, after the init actions the importer's frame queued before it. The
    // imported characters themselves are not taken over.
    void importAssets(Clip& importer, const std::string& url);

    // Before the timelines step: the requests made so far, in order.
    void completeRequests();
    // After the timelines stepped: the replaced clips start their first frame.
    void startLoadedContent();
    // After the frame's scripts: onLoadInit for the loads whose first frame ran, newest first.
    void reportInits();

    void mark(avm1::Marker& m) const;

private:
    struct Request {
        Kind kind;
        Target target;
        std::string url;
        avm1::Object* listener;
    };
    struct Loaded {
        std::shared_ptr<Clip> clip;
        avm1::Object* listener;
    };

    std::shared_ptr<Clip> findTarget(const Target& target, bool makeLevel);
    void loadMovie(const Request& r);
    void loadVariables(const Request& r);
    void unload(const Request& r);
    // The file at `path` as a movie (cached per path); an image or unknown data gives null.
    const Movie* movieFromFile(const std::string& path, const std::vector<uint8_t>& bytes);
    void notify(avm1::Object* listener, const char* event, std::vector<avm1::Value> args);

    ScriptRuntime& runtime_;
    ClipHost& host_;
    std::vector<Request> requests_;
    std::vector<Loaded> starting_;  // replaced this frame, first frame not yet shown
    std::vector<Loaded> inits_;     // shown, onLoadInit not yet sent
};

}  // namespace swf
