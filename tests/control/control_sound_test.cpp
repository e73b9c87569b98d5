// The control's sound through the wave-output seam: what the control sends is recorded by a
// stand-in device with its own play clock. The MP3 soundtrack is decoded by the system's codec
// (the Audio Compression Manager), its tones measured back; the queue stays within 100 ms;
// hiding or destroying the control's window silences it; without a device the movie plays on.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "acm_mp3_decoder.h"
#include "control_test_support.h"
#include "module.h"
#include "movie_window.h"
#include "playback.h"
#include "wave_sink.h"

using namespace control_test;

namespace {

// What the stand-in device saw, shared with the test (the sound thread writes it).
struct Recording {
    std::mutex lock;
    std::vector<int16_t> samples;
    double maxQueuedMs = 0;
    int opens = 0, resets = 0, closes = 0, writesAfterClose = 0;
    bool failOpen = false;
    bool open = false;
};
Recording g_recording;

// Plays in real time: a block is given back once its samples have had time to play after the
// ones before it. Times count from the sink's creation: the performance counter counts from boot,
// and in microseconds that overflows the 32-bit dwUser of a 32-bit build after 72 minutes of uptime.
class RecordingSink final : public swfctl::WaveSink {
public:
    RecordingSink() : origin_(Now()) {}
    bool open(int rate, HANDLE) override {
        std::lock_guard<std::mutex> lock(g_recording.lock);
        ++g_recording.opens;
        rate_ = rate;
        g_recording.open = !g_recording.failOpen;
        return g_recording.open;
    }
    bool write(swfctl::WaveBlock& block) override {
        std::lock_guard<std::mutex> lock(g_recording.lock);
        if (!g_recording.open) ++g_recording.writesAfterClose;
        const double now = Elapsed();
        const double lengthMs = block.samples.size() / 2 * 1000.0 / rate_;
        playedUntil_ = std::max(playedUntil_, now) + lengthMs;
        block.header.dwUser = DWORD_PTR(playedUntil_ * 1000);  // microseconds: when it is back
        g_recording.maxQueuedMs = std::max(g_recording.maxQueuedMs, playedUntil_ - now);
        g_recording.samples.insert(g_recording.samples.end(), block.samples.begin(), block.samples.end());
        return true;
    }
    bool done(const swfctl::WaveBlock& block) override { return Elapsed() * 1000 >= double(block.header.dwUser); }
    void reset() override {
        std::lock_guard<std::mutex> lock(g_recording.lock);
        ++g_recording.resets;
        playedUntil_ = 0;
    }
    void close() override {
        std::lock_guard<std::mutex> lock(g_recording.lock);
        ++g_recording.closes;
        g_recording.open = false;
    }

private:
    static double Now() {
        LARGE_INTEGER frequency, counter;
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&counter);
        return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
    }
    double Elapsed() const { return Now() - origin_; }
    double origin_;
    int rate_ = 44100;
    double playedUntil_ = 0;
};

std::unique_ptr<swfctl::WaveSink> MakeRecordingSink() { return std::make_unique<RecordingSink>(); }

std::vector<uint8_t> ReadMovie(const char* name) {
    std::ifstream file(BinDir() + "test-movies\\" + name, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// One channel of interleaved stereo, frames [from, to).
std::vector<double> Channel(const std::vector<int16_t>& stereo, int which, size_t from, size_t to) {
    std::vector<double> out;
    for (size_t i = from; i < to && i < stereo.size() / 2; ++i) out.push_back(stereo[i * 2 + size_t(which)]);
    return out;
}
double Frequency(const std::vector<double>& x, int rate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            double at = double(i - 1) + -x[i - 1] / (x[i] - x[i - 1]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings < 2 ? 0 : (crossings - 1) * rate / (last - first);
}
double Rms(const std::vector<double>& x) {
    double sum = 0;
    for (double v : x) sum += v * v;
    return x.empty() ? 0 : std::sqrt(sum / double(x.size()));
}

class ControlSound : public ::testing::Test {
protected:
    void SetUp() override {
        {
            std::lock_guard<std::mutex> lock(g_recording.lock);
            g_recording.samples.clear();
            g_recording.maxQueuedMs = 0;
            g_recording.opens = g_recording.resets = g_recording.closes = g_recording.writesAfterClose = 0;
            g_recording.failOpen = false;
        }
        swfctl::SetWaveSinkFactory(&MakeRecordingSink);
        // The window class is registered for this program, as the DLL registers it for itself.
        swfctl::SetModuleHandle(::GetModuleHandleW(nullptr));
        playback_.setMp3Decoder(swfctl::AcmMp3DecoderFactory());
        host_ = CreateHostWindow(320, 240);
        ASSERT_NE(host_, nullptr);
        RECT bounds = {0, 0, 320, 240};
        ASSERT_TRUE(window_.create(host_, bounds));
        std::vector<uint8_t> movie = ReadMovie("mp3_tone_2s.swf");
        std::string error;
        ASSERT_TRUE(playback_.load(movie.data(), movie.size(), error)) << error;
    }
    void TearDown() override {
        window_.destroy();
        if (host_) ::DestroyWindow(host_);
        swfctl::SetWaveSinkFactory(nullptr);
    }
    std::vector<int16_t> Recorded() {
        std::lock_guard<std::mutex> lock(g_recording.lock);
        return g_recording.samples;
    }

    HWND host_ = nullptr;
    swfctl::Playback playback_;
    swfctl::MovieWindow window_{playback_};
};

TEST_F(ControlSound, TheSoundtrackIsSentDecodedAndInTime) {
    window_.movieChanged();
    window_.show(true);
    PumpMessages(1500);
    window_.show(false);
    const std::vector<int16_t> sent = Recorded();
    ASSERT_GT(sent.size() / 2, size_t(44100 * 1.2)) << "about 1.5 s were played";
    EXPECT_LT(sent.size() / 2, size_t(44100 * 1.7)) << "never much more than real time";
    // The tone written: 440 Hz at 6000 on the left, 660 Hz at 4000 on the right (MP3 loses a few per cent).
    const size_t from = 44100 / 4, to = sent.size() / 2 - 4410;
    EXPECT_NEAR(Frequency(Channel(sent, 0, from, to), 44100), 440, 2);
    EXPECT_NEAR(Frequency(Channel(sent, 1, from, to), 44100), 660, 3);
    EXPECT_NEAR(Rms(Channel(sent, 0, from, to)), 6000 / std::sqrt(2.0), 6000 * 0.08);
    EXPECT_NEAR(Rms(Channel(sent, 1, from, to)), 4000 / std::sqrt(2.0), 4000 * 0.08);
    std::lock_guard<std::mutex> lock(g_recording.lock);
    EXPECT_LE(g_recording.maxQueuedMs, 100.0) << "latency";
    // The timeline followed the soundtrack: 1.5 s at 24 fps.
    EXPECT_NEAR(playback_.currentFrame(), 37, 4);
}

TEST_F(ControlSound, HidingOrDestroyingSilencesAtOnce) {
    window_.movieChanged();
    window_.show(true);
    PumpMessages(300);
    window_.show(false);
    {
        std::lock_guard<std::mutex> lock(g_recording.lock);
        EXPECT_EQ(g_recording.opens, 1);
        EXPECT_EQ(g_recording.resets, 1);
        EXPECT_EQ(g_recording.closes, 1);
    }
    const size_t sentWhileShown = Recorded().size();
    PumpMessages(200);
    EXPECT_EQ(Recorded().size(), sentWhileShown) << "nothing is sent while hidden";
    window_.show(true);
    PumpMessages(200);
    window_.destroy();
    std::lock_guard<std::mutex> lock(g_recording.lock);
    EXPECT_EQ(g_recording.opens, 2);
    EXPECT_EQ(g_recording.closes, 2);
    EXPECT_EQ(g_recording.writesAfterClose, 0);
}

TEST_F(ControlSound, WithoutADeviceTheMoviePlaysSilently) {
    {
        std::lock_guard<std::mutex> lock(g_recording.lock);
        g_recording.failOpen = true;
    }
    window_.movieChanged();
    window_.show(true);
    PumpMessages(1000);
    EXPECT_TRUE(Recorded().empty());
    // The timeline keeps its own time: about 24 frames in a second.
    EXPECT_GE(playback_.currentFrame(), 15);
}

}  // namespace
