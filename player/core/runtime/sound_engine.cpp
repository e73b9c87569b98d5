#include "sound_engine.h"

#include <algorithm>

#include "../model/model_limits.h"
#include "runtime_limits.h"

namespace swf {
namespace {

constexpr size_t kDecodeChunk = 16 * 1024;  // MP3 bytes per decoder call, so the cap stops early

// The coded bytes that can make at most kMaxSoundFrames frames: PCM takes at least one byte per
// frame, ADPCM at least two bits. PCM and ADPCM cannot be fed in pieces (an ADPCM sound starts
// with its code size), so they are cut before decoding; MP3 is fed in chunks until the cap.
size_t decodableBytes(const SoundCharacter& sound) {
    switch (sound.format.coding) {
        case SoundCoding::Adpcm: return std::min(sound.data.size(), kMaxSoundFrames / 4);
        case SoundCoding::Mp3: return sound.data.size();
        default: return std::min(sound.data.size(), kMaxSoundFrames);
    }
}

// Reads a timeline's blocks in order from a start frame; frames without a block inside the
// soundtrack are silence of one block's length. At the end of the timeline it ends, or, when
// `mayLoop` says the timeline goes back to its first frame, reads on from there without a
// break. Frames are numbered on across such loops (the second pass of a 10-frame timeline
// reads 10, 11, ...), so whoever follows the soundtrack can tell a loop from a jump.
class TimelineFeed : public StreamFeed {
public:
    TimelineFeed(const Timeline& timeline, int frame, std::unique_ptr<SoundDecoder> decoder,
                 std::shared_ptr<int> readFrame, std::shared_ptr<const bool> mayLoop)
        : timeline_(timeline), next_(frame), decoder_(std::move(decoder)), readFrame_(std::move(readFrame)),
          mayLoop_(std::move(mayLoop)) {
        const SoundStreamHead& head = *timeline.streamHead;
        skip_ = head.stream.coding == SoundCoding::Mp3 ? std::max(0, int(head.latencySeek)) : 0;
        silentFrames_ = head.samplesPerBlock;
        lastBlock_ = int(timeline.frames.size()) - 1;
        while (lastBlock_ >= 0 && !timeline.frames[size_t(lastBlock_)].streamBlock) --lastBlock_;
    }

    bool next(std::vector<int16_t>& out, int& frame) override {
        if (next_ > lastBlock_) {
            const int count = int(timeline_.frames.size());
            if (!mayLoop_ || !*mayLoop_ || lastBlock_ < 0 || passes_ >= kMaxPasses || next_ < count) return false;
            next_ = 0;
            ++passes_;
        }
        frame = next_ + passes_ * int(timeline_.frames.size());
        *readFrame_ = frame;
        const auto& block = timeline_.frames[size_t(next_++)].streamBlock;
        size_t before = out.size();
        if (block && block->data.size() <= kMaxStreamBlockBytes) {
            decoder_->decode(block->data.data(), block->data.size(), out);
        } else {
            out.insert(out.end(), size_t(silentFrames_) * 2, 0);  // a gap, or a block too large to be one frame's
        }
        if (skip_ > 0) {  // the MP3 encoder's delay, once at the start
            size_t drop = std::min(size_t(skip_) * 2, out.size() - before);
            out.erase(out.begin() + std::ptrdiff_t(before), out.begin() + std::ptrdiff_t(before + drop));
            skip_ -= int(drop / 2);
        }
        return true;
    }
    int sampleRate() const override { return decoder_->sampleRate(); }

private:
    // Frame numbers stay far from overflow however long a movie loops (a new soundtrack starts
    // the count again; a jump restarts it).
    static constexpr int kMaxPasses = 1 << 14;

    const Timeline& timeline_;
    int next_;
    int lastBlock_;
    int skip_;
    int silentFrames_;
    int passes_ = 0;
    std::unique_ptr<SoundDecoder> decoder_;
    std::shared_ptr<int> readFrame_;
    std::shared_ptr<const bool> mayLoop_;
};

}  // namespace

SoundEngine::SoundEngine(const Movie& movie, int outputRate) : movie_(movie), mixer_(outputRate) {}

void SoundEngine::setMp3Decoder(Mp3DecoderFactory factory) {
    mp3_ = std::move(factory);
    for (auto it = cache_.begin(); it != cache_.end();) it = it->second ? std::next(it) : cache_.erase(it);
    warnedStream_ = false;
}

void SoundEngine::warn(const std::string& what) {
    if (warnings_.size() < kMaxWarnings) warnings_.push_back(what);
}

std::shared_ptr<const PcmSound> SoundEngine::decoded(uint16_t soundId) {
    auto cached = cache_.find(soundId);
    if (cached != cache_.end()) return cached->second;
    std::shared_ptr<PcmSound> pcm;
    const Character* c = movie_.character(soundId);
    if (c && c->kind == CharacterKind::Sound) {
        const auto& sound = static_cast<const SoundCharacter&>(*c);
        std::string warning;
        std::unique_ptr<SoundDecoder> decoder = makeSoundDecoder(sound.format, mp3_, warning);
        if (!decoder) warn("sound " + std::to_string(soundId) + ": " + warning);
        if (decoder) {
            pcm = std::make_shared<PcmSound>();
            const size_t size = decodableBytes(sound);
            const size_t chunk = sound.format.coding == SoundCoding::Mp3 ? kDecodeChunk : size;
            for (size_t at = 0; at < size && pcm->frames() < kMaxSoundFrames; at += chunk) {
                if (!decoder->decode(sound.data.data() + at, std::min(chunk, size - at), pcm->samples)) break;
            }
            pcm->rate = decoder->sampleRate();
            // ADPCM pads its last byte with bits that read as one more sample: the declared
            // count says where the sound ends. (MP3 counts differ by the codec's delay.)
            if (sound.format.coding != SoundCoding::Mp3 && sound.sampleCount < pcm->frames())
                pcm->samples.resize(size_t(sound.sampleCount) * 2);
            size_t skip = std::min(size_t(std::max(0, int(sound.mp3Seek))), pcm->frames());
            pcm->samples.erase(pcm->samples.begin(), pcm->samples.begin() + std::ptrdiff_t(skip * 2));
            if (pcm->frames() > kMaxSoundFrames) pcm->samples.resize(kMaxSoundFrames * 2);
            if (pcm->frames() > kMaxMovieSoundFrames - std::min(cachedFrames_, kMaxMovieSoundFrames)) {
                warn("sound " + std::to_string(soundId) + ": over the movie's decoded sound budget");
                pcm.reset();
            } else {
                cachedFrames_ += pcm->frames();
            }
        }
    }
    cache_[soundId] = pcm;
    return pcm;
}

VoiceId SoundEngine::start(const SoundStart& start) {
    if (start.soundId == 0) return 0;  // StartSound2 names an AS3 class
    if (start.info.syncStop) {
        mixer_.stopSound(start.soundId);
        return 0;
    }
    if (start.info.syncNoMultiple && mixer_.isPlaying(start.soundId)) return 0;
    return mixer_.play(decoded(start.soundId), start.info, start.soundId);
}

std::shared_ptr<PcmSound> SoundEngine::decodeMp3(const uint8_t* data, size_t size, const SoundFormat& format) {
    std::string warning;
    std::unique_ptr<SoundDecoder> decoder = makeSoundDecoder(format, mp3_, warning);
    if (!decoder) {
        warn("loaded sound: " + warning);
        return nullptr;
    }
    auto pcm = std::make_shared<PcmSound>();
    for (size_t at = 0; at < size && pcm->frames() < kMaxSoundFrames; at += kDecodeChunk) {
        if (!decoder->decode(data + at, std::min(kDecodeChunk, size - at), pcm->samples)) break;
    }
    if (pcm->frames() > kMaxSoundFrames) pcm->samples.resize(kMaxSoundFrames * 2);
    pcm->rate = decoder->sampleRate();
    if (pcm->frames() == 0) {
        warn("loaded sound: no MP3 frames decoded");
        return nullptr;
    }
    return pcm;
}

void SoundEngine::startStream(const Timeline& timeline, int frame) {
    stopStream();
    stream_ = playStream(timeline, frame, streamRead_, streamMayLoop_);
}

VoiceId SoundEngine::playStream(const Timeline& timeline, int frame, std::shared_ptr<int> readFrame,
                                std::shared_ptr<const bool> mayLoop) {
    if (!timeline.streamHead || frame < 0 || size_t(frame) >= timeline.frames.size()) return 0;
    std::string warning;
    std::unique_ptr<SoundDecoder> decoder = makeSoundDecoder(timeline.streamHead->stream, mp3_, warning);
    if (!decoder) {
        if (!warnedStream_) warn("soundtrack: " + warning);
        warnedStream_ = true;
        return 0;
    }
    return mixer_.playStream(
        std::make_unique<TimelineFeed>(timeline, frame, std::move(decoder), std::move(readFrame), std::move(mayLoop)));
}

void SoundEngine::stopStream() {
    if (stream_) mixer_.stop(stream_);
    stream_ = 0;
    *streamRead_ = -1;
}

void SoundEngine::stopAll() {
    mixer_.stopAll();
    stream_ = 0;
    *streamRead_ = -1;
}

}  // namespace swf
