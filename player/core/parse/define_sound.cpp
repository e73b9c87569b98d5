// DefineSound, StartSound/StartSound2, SoundStreamHead/2, SoundStreamBlock, DefineButtonSound.
#include "load_context.h"
#include "sound_tags.h"

namespace swf {
namespace {

constexpr int kRates[4] = {5512, 11025, 22050, 44100};

SoundFormat readFormatBits(Reader& r) {
    SoundFormat f;
    f.coding = SoundCoding(r.ubits(4));
    f.rateHz = kRates[r.ubits(2)];
    f.sixteenBit = r.bit();
    f.stereo = r.bit();
    return f;
}

}  // namespace

SoundInfo readSoundInfo(Reader& r) {
    SoundInfo info;
    r.ubits(2);  // reserved
    info.syncStop = r.bit();
    info.syncNoMultiple = r.bit();
    bool hasEnvelope = r.bit(), hasLoops = r.bit(), hasOut = r.bit(), hasIn = r.bit();
    if (hasIn) info.inPoint44 = r.u32();
    if (hasOut) info.outPoint44 = r.u32();
    if (hasLoops) info.loops = r.u16();
    if (info.loops == 0) info.loops = 1;
    if (hasEnvelope) {
        uint8_t count = r.u8();  // a u8: at most 255 points, no cap needed
        info.envelope.reserve(count);
        for (int i = 0; i < count; ++i) {
            SoundEnvelopePoint p;
            p.position44 = r.u32();
            p.left = r.u16();
            p.right = r.u16();
            info.envelope.push_back(p);
        }
    }
    return info;
}

void readDefineSound(Reader& r, LoadContext& ctx) {
    auto sound = std::make_shared<SoundCharacter>();
    sound->id = r.u16();
    sound->format = readFormatBits(r);
    sound->sampleCount = r.u32();
    if (sound->format.coding == SoundCoding::Mp3) sound->mp3Seek = r.s16();
    sound->data.assign(r.current(), r.current() + r.remaining());
    ctx.define(sound->id, sound);
}

SoundStart readStartSound(Reader& r, int startVersion) {
    SoundStart start;
    if (startVersion == 2) {
        start.className = r.cstring();
    } else {
        start.soundId = r.u16();
    }
    start.info = readSoundInfo(r);
    return start;
}

SoundStreamHead readSoundStreamHead(Reader& r) {
    SoundStreamHead head;
    r.ubits(4);  // reserved
    head.playback.rateHz = kRates[r.ubits(2)];
    head.playback.sixteenBit = r.bit();
    head.playback.stereo = r.bit();
    head.playback.coding = SoundCoding::PcmLittleEndian;
    head.stream = readFormatBits(r);
    head.samplesPerBlock = r.u16();
    if (head.stream.coding == SoundCoding::Mp3 && r.remaining() >= 2) head.latencySeek = r.s16();
    return head;
}

std::shared_ptr<const SoundStreamBlock> readSoundStreamBlock(Reader& r, const SoundStreamHead* head) {
    auto block = std::make_shared<SoundStreamBlock>();
    if (head && head->stream.coding == SoundCoding::Mp3) {
        block->mp3SampleCount = r.u16();
        block->mp3Seek = r.s16();
    }
    block->data.assign(r.current(), r.current() + r.remaining());
    return block;
}

void readDefineButtonSound(Reader& r, LoadContext& ctx) {
    uint16_t buttonId = r.u16();
    ButtonSounds sounds;
    for (ButtonSounds::Entry& entry : sounds.transitions) {
        if (r.atEnd()) break;
        entry.soundId = r.u16();
        if (entry.soundId) entry.info = readSoundInfo(r);
    }
    ctx.movie.buttonSounds.emplace(buttonId, std::move(sounds));  // the first definition wins
}

}  // namespace swf
