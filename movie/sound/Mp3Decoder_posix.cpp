// The MP3 decoder of the native build: Debian's libmpg123, fed one whole frame at a time.
#include <mpg123.h>

#include <cstring>
#include <mutex>

#include "Mp3Decoder.h"

namespace {

class LibraryMp3Decoder : public Mp3Decoder {
  public:
    LibraryMp3Decoder() {
        static std::once_flag once;
        std::call_once(once, [] { mpg123_init(); });
        handle_ = mpg123_new(nullptr, nullptr);
        if (!handle_) return;
        // Whole frames come in, so nothing waits for the next header; nothing is trimmed either,
        // since the caller counts the frames' samples.
        bool ok = mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_NO_READAHEAD, 0) ==
                      MPG123_OK &&
                  mpg123_param(handle_, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0) == MPG123_OK &&
                  mpg123_format_none(handle_) == MPG123_OK;
        const long* rates = nullptr;
        std::size_t count = 0;
        mpg123_rates(&rates, &count);
        for (std::size_t i = 0; ok && i < count; ++i)
            ok = mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO,
                               MPG123_ENC_SIGNED_16) == MPG123_OK;
        if (!ok || mpg123_open_feed(handle_) != MPG123_OK) {
            mpg123_delete(handle_);
            handle_ = nullptr;
        }
    }
    ~LibraryMp3Decoder() override {
        if (handle_) mpg123_delete(handle_);
    }
    LibraryMp3Decoder(const LibraryMp3Decoder&) = delete;
    LibraryMp3Decoder& operator=(const LibraryMp3Decoder&) = delete;

    bool Usable() const { return handle_ != nullptr; }

    bool DecodeFrame(const Mp3FrameHeader&, const std::uint8_t* frame, std::size_t size,
                     std::vector<std::int16_t>& out) override {
        if (!handle_ || mpg123_feed(handle_, frame, size) != MPG123_OK) return false;
        bool decoded = false;
        for (;;) {
            off_t number = 0;
            unsigned char* audio = nullptr;
            std::size_t bytes = 0;
            const int r = mpg123_decode_frame(handle_, &number, &audio, &bytes);
            if (r == MPG123_NEW_FORMAT) continue;
            if (r == MPG123_NEED_MORE) return decoded;
            if (r != MPG123_OK) {
                // The library's state after an error is its own; start afresh with the next frame.
                Reset();
                return false;
            }
            const std::size_t at = out.size();
            out.resize(at + bytes / 2);
            if (bytes >= 2) std::memcpy(&out[at], audio, bytes / 2 * 2);
            decoded = true;
        }
    }

    void Finish(std::vector<std::int16_t>&) override {}

    void Reset() override {
        if (!handle_) return;
        mpg123_close(handle_);
        if (mpg123_open_feed(handle_) != MPG123_OK) {
            mpg123_delete(handle_);
            handle_ = nullptr;
        }
    }

  private:
    mpg123_handle* handle_ = nullptr;
};

}  // namespace

std::unique_ptr<Mp3Decoder> MakeMp3Decoder() {
    auto decoder = std::make_unique<LibraryMp3Decoder>();
    if (!decoder->Usable()) return nullptr;
    return decoder;
}
