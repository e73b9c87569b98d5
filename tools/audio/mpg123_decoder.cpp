#include "mpg123_decoder.h"

#include <mpg123.h>

namespace swfaudio {
namespace {

class Mpg123Decoder : public swf::SoundDecoder {
public:
    explicit Mpg123Decoder(int declaredRate) : rate_(declaredRate) {
        int error = MPG123_OK;
        handle_ = mpg123_new(nullptr, &error);
        if (!handle_) return;
        mpg123_param(handle_, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET, 0);
        mpg123_format_none(handle_);
        const long* rates = nullptr;
        size_t count = 0;
        mpg123_rates(&rates, &count);
        for (size_t i = 0; i < count; ++i) mpg123_format(handle_, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
        if (mpg123_open_feed(handle_) != MPG123_OK) {
            mpg123_delete(handle_);
            handle_ = nullptr;
        }
    }
    ~Mpg123Decoder() override {
        if (handle_) mpg123_delete(handle_);
    }
    Mpg123Decoder(const Mpg123Decoder&) = delete;
    Mpg123Decoder& operator=(const Mpg123Decoder&) = delete;

    bool valid() const { return handle_ != nullptr; }

    bool decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) override {
        if (mpg123_feed(handle_, data, size) != MPG123_OK) return false;
        for (;;) {
            unsigned char buffer[16384];
            size_t done = 0;
            int result = mpg123_read(handle_, buffer, sizeof buffer, &done);
            if (result == MPG123_NEW_FORMAT) {
                long rate = 0;
                int channels = 0, encoding = 0;
                mpg123_getformat(handle_, &rate, &channels, &encoding);
                rate_ = int(rate);
            }
            const int16_t* samples = reinterpret_cast<const int16_t*>(buffer);
            out.insert(out.end(), samples, samples + done / 2);
            if (result == MPG123_NEED_MORE || result == MPG123_DONE) return true;
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT) return false;
        }
    }
    int sampleRate() const override { return rate_; }

private:
    mpg123_handle* handle_ = nullptr;
    int rate_;
};

}  // namespace

swf::Mp3DecoderFactory mpg123DecoderFactory() {
#if MPG123_API_VERSION < 46
    mpg123_init();  // a no-op since 1.27, needed before
#endif
    return [](const swf::SoundFormat& format) -> std::unique_ptr<swf::SoundDecoder> {
        auto decoder = std::make_unique<Mpg123Decoder>(format.rateHz);
        if (!decoder->valid()) return nullptr;
        return decoder;
    };
}

}  // namespace swfaudio
