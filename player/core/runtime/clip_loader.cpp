#include "clip_loader.h"

#include <cctype>

#include "../parse/image_decode.h"
#include "../parse/movie_loader.h"
#include "avm1/globals.h"
#include "avm1/interpreter.h"
#include "avm1/loadvars_codec.h"
#include "bitmap_data.h"
#include "clip_events.h"
#include "clip_object.h"
#include "display/bitmap_data_display.h"
#include "runtime_limits.h"
#include "script_runtime.h"
#include "text_field.h"
#include "text_field_object.h"

namespace swf {
namespace {

using avm1::Value;

// "_level7" -> 7 (any case); -1 for anything else.
int levelOf(const std::string& name) {
    static const char prefix[] = "_level";
    if (name.size() < 7 || name.size() > 12) return -1;
    for (size_t i = 0; i < 6; ++i)
        if (std::tolower(uint8_t(name[i])) != prefix[i]) return -1;
    int n = 0;
    for (size_t i = 6; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        n = n * 10 + (name[i] - '0');
        if (n > kMaxLevel) return -1;
    }
    return n;
}

// "a.swf?x=1&y=2": the file, and the variables the loaded clip starts with.
void splitQuery(const std::string& url, std::string& path, std::string& query) {
    const size_t mark = url.find('?');
    path = url.substr(0, mark);
    query = mark == std::string::npos ? std::string() : url.substr(mark + 1);
}

const Movie& emptyMovie() {
    static const Movie empty;
    return empty;
}

bool looksLikeMovie(const std::vector<uint8_t>& b) {
    return b.size() >= 8 && (b[0] == 'F' || b[0] == 'C' || b[0] == 'Z') && b[1] == 'W' && b[2] == 'S';
}

// A clip that gets new content keeps no variables and no class of what it showed.
void clearVariables(avm1::Vm& vm, avm1::Object& o) {
    std::vector<std::string> names;
    o.ownNames(names, true);
    for (const std::string& name : names) o.remove(name, vm.names());
    o.setProto(vm.builtins().movieClipProto);
}

// The new content is a new instance: it leaves its place in the tick order and takes a new
// one when it starts (the original's onLoadInit order shows it).
void leaveTickOrder(ClipHost& host, const Clip& clip) {
    for (auto& entry : host.execList)
        if (entry.lock().get() == &clip) entry.reset();
}

}  // namespace

std::string clipUrl(const Clip& clip, const std::string& movieUrl) {
    const Clip* c = &clip;
    for (int guard = 0; c && c->loadedUrl.empty() && guard < 1024; ++guard) c = c->parent();
    if (!c) return movieUrl;
    const size_t slash = movieUrl.find_last_of('/');
    return slash == std::string::npos ? c->loadedUrl : movieUrl.substr(0, slash + 1) + c->loadedUrl;
}

double contentBytes(const Clip& clip, bool stored) {
    if (clip.loadState == Clip::LoadState::Failed) return -1;
    if (clip.loadedBytes >= 0) return double(clip.loadedBytes);
    if (!clip.parent()) return stored ? clip.movie().storedLength : clip.movie().declaredLength;
    return clip.timeline() ? clip.timeline()->tagBytes : 0;
}

void ClipLoader::request(Kind kind, const Target& target, const std::string& url, avm1::Object* listener) {
    if (requests_.size() >= kMaxLoadRequestsPerFrame) {
        runtime_.vm().warn("load of \"" + url + "\" dropped: too many loads in one frame");
        return;
    }
    requests_.push_back({kind, target, url, listener});
}

bool ClipLoader::requestFromAction(const std::string& url, const std::string& target, uint8_t flags) {
    const bool intoClip = flags & 0x40;
    const bool variables = flags & 0x80;
    Target t;
    t.level = levelOf(target);
    if (t.level < 0) {
        if (!intoClip) return false;
        avm1::Object* resolved = runtime_.vm().interpreter().resolveTarget(target);
        auto* object = dynamic_cast<ClipObject*>(resolved);
        Clip* clip = object ? object->clip() : nullptr;
        if (!clip && variables && dynamic_cast<TextFieldObject*>(resolved)) {
            t.field = resolved;
            request(Kind::Variables, t, url);
            return true;
        }
        if (!clip) {
            runtime_.vm().warn("load of \"" + url + "\" ignored: no clip \"" + target + "\"");
            return true;
        }
        t.clip = clip->shared_from_this();
    }
    request(url.empty() ? Kind::Unload : variables ? Kind::Variables : Kind::Movie, t, url);
    return true;
}

void ClipLoader::importAssets(Clip& importer, const std::string& url) {
    std::string path, query;
    splitQuery(url, path, query);
    std::vector<uint8_t> bytes;
    if (!runtime_.vm().host().readMovieFile(path, bytes)) {
        runtime_.vm().warn("ImportAssets: no file \"" + path + "\" beside the movie");
        return;
    }
    const Movie* movie = movieFromFile(path, bytes);
    if (!movie) return;
    for (const Frame& frame : movie->timeline.frames)
        for (const FrameCommand& cmd : frame.commands)
            if (cmd.kind == FrameCommand::Kind::InitActions && host_.initActionsRun.insert(cmd.actions.get()).second)
                host_.queue.push_back({importer.weak_from_this(), cmd.actions, ActionPhase::InitActions});
}

void ClipLoader::completeRequests() {
    std::vector<Request> batch;
    batch.swap(requests_);  // loads the events ask for wait for the next frame
    avm1::Vm& vm = runtime_.vm();
    for (const Request& r : batch) {
        // Setting variables may run watchers and setters: their limits and throws end that
        // load only.
        try {
            switch (r.kind) {
                case Kind::Movie: loadMovie(r); break;
                case Kind::Variables: loadVariables(r); break;
                case Kind::Unload: unload(r); break;
            }
        } catch (const avm1::ScriptAbort& abort) {
            vm.warn("load of \"" + r.url + "\" aborted: " + abort.reason);
        } catch (const avm1::ScriptThrow& thrown) {
            vm.trace("Warning: Uncaught exception, " + vm.toString(thrown.value));
        }
    }
}

void ClipLoader::startLoadedContent() {
    std::vector<Loaded> batch;
    batch.swap(starting_);
    const ActionQueue::Mark queuedBefore = host_.queue.mark();
    for (Loaded& loaded : batch) {
        if (loaded.clip->removed) continue;
        startClip(host_, loaded.clip);
        if (loaded.listener) inits_.push_back(std::move(loaded));
    }
    // The new content's first frame runs before this frame's enterFrame handlers and scripts:
    // a parent's onEnterFrame that finds the child loaded finds its first frame's work done.
    host_.queue.promoteSince(queuedBefore);
}

void ClipLoader::reportInits() {
    if (inits_.empty()) return;
    std::vector<Loaded> batch;
    batch.swap(inits_);
    for (size_t i = batch.size(); i-- > 0;) {
        if (batch[i].clip->removed) continue;
        notify(batch[i].listener, "onLoadInit", {Value::object(runtime_.objectFor(*batch[i].clip))});
    }
    runtime_.runQueued(host_);
}

void ClipLoader::mark(avm1::Marker& m) const {
    for (const Request& r : requests_) {
        m.mark(r.listener);
        m.mark(r.target.field);
    }
    for (const Loaded& l : starting_) m.mark(l.listener);
    for (const Loaded& l : inits_) m.mark(l.listener);
}

std::shared_ptr<Clip> ClipLoader::findTarget(const Target& target, bool makeLevel) {
    if (target.level < 0) return target.clip.lock();
    auto it = host_.levels.find(target.level);
    if (it != host_.levels.end()) return it->second;
    if (!makeLevel) return nullptr;
    auto level = std::make_shared<Clip>(host_, nullptr, nullptr, 0);
    level->level = target.level;
    host_.levels[target.level] = level;
    return level;
}

const Movie* ClipLoader::movieFromFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (!looksLikeMovie(bytes)) return nullptr;
    auto cached = host_.loadedMovies.find(path);
    if (cached != host_.loadedMovies.end()) return cached->second.get();
    if (host_.loadedMovies.size() >= kMaxLoadedMovies) {
        runtime_.vm().warn("loadMovie: \"" + path + "\" not loaded: too many different movies");
        return nullptr;
    }
    std::string error;
    // Device-font fields are laid out while the movie runs, through the host's text services.
    std::shared_ptr<const Movie> movie = swf::loadMovie(bytes.data(), bytes.size(), error);
    if (!movie) {
        runtime_.vm().warn("loadMovie: \"" + path + "\" is not a playable movie: " + error);
        return nullptr;
    }
    if (host_.textServices) host_.textServices->fonts.addEmbedded(*movie);
    return (host_.loadedMovies[path] = std::move(movie)).get();
}

void ClipLoader::notify(avm1::Object* listener, const char* event, std::vector<Value> args) {
    if (!listener) return;
    avm1::Vm& vm = runtime_.vm();
    args.insert(args.begin(), vm.newString(event));
    try {
        vm.callMethod(Value::object(listener), "broadcastMessage", avm1::Arguments(args));
    } catch (const avm1::ScriptAbort& abort) {
        vm.warn("script aborted: " + abort.reason);
    } catch (const avm1::ScriptThrow& thrown) {
        vm.trace("Warning: Uncaught exception, " + vm.toString(thrown.value));
    }
}

void ClipLoader::loadMovie(const Request& r) {
    avm1::Vm& vm = runtime_.vm();
    std::string path, query;
    splitQuery(r.url, path, query);
    std::vector<uint8_t> bytes;
    const bool found = vm.host().readMovieFile(path, bytes);
    std::shared_ptr<Clip> clip = findTarget(r.target, found);
    if (!found) {
        vm.warn("loadMovie: no file \"" + path + "\" beside the movie");
        if (clip) {
            clip->loadedUrl = path;
            clip->loadState = Clip::LoadState::Failed;
        }
        Value target = clip ? Value::object(runtime_.objectFor(*clip)) : Value();
        notify(r.listener, "onLoadError", {target, vm.newString("URLNotFound"), Value::number(0)});
        return;
    }
    if (!clip || clip->removed) return;  // the target went before its load arrived
    const Movie* movie = movieFromFile(path, bytes);
    std::shared_ptr<BitmapData> image;
    int64_t size = int64_t(bytes.size());
    if (!movie && sniffImageFormat(bytes.data(), bytes.size()) != ImageFormat::Unknown) {
        Bitmap pixels;
        std::string problem;
        if (decodeImage(bytes.data(), bytes.size(), pixels, problem)) {
            image = std::make_shared<BitmapData>(1, 1, true, 0);
            image->pixels() = std::move(pixels);
        } else {
            vm.warn("loadMovie: image \"" + path + "\" not shown: " + problem);
        }
    } else if (!movie) {
        size = 0;  // neither a movie nor an image: the clip is emptied and nothing counts as loaded
    }
    ClipObject* object = runtime_.objectFor(*clip);
    {
        // The clip becomes a MovieClip of the globals of the new movie's kind of version.
        avm1::SwfVersionScope version(vm, movie ? movie->version : vm.movieVersion());
        clearVariables(vm, *object);
    }
    leaveTickOrder(host_, *clip);
    clip->replaceContent(movie ? *movie : emptyMovie(), movie ? &movie->timeline : nullptr);
    clip->loadedUrl = path;
    clip->loadedBytes = size;
    clip->loadState = movie ? Clip::LoadState::Own : image ? Clip::LoadState::Picture : Clip::LoadState::Failed;
    // A movie that replaces _level0 sets the stage scripts see (Stage.width); the host keeps
    // drawing at the first movie's size.
    if (clip->level == 0 && movie)
        avm1::setStageSize(vm, movie->frameRect.width() / 20.0, movie->frameRect.height() / 20.0);
    if (image) clip->placeByScript(0, std::make_unique<BitmapDataDisplay>(std::move(image), true, false), "");
    for (const auto& [name, value] : avm1::decodeVariables(query)) vm.setMember(object, name, vm.newString(value));
    const Value target = Value::object(object);
    notify(r.listener, "onLoadStart", {target});
    notify(r.listener, "onLoadProgress", {target, Value::number(double(size)), Value::number(double(size))});
    notify(r.listener, "onLoadComplete", {target, Value::number(0)});
    starting_.push_back({clip, r.listener});
}

void ClipLoader::loadVariables(const Request& r) {
    avm1::Vm& vm = runtime_.vm();
    std::string path, query;
    splitQuery(r.url, path, query);
    std::shared_ptr<Clip> clip = r.target.field ? nullptr : findTarget(r.target, false);
    std::vector<uint8_t> bytes;
    if (!r.target.field && (!clip || clip->removed)) return;
    if (!vm.host().readMovieFile(path, bytes)) {
        vm.warn("loadVariables: no file \"" + path + "\" beside the movie");
        return;
    }
    vm.checkStringSize(bytes.size());
    const std::string text(bytes.begin(), bytes.end());
    // Escaped bytes too are characters of the code page when the movie reads by it. SWF 5
    // movies read Western text, as the original on a Western system; a movie that sets
    // System.useCodepage asks for the system's page, and its files may be in any: well-formed
    // UTF-8 stays, the host tells the rest.
    const Value system = vm.getMember(vm.global(), "System");
    const bool westernPage = vm.swfVersion() < 6;
    const bool systemPage = !westernPage && system.isObject() && vm.toBoolean(vm.getMember(system, "useCodepage"));
    auto decode = [&](const std::string& s) {
        if (westernPage) return avm1::windows1252ToUtf8(s);
        if (systemPage && !avm1::isNonAsciiUtf8(s)) return vm.host().codePageToUtf8(s);
        return s;
    };
    avm1::Object* object = clip ? runtime_.objectFor(*clip) : r.target.field;
    for (const auto& [name, value] : avm1::decodeVariables(text)) vm.setMember(object, decode(name), vm.newString(decode(value)));
    if (clip) host_.queue.push_back({clip, nullptr, ActionPhase::Normal, kClipData});
}

void ClipLoader::unload(const Request& r) {
    std::shared_ptr<Clip> clip = findTarget(r.target, false);
    if (!clip || clip->removed) return;
    clip->replaceContent(emptyMovie(), nullptr);
    clip->loadedUrl.clear();
    clip->loadedBytes = 0;
    clip->loadState = Clip::LoadState::Unloaded;
    if (clip->level > 0) {
        // A level goes altogether: _levelN is undefined from now on.
        host_.levels.erase(clip->level);
        if (host_.onUnload) host_.onUnload(*clip);
        return;
    }
    // A clip (or _level0) stays where it is, empty; its unload event runs.
    host_.queue.push_back({clip, nullptr, ActionPhase::Normal, kClipUnload, clip});
}

}  // namespace swf
