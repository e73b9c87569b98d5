// The real sink: the default wave output device through waveOut, with an event callback.
#include <atomic>
#include <set>

#include "wave_sink.h"

namespace swfctl {
namespace {

class WaveOutSink final : public WaveSink {
public:
    ~WaveOutSink() override { close(); }

    bool open(int rate, HANDLE blockDone) override {
        WAVEFORMATEX format = {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 2;
        format.nSamplesPerSec = DWORD(rate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = 4;
        format.nAvgBytesPerSec = DWORD(rate) * 4;
        return ::waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(blockDone), 0,
                             CALLBACK_EVENT) == MMSYSERR_NOERROR;
    }

    bool write(WaveBlock& block) override {
        if (!device_) return false;
        if (block.header.dwFlags & WHDR_PREPARED) ::waveOutUnprepareHeader(device_, &block.header, sizeof block.header);
        block.header = {};
        block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
        block.header.dwBufferLength = DWORD(block.samples.size() * sizeof(int16_t));
        if (::waveOutPrepareHeader(device_, &block.header, sizeof block.header) != MMSYSERR_NOERROR) return false;
        prepared_.insert(&block);
        return ::waveOutWrite(device_, &block.header, sizeof block.header) == MMSYSERR_NOERROR;
    }

    bool done(const WaveBlock& block) override {
        // The driver sets the flag from its own thread.
        return (reinterpret_cast<const volatile DWORD&>(block.header.dwFlags) & WHDR_DONE) != 0;
    }

    void reset() override {
        if (device_) ::waveOutReset(device_);
    }

    void close() override {
        if (!device_) return;
        ::waveOutReset(device_);  // every block back, so each can be unprepared
        for (WaveBlock* block : prepared_) ::waveOutUnprepareHeader(device_, &block->header, sizeof block->header);
        prepared_.clear();
        ::waveOutClose(device_);
        device_ = nullptr;
    }

private:
    HWAVEOUT device_ = nullptr;
    std::set<WaveBlock*> prepared_;
};

std::atomic<WaveSinkFactory> g_factory{nullptr};

}  // namespace

std::unique_ptr<WaveSink> MakeWaveSink() {
    WaveSinkFactory factory = g_factory.load();
    if (factory) return factory();
    return std::make_unique<WaveOutSink>();
}

void SetWaveSinkFactory(WaveSinkFactory factory) { g_factory.store(factory); }

}  // namespace swfctl
