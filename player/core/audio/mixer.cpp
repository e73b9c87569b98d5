#include "mixer.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

constexpr size_t kStreamCompactFrames = 1u << 16;  // consumed soundtrack frames kept before trimming
constexpr size_t kStreamLookBackFrames = 1u << 14;  // kept after trimming: 370 ms at 44.1 kHz
constexpr float kFullLevel = 32768.0f;
constexpr size_t kMaxFinished = 1024;  // ends kept for a host that never asks

}  // namespace

SoundTransform SoundTransform::volumeAndPan(float volume, float pan) {
    pan = std::clamp(pan, -1.0f, 1.0f);
    SoundTransform t;
    t.leftToLeft = volume * (pan > 0 ? 1 - pan : 1);
    t.rightToRight = volume * (pan < 0 ? 1 + pan : 1);
    return t;
}

struct Mixer::Voice {
    VoiceId id = 0;
    uint16_t soundId = 0;
    const void* owner = nullptr;
    SoundTransform transform;
    int rate = 44100;
    double pos = 0;  // source frames
    bool done = false;
    uint64_t played = 0;  // output frames since the start, for the envelope
    std::vector<SoundEnvelopePoint> envelope;

    // Event sound: [begin, end) of `sound`, `loopsLeft` more times.
    std::shared_ptr<const PcmSound> sound;
    size_t begin = 0, end = 0;
    int loopsLeft = 1;

    // Soundtrack: decoded blocks waiting in `buffer`; marks map buffer frames to timeline frames.
    std::unique_ptr<StreamFeed> feed;
    std::vector<int16_t> buffer;
    std::vector<std::pair<size_t, int>> marks;
    bool feedDone = false;

    size_t frameCount() const { return feed ? buffer.size() / 2 : end; }
    const int16_t* frameAt(size_t i) const { return feed ? &buffer[i * 2] : &sound->samples[i * 2]; }

    // Makes sure frame `i` and the one after it can be read when they exist; false when `i`
    // is beyond the sound.
    bool ensure(size_t i) {
        if (!feed) return i < end;
        while (i + 1 >= buffer.size() / 2 && !feedDone) {
            int frame = 0;
            size_t start = buffer.size() / 2;
            if (!feed->next(buffer, frame)) {
                feedDone = true;
                break;
            }
            rate = std::max(1, feed->sampleRate());
            if (buffer.size() / 2 > start) marks.emplace_back(start, frame);
        }
        return i < buffer.size() / 2;
    }

    void trimStream() {
        size_t consumed = size_t(pos);
        if (consumed < kStreamCompactFrames) return;
        size_t drop = consumed - kStreamLookBackFrames;  // streamFrame() looks back this far
        buffer.erase(buffer.begin(), buffer.begin() + std::ptrdiff_t(drop * 2));
        pos -= double(drop);
        std::vector<std::pair<size_t, int>> kept;
        for (size_t m = 0; m < marks.size(); ++m) {
            bool stillNeeded = m + 1 == marks.size() || marks[m + 1].first > drop;
            if (stillNeeded) kept.emplace_back(marks[m].first > drop ? marks[m].first - drop : 0, marks[m].second);
        }
        marks.swap(kept);
    }

    // Envelope levels at `at44` (44.1 kHz samples since the start), 1 = full.
    void envelopeAt(uint64_t at44, float& left, float& right) const {
        left = right = 1;
        if (envelope.empty()) return;
        size_t next = 0;
        while (next < envelope.size() && envelope[next].position44 <= at44) ++next;
        if (next == 0 || next == envelope.size()) {
            const SoundEnvelopePoint& p = envelope[next == 0 ? 0 : envelope.size() - 1];
            left = p.left / kFullLevel;
            right = p.right / kFullLevel;
            return;
        }
        const SoundEnvelopePoint& a = envelope[next - 1];
        const SoundEnvelopePoint& b = envelope[next];
        float t = b.position44 > a.position44 ? float(at44 - a.position44) / float(b.position44 - a.position44) : 1.0f;
        left = (a.left + (float(b.left) - a.left) * t) / kFullLevel;
        right = (a.right + (float(b.right) - a.right) * t) / kFullLevel;
    }

    void mixInto(int32_t* acc, size_t frames, int outputRate, float master) {
        for (size_t n = 0; n < frames; ++n) {
            size_t i = size_t(pos);
            if (!ensure(i)) {
                done = true;
                return;
            }
            const double frac = pos - double(i);
            const int16_t* a = frameAt(i);
            const int16_t* b = i + 1 < frameCount() ? frameAt(i + 1) : a;
            float left = float(a[0] + (b[0] - a[0]) * frac);
            float right = float(a[1] + (b[1] - a[1]) * frac);
            float envLeft, envRight;
            envelopeAt(played * 44100 / uint64_t(outputRate), envLeft, envRight);
            left *= envLeft;
            right *= envRight;
            float outLeft = (left * transform.leftToLeft + right * transform.rightToLeft) * master;
            float outRight = (right * transform.rightToRight + left * transform.leftToRight) * master;
            acc[n * 2] += int32_t(std::lround(outLeft));
            acc[n * 2 + 1] += int32_t(std::lround(outRight));
            ++played;
            pos += double(rate) / outputRate;
            if (!feed && pos >= double(end)) {
                if (--loopsLeft <= 0) {
                    done = true;
                    return;
                }
                pos = double(begin) + std::fmod(pos - double(end), double(end - begin));
            }
        }
        if (feed) trimStream();
    }
};

Mixer::Mixer(int outputRate) : outputRate_(std::max(1000, outputRate)) {}
Mixer::~Mixer() = default;

VoiceId Mixer::play(std::shared_ptr<const PcmSound> sound, const SoundInfo& info, uint16_t soundId,
                    const void* owner) {
    if (!sound || sound->frames() == 0 || voices_.size() >= kMaxVoices) return 0;
    auto voice = std::make_unique<Voice>();
    voice->rate = std::max(1, sound->rate);
    // In and out points count 44.1 kHz samples whatever the sound's own rate.
    auto toSource = [&](uint32_t at44) { return size_t(uint64_t(at44) * uint64_t(voice->rate) / 44100); };
    voice->begin = info.inPoint44 ? std::min(toSource(*info.inPoint44), sound->frames()) : 0;
    voice->end = info.outPoint44 ? std::min(toSource(*info.outPoint44), sound->frames()) : sound->frames();
    if (voice->begin >= voice->end) return 0;
    voice->pos = double(voice->begin);
    voice->loopsLeft = std::max<int>(1, info.loops);
    voice->envelope = info.envelope;
    voice->sound = std::move(sound);
    voice->soundId = soundId;
    voice->owner = owner;
    voice->id = nextId_++;
    if (nextId_ == 0) nextId_ = 1;
    voices_.push_back(std::move(voice));
    return voices_.back()->id;
}

VoiceId Mixer::playStream(std::unique_ptr<StreamFeed> feed, const void* owner) {
    if (!feed || voices_.size() >= kMaxVoices) return 0;
    auto voice = std::make_unique<Voice>();
    voice->rate = std::max(1, feed->sampleRate());
    voice->feed = std::move(feed);
    voice->owner = owner;
    voice->id = nextId_++;
    if (nextId_ == 0) nextId_ = 1;
    voice->ensure(0);  // the first block, so the playing frame is known at once
    voices_.push_back(std::move(voice));
    return voices_.back()->id;
}

Mixer::Voice* Mixer::find(VoiceId id) const {
    for (const auto& v : voices_)
        if (v->id == id && !v->done) return v.get();
    return nullptr;
}

void Mixer::stop(VoiceId voice) {
    voices_.erase(std::remove_if(voices_.begin(), voices_.end(), [&](const auto& v) { return v->id == voice; }),
                  voices_.end());
}

void Mixer::stopSound(uint16_t soundId) {
    voices_.erase(std::remove_if(voices_.begin(), voices_.end(),
                                 [&](const auto& v) { return !v->feed && v->soundId == soundId; }),
                  voices_.end());
}

void Mixer::stopOwner(const void* owner) {
    voices_.erase(std::remove_if(voices_.begin(), voices_.end(), [&](const auto& v) { return v->owner == owner; }),
                  voices_.end());
}

void Mixer::stopAll() { voices_.clear(); }

bool Mixer::isActive(VoiceId voice) const { return find(voice) != nullptr; }

bool Mixer::isPlaying(uint16_t soundId) const {
    for (const auto& v : voices_)
        if (!v->feed && !v->done && v->soundId == soundId) return true;
    return false;
}

size_t Mixer::activeVoices() const {
    return size_t(std::count_if(voices_.begin(), voices_.end(), [](const auto& v) { return !v->done; }));
}

std::vector<VoiceId> Mixer::voiceIds() const {
    std::vector<VoiceId> ids;
    for (const auto& v : voices_)
        if (!v->done) ids.push_back(v->id);
    return ids;
}

void Mixer::setTransform(VoiceId voice, const SoundTransform& t) {
    if (Voice* v = find(voice)) v->transform = t;
}

double Mixer::positionMs(VoiceId voice) const {
    const Voice* v = find(voice);
    if (!v) return -1;
    return (v->pos - double(v->begin)) * 1000.0 / v->rate;
}

int Mixer::streamFrame(VoiceId voice, size_t lagFrames) const {
    const Voice* v = find(voice);
    if (!v || !v->feed) return -1;
    const double lag = double(lagFrames) * v->rate / outputRate_;
    const size_t at = v->pos > lag ? size_t(v->pos - lag) : 0;
    int frame = -1;
    for (const auto& [start, timelineFrame] : v->marks) {
        if (start > at) break;
        frame = timelineFrame;
    }
    return frame;
}

std::vector<VoiceId> Mixer::takeFinished() {
    std::vector<VoiceId> ended;
    ended.swap(finished_);
    return ended;
}

void Mixer::mix(int16_t* out, size_t frames) {
    accumulator_.assign(frames * 2, 0);
    for (auto& v : voices_)
        if (!v->done) v->mixInto(accumulator_.data(), frames, outputRate_, master_);
    for (const auto& v : voices_)
        if (v->done && finished_.size() < kMaxFinished) finished_.push_back(v->id);
    voices_.erase(std::remove_if(voices_.begin(), voices_.end(), [](const auto& v) { return v->done; }),
                  voices_.end());
    for (size_t i = 0; i < frames * 2; ++i) out[i] = int16_t(std::clamp(accumulator_[i], -32768, 32767));
}

}  // namespace swf
