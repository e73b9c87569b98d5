// Uncompressed PCM and the format's own ADPCM.
#include "adpcm_channel.h"
#include "sound_decoder.h"

#include <algorithm>

namespace swf {
namespace {

class PcmDecoder : public SoundDecoder {
public:
    explicit PcmDecoder(const SoundFormat& f) : format_(f) {}

    bool decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) override {
        const size_t bytesPerSample = format_.sixteenBit ? 2 : 1;
        const size_t channels = format_.stereo ? 2 : 1;
        const size_t frames = size / (bytesPerSample * channels);
        out.reserve(out.size() + frames * 2);
        for (size_t i = 0; i < frames; ++i) {
            const uint8_t* p = data + i * bytesPerSample * channels;
            int16_t left = sample(p);
            int16_t right = channels == 2 ? sample(p + bytesPerSample) : left;
            out.push_back(left);
            out.push_back(right);
        }
        return size % (bytesPerSample * channels) == 0;
    }
    int sampleRate() const override { return format_.rateHz; }

private:
    // "Native endian" sounds were written by x86 tools: both codings are read little-endian.
    // 8-bit samples are unsigned around 128.
    int16_t sample(const uint8_t* p) const {
        if (format_.sixteenBit) return int16_t(uint16_t(p[0] | p[1] << 8));
        return int16_t((int(p[0]) - 128) * 256);
    }

    SoundFormat format_;
};

// MSB-first bits over a byte range; reads past the end report exhaustion instead of throwing.
class BitSource {
public:
    BitSource(const uint8_t* data, size_t size) : data_(data), bits_(size * 8) {}
    bool has(size_t n) const { return bits_ - pos_ >= n; }
    uint32_t take(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++pos_) v = v << 1 | ((data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1);
        return v;
    }

private:
    const uint8_t* data_;
    size_t bits_;
    size_t pos_ = 0;
};

// Packets of 4096 samples per channel: a 2-bit code size once, then per packet each channel's
// first sample (16 bits) and step index (6 bits), then interleaved codes. Every stream block
// starts afresh with the code size.
class AdpcmDecoder : public SoundDecoder {
public:
    explicit AdpcmDecoder(const SoundFormat& f) : format_(f) {}

    bool decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) override {
        BitSource bits(data, size);
        if (!bits.has(2)) return size == 0;
        const int codeBits = int(bits.take(2)) + 2;
        const int channels = format_.stereo ? 2 : 1;
        AdpcmChannel state[2];
        for (;;) {
            if (!bits.has(size_t(22 * channels))) return true;  // the padding of the last byte
            for (int c = 0; c < channels; ++c) {
                state[c].predictor = int16_t(bits.take(16));
                state[c].index = int(bits.take(6));  // 0 to 63 of the table's 89 steps
            }
            emit(out, state[0].predictor, state[channels - 1].predictor);
            for (int i = 1; i < 4096; ++i) {
                if (!bits.has(size_t(codeBits * channels))) return true;
                int16_t left = state[0].expand(bits.take(codeBits), codeBits);
                int16_t right = channels == 2 ? state[1].expand(bits.take(codeBits), codeBits) : left;
                emit(out, left, right);
            }
        }
    }
    int sampleRate() const override { return format_.rateHz; }

private:
    static void emit(std::vector<int16_t>& out, int left, int right) {
        out.push_back(int16_t(left));
        out.push_back(int16_t(right));
    }

    SoundFormat format_;
};

}  // namespace

std::unique_ptr<SoundDecoder> makeSoundDecoder(const SoundFormat& format, const Mp3DecoderFactory& mp3,
                                               std::string& warning) {
    switch (format.coding) {
        case SoundCoding::PcmNativeEndian:
        case SoundCoding::PcmLittleEndian: return std::make_unique<PcmDecoder>(format);
        case SoundCoding::Adpcm: return std::make_unique<AdpcmDecoder>(format);
        case SoundCoding::Mp3: {
            std::unique_ptr<SoundDecoder> decoder = mp3 ? mp3(format) : nullptr;
            if (!decoder) warning = "no MP3 decoder: sound skipped";
            return decoder;
        }
        case SoundCoding::Nellymoser16k:
        case SoundCoding::Nellymoser8k:
        case SoundCoding::Nellymoser: warning = "Nellymoser sound skipped"; return nullptr;
        case SoundCoding::Speex: warning = "Speex sound skipped"; return nullptr;
    }
    warning = "unknown sound coding " + std::to_string(int(format.coding)) + " skipped";
    return nullptr;
}

}  // namespace swf
