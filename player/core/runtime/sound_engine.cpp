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
// soundtrack are silence of one block's length, the end of the timeline ends it.
class TimelineFeed : public StreamFeed {
public:
    TimelineFeed(const Timeline& timeline, int frame, std::unique_ptr<SoundDecoder> decoder,
                 std::shared_ptr<int> readFrame)
        : timeline_(timeline), next_(frame), decoder_(std::move(decoder)), readFrame_(std::move(readFrame)) {
        const SoundStreamHead& head = *timeline.streamHead;
        skip_ = head.stream.coding == SoundCoding::Mp3 ? std::max(0, int(head.latencySeek)) : 0;
        silentFrames_ = head.samplesPerBlock;
        lastBlock_ = int(timeline.frames.size()) - 1;
        while (lastBlock_ >= 0 && !timeline.frames[size_t(lastBlock_)].streamBlock) --lastBlock_;
    }

    bool next(std::vector<int16_t>& out, int& frame) override {
        if (next_ > lastBlock_) return false;
        frame = next_;
        *readFrame_ = next_;
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
    const Timeline& timeline_;
    int next_;
    int lastBlock_;
    int skip_;
    int silentFrames_;
    std::unique_ptr<SoundDecoder> decoder_;
    std::shared_ptr<int> readFrame_;
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

void SoundEngine::start(const SoundStart& start) {
    if (start.soundId == 0) return;  // StartSound2 names an AS3 class
    if (start.info.syncStop) {
        mixer_.stopSound(start.soundId);
        return;
    }
    if (start.info.syncNoMultiple && mixer_.isPlaying(start.soundId)) return;
    mixer_.play(decoded(start.soundId), start.info, start.soundId);
}

void SoundEngine::startStream(const Timeline& timeline, int frame) {
    stopStream();
    if (!timeline.streamHead || frame < 0 || size_t(frame) >= timeline.frames.size()) return;
    std::string warning;
    std::unique_ptr<SoundDecoder> decoder = makeSoundDecoder(timeline.streamHead->stream, mp3_, warning);
    if (!decoder) {
        if (!warnedStream_) warn("soundtrack: " + warning);
        warnedStream_ = true;
        return;
    }
    stream_ = mixer_.playStream(std::make_unique<TimelineFeed>(timeline, frame, std::move(decoder), streamRead_));
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
