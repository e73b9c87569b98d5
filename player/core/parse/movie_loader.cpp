#include "movie_loader.h"

#include "container.h"
#include "limits.h"
#include "load_context.h"
#include "records.h"
#include "sound_tags.h"

namespace swf {
namespace {

bool isControlTag(uint16_t code) {
    switch (code) {
        case kTagPlaceObject:
        case kTagPlaceObject2:
        case kTagPlaceObject3:
        case kTagRemoveObject:
        case kTagRemoveObject2:
        case kTagFrameLabel:
        case kTagDoAction:
        case kTagStartSound:
        case kTagStartSound2:
        case kTagSoundStreamBlock: return true;
        default: return false;
    }
}

class TagLoop {
public:
    explicit TagLoop(LoadContext& ctx) : ctx_(ctx) {}

    // Reads tags until End or the end of data into `timeline`; nesting > 0 inside sprites,
    // where only control tags count. Returns whether the tags ended with End after a ShowFrame.
    bool run(Reader& body, Timeline& timeline, int nesting) {
        Frame frame;
        bool frameOpen = false, ended = false;
        while (body.remaining() >= 2) {
            size_t offset = body.position();
            uint16_t header = body.u16();
            uint16_t code = header >> 6;
            size_t length = header & 0x3f;
            if (length == 0x3f) {
                if (body.remaining() < 4) break;
                length = body.u32();
            }
            if (length > body.remaining()) {
                // A cut file: the last tag is read as far as it goes.
                warn("tag " + std::to_string(code) + ": length beyond the end of data");
                length = body.remaining();
            }
            if (ctx_.movie.tags.size() < kMaxTagInfos) ctx_.movie.tags.push_back(TagInfo{code, uint32_t(length), offset, nesting});
            Reader tag(body.bytes(length), length, code);
            if (code == kTagEnd) {
                ended = true;
                break;
            }
            if (code == kTagShowFrame) {
                if (timeline.frames.size() >= kMaxFrames || ctx_.commands >= kMaxMovieCommands) continue;
                ++ctx_.commands;  // empty frames cost memory too
                timeline.frames.push_back(std::move(frame));
                frame = Frame{};
                frameOpen = false;
                continue;
            }
            try {
                if (handle(tag, code, frame, timeline, nesting)) frameOpen = true;
            } catch (const ParseError& e) {
                warn(e.what());
            }
        }
        if (frameOpen && timeline.frames.size() < kMaxFrames) timeline.frames.push_back(std::move(frame));
        return ended && !frameOpen;
    }

private:
    void warn(const std::string& what) {
        if (ctx_.movie.warnings.size() < kMaxWarnings) ctx_.movie.warnings.push_back(what);
    }

    // Returns true when the tag added something to the frame.
    bool handle(Reader& r, uint16_t code, Frame& frame, Timeline& timeline, int nesting) {
        if (isControlTag(code)) ctx_.chargeCommand(r);
        switch (code) {
            case kTagPlaceObject: frame.commands.push_back(readPlaceObject(r, 1, ctx_.movie.version)); return true;
            case kTagPlaceObject2: frame.commands.push_back(readPlaceObject(r, 2, ctx_.movie.version)); return true;
            case kTagPlaceObject3: frame.commands.push_back(readPlaceObject(r, 3, ctx_.movie.version)); return true;
            case kTagRemoveObject: frame.commands.push_back(readRemoveObject(r, 1)); return true;
            case kTagRemoveObject2: frame.commands.push_back(readRemoveObject(r, 2)); return true;
            case kTagFrameLabel: frame.labels.push_back(r.cstring()); return true;
            case kTagDoAction: {
                FrameCommand cmd;
                cmd.kind = FrameCommand::Kind::Actions;
                cmd.actions = decodeActions(r);
                frame.commands.push_back(std::move(cmd));
                return true;
            }
            case kTagDoInitAction: {
                FrameCommand cmd;
                cmd.kind = FrameCommand::Kind::InitActions;
                r.u16();  // the sprite the actions initialise; they run once either way
                cmd.actions = decodeActions(r);
                frame.commands.push_back(std::move(cmd));
                return true;
            }
            case kTagImportAssets:
            case kTagImportAssets2: {
                if (nesting > 0) return false;
                FrameCommand cmd;
                cmd.kind = FrameCommand::Kind::Import;
                cmd.importUrl = std::make_shared<const std::string>(r.cstring());  // the names after it are not used
                frame.commands.push_back(std::move(cmd));
                return true;
            }
            default: break;
        }
        if (handleSound(r, code, frame, timeline)) return true;
        if (nesting > 0) return false;  // definitions inside a sprite are not allowed
        Movie& movie = ctx_.movie;
        switch (code) {
            case kTagSetBackgroundColor: movie.background = readRgb(r); break;
            case kTagDefineShape: readDefineShape(r, ctx_, 1); break;
            case kTagDefineShape2: readDefineShape(r, ctx_, 2); break;
            case kTagDefineShape3: readDefineShape(r, ctx_, 3); break;
            case kTagDefineShape4: readDefineShape(r, ctx_, 4); break;
            case kTagDefineMorphShape: readDefineMorphShape(r, ctx_, 1); break;
            case kTagDefineMorphShape2: readDefineMorphShape(r, ctx_, 2); break;
            case kTagJpegTables: ctx_.jpegTables.assign(r.data(), r.data() + r.size()); break;
            case kTagDefineBits:
            case kTagDefineBitsJpeg2:
            case kTagDefineBitsJpeg3:
            case kTagDefineBitsJpeg4: readDefineBits(r, ctx_, code); break;
            case kTagDefineBitsLossless: readDefineBitsLossless(r, ctx_, 1); break;
            case kTagDefineBitsLossless2: readDefineBitsLossless(r, ctx_, 2); break;
            case kTagDefineFont: readDefineFont(r, ctx_); break;
            case kTagDefineFont2: readDefineFont2(r, ctx_, 2); break;
            case kTagDefineFont3: readDefineFont2(r, ctx_, 3); break;
            case kTagDefineFontInfo: readDefineFontInfo(r, ctx_, 1); break;
            case kTagDefineFontInfo2: readDefineFontInfo(r, ctx_, 2); break;
            case kTagDefineText: readDefineText(r, ctx_, 1); break;
            case kTagDefineText2: readDefineText(r, ctx_, 2); break;
            case kTagDefineEditText: readDefineEditText(r, ctx_); break;
            case kTagCsmTextSettings: readCsmTextSettings(r, ctx_); break;
            case kTagDefineButton: readDefineButton(r, ctx_, 1); break;
            case kTagDefineButton2: readDefineButton(r, ctx_, 2); break;
            case kTagDefineSprite: readSprite(r, nesting); break;
            case kTagDefineSound: readDefineSound(r, ctx_); break;
            case kTagDefineButtonSound: readDefineButtonSound(r, ctx_); break;
            case kTagDefineVideoStream: readDefineVideoStream(r, ctx_); break;
            case kTagDoAbc:
            case kTagDoAbc1: movie.usesAs3 = true; break;
            case kTagExportAssets: readExportAssets(r, movie); break;
            case kTagFileAttributes: movie.useNetwork = r.u8() & 0x01; break;
            case kTagScriptLimits:
                movie.maxRecursionDepth = r.u16();
                movie.scriptTimeoutSeconds = r.u16();
                break;
            default: break;  // unknown or not needed for drawing: skipped
        }
        return false;
    }

    // Sound tags of a timeline (the movie's or a sprite's); true when the frame got something.
    bool handleSound(Reader& r, uint16_t code, Frame& frame, Timeline& timeline) {
        switch (code) {
            case kTagStartSound: frame.sounds.push_back(readStartSound(r, 1)); return true;
            case kTagStartSound2: frame.sounds.push_back(readStartSound(r, 2)); return true;
            case kTagSoundStreamHead:
            case kTagSoundStreamHead2:
                // One soundtrack per timeline: a second head is ignored, as the blocks follow the first.
                if (!timeline.streamHead) timeline.streamHead = readSoundStreamHead(r);
                return false;
            case kTagSoundStreamBlock:
                frame.streamBlock = readSoundStreamBlock(r, timeline.streamHead ? &*timeline.streamHead : nullptr);
                return true;
            default: return false;
        }
    }

    // Linkage names for attachMovie; a later export of a name replaces the earlier one.
    static void readExportAssets(Reader& r, Movie& movie) {
        uint16_t count = r.u16();
        for (uint16_t i = 0; i < count && !r.atEnd() && movie.exports.size() < kMaxExports; ++i) {
            uint16_t id = r.u16();
            movie.exports[r.cstring()] = id;
        }
    }

    void readSprite(Reader& r, int nesting) {
        if (nesting + 1 > kMaxSpriteNesting) r.fail("sprites nested too deeply");
        auto sprite = std::make_shared<SpriteCharacter>();
        sprite->id = r.u16();
        r.u16();  // frame count: the ShowFrame tags decide
        sprite->timeline.tagBytes = uint32_t(r.remaining());
        sprite->timeline.wraps = run(r, sprite->timeline, nesting + 1);
        ctx_.define(sprite->id, sprite);
    }

    // Its VideoFrame tags are skipped: nothing decodes them.
    static void readDefineVideoStream(Reader& r, LoadContext& ctx) {
        auto video = std::make_shared<VideoCharacter>();
        video->id = r.u16();
        video->frameCount = r.u16();
        video->width = r.u16();
        video->height = r.u16();
        ctx.define(video->id, video);
    }

    LoadContext& ctx_;
};

}  // namespace

std::shared_ptr<const Movie> loadMovie(const uint8_t* data, size_t size, std::string& error, FontProvider* deviceFonts) {
    Container container;
    if (!openContainer(data, size, container, error)) return nullptr;
    auto movie = std::make_shared<Movie>();
    movie->compression = container.compression;
    movie->version = container.version;
    movie->declaredLength = container.declaredLength;
    movie->storedLength = uint32_t(size);
    movie->truncated = container.truncated;
    Reader header(container.body.data(), container.body.size());
    try {
        movie->frameRect = readRect(header);
        movie->frameRateRaw = header.u16();
        movie->declaredFrameCount = header.u16();
    } catch (const ParseError&) {
        error = "file too short for the movie header";
        return nullptr;
    }
    Reader body(container.body.data() + header.position(), container.body.size() - header.position());
    LoadContext ctx(*movie, deviceFonts);
    TagLoop(ctx).run(body, movie->timeline, 0);
    if (movie->timeline.frames.empty()) movie->timeline.frames.emplace_back();
    return movie;
}

}  // namespace swf
