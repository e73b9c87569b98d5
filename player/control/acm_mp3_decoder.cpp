#include "acm_mp3_decoder.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>

namespace swfctl {
namespace {

constexpr size_t kMaxPendingBytes = 1u << 20;  // coded bytes waiting for a whole frame

// The first frame header's rate and channel count; the SWF's own flags when there is none.
void readFirstFrame(const uint8_t* data, size_t size, int& rate, int& channels) {
    static const int kRates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    for (size_t i = 0; i + 4 <= size; ++i) {
        if (data[i] != 0xff || (data[i + 1] & 0xe0) != 0xe0) continue;
        int version = (data[i + 1] >> 3) & 3, rateIndex = (data[i + 2] >> 2) & 3;
        if (version == 1 || rateIndex == 3) continue;
        rate = kRates[version][rateIndex];
        channels = (data[i + 3] >> 6) == 3 ? 1 : 2;
        return;
    }
}

class AcmStream {
public:
    AcmStream() = default;
    ~AcmStream() {
        if (handle_) ::acmStreamClose(handle_, 0);
    }
    AcmStream(const AcmStream&) = delete;
    AcmStream& operator=(const AcmStream&) = delete;
    HACMSTREAM* put() { return &handle_; }
    HACMSTREAM get() const { return handle_; }

private:
    HACMSTREAM handle_ = nullptr;
};

class AcmMp3Decoder final : public swf::SoundDecoder {
public:
    explicit AcmMp3Decoder(const swf::SoundFormat& format)
        : rate_(format.rateHz), channels_(format.stereo ? 2 : 1) {}

    bool decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) override {
        if (!stream_.get()) {
            readFirstFrame(data, size, rate_, channels_);
            if (!open()) return false;
        }
        pending_.insert(pending_.end(), data, data + size);
        if (pending_.size() > kMaxPendingBytes) pending_.clear();  // not MP3 at all
        while (!pending_.empty()) {
            DWORD outputBytes = 0;
            if (::acmStreamSize(stream_.get(), DWORD(pending_.size()), &outputBytes, ACM_STREAMSIZEF_SOURCE) != 0 ||
                outputBytes == 0)
                outputBytes = DWORD(pending_.size() * 64 + 4608 * 4);
            pcm_.resize(outputBytes / 2 + 2);
            ACMSTREAMHEADER header = {};
            header.cbStruct = sizeof header;
            header.pbSrc = pending_.data();
            header.cbSrcLength = DWORD(pending_.size());
            header.pbDst = reinterpret_cast<LPBYTE>(pcm_.data());
            header.cbDstLength = DWORD(pcm_.size() * 2);
            if (::acmStreamPrepareHeader(stream_.get(), &header, 0) != 0) return false;
            MMRESULT result = ::acmStreamConvert(stream_.get(), &header, ACM_STREAMCONVERTF_BLOCKALIGN |
                                                                          (started_ ? 0 : ACM_STREAMCONVERTF_START));
            started_ = true;
            const DWORD used = header.cbSrcLengthUsed, produced = header.cbDstLengthUsed;
            ::acmStreamUnprepareHeader(stream_.get(), &header, 0);
            if (result != 0) return false;
            appendStereo(produced / 2, out);
            pending_.erase(pending_.begin(), pending_.begin() + std::min<size_t>(used, pending_.size()));
            if (used == 0) break;  // the rest is part of a frame still coming
        }
        return true;
    }
    int sampleRate() const override { return rate_; }

private:
    bool open() {
        MPEGLAYER3WAVEFORMAT source = {};
        source.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
        source.wfx.nChannels = WORD(channels_);
        source.wfx.nSamplesPerSec = DWORD(rate_);
        source.wfx.nAvgBytesPerSec = 128000 / 8;
        source.wfx.nBlockAlign = 1;
        source.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
        source.wID = MPEGLAYER3_ID_MPEG;
        source.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
        source.nBlockSize = WORD(rate_ >= 32000 ? 417 : 208);
        source.nFramesPerBlock = 1;
        WAVEFORMATEX pcm = {};
        pcm.wFormatTag = WAVE_FORMAT_PCM;
        pcm.nChannels = WORD(channels_);
        pcm.nSamplesPerSec = DWORD(rate_);
        pcm.wBitsPerSample = 16;
        pcm.nBlockAlign = WORD(channels_ * 2);
        pcm.nAvgBytesPerSec = DWORD(rate_) * pcm.nBlockAlign;
        return ::acmStreamOpen(stream_.put(), nullptr, &source.wfx, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) == 0;
    }

    void appendStereo(size_t samples, std::vector<int16_t>& out) const {
        if (channels_ == 2) {
            out.insert(out.end(), pcm_.begin(), pcm_.begin() + std::ptrdiff_t(samples & ~size_t(1)));
            return;
        }
        for (size_t i = 0; i < samples; ++i) out.insert(out.end(), {pcm_[i], pcm_[i]});
    }

    int rate_;
    int channels_;
    AcmStream stream_;
    bool started_ = false;
    std::vector<uint8_t> pending_;
    std::vector<int16_t> pcm_;
};

}  // namespace

swf::Mp3DecoderFactory AcmMp3DecoderFactory() {
    return [](const swf::SoundFormat& format) -> std::unique_ptr<swf::SoundDecoder> {
        return std::make_unique<AcmMp3Decoder>(format);
    };
}

}  // namespace swfctl
