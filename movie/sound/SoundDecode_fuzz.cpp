// DecodeSound and StreamDecoder on any bytes, with the native MP3 decoder. Besides not crashing:
// sounds have one or two channels and whole frames, the sample count decides their length
// (capped), and a stream block adds what its data stands for: raw blocks their whole frames, MP3
// blocks with frames their frames' length.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzCheck.h"
#include "Mp3Frames.h"
#include "SoundDecode.h"

namespace {

constexpr std::uint8_t kCodecs[] = {SoundCodec::RawNative,  SoundCodec::Adpcm,
                                    SoundCodec::Mp3,        SoundCodec::RawLittle,
                                    SoundCodec::Nellymoser, SoundCodec::Speex};

// A decoder takes a while to make: every sound and stream borrows the one of the program.
Mp3Decoder& TheDecoder() {
    static const auto decoder = MakeMp3Decoder();
    FUZZ_CHECK(decoder != nullptr);
    return *decoder;
}

class Borrowed : public Mp3Decoder {
  public:
    bool DecodeFrame(const Mp3FrameHeader& h, const std::uint8_t* frame, std::size_t size,
                     std::vector<std::int16_t>& out) override {
        return TheDecoder().DecodeFrame(h, frame, size, out);
    }
    void Finish(std::vector<std::int16_t>& out) override { TheDecoder().Finish(out); }
    void Reset() override { TheDecoder().Reset(); }
};

void CheckStream(const SoundFormat& format, const std::uint8_t* data, std::size_t size) {
    TheDecoder().Reset();
    StreamDecoder stream(format, std::make_unique<Borrowed>(), data[0]);
    const int channels = stream.Channels();
    FUZZ_CHECK(stream.Rate() == format.Rate() && channels == format.Channels());
    std::vector<std::int16_t> out;
    // Blocks, each after a byte of its length.
    for (std::size_t at = 1; at < size;) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        const std::uint8_t* block = data + at + 1;
        const std::size_t before = out.size();
        stream.Block(block, length, out);
        const std::size_t added = out.size() - before;
        FUZZ_CHECK(added % channels == 0);
        if (format.codec == SoundCodec::RawNative || format.codec == SoundCodec::RawLittle)
            FUZZ_CHECK(added / channels == length / ((format.sixteenBit ? 2 : 1) * channels));
        if (format.codec == SoundCodec::Mp3 && length > 4) {
            const Mp3Split split = SplitMp3Frames(block + 4, length - 4);
            std::size_t frames = 0;
            for (const Mp3Frame& f : split.frames) frames += f.header.samplesPerFrame;
            if (!split.frames.empty()) FUZZ_CHECK(added == frames * channels);
        }
        at += 1 + length;
        if (data[at - 1] == 0xFF) stream.Reset();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    SoundFormat format;
    format.codec = kCodecs[data[0] % sizeof kCodecs];
    format.rateCode = data[1] & 3;
    format.sixteenBit = (data[1] & 4) != 0;
    format.stereo = (data[1] & 8) != 0;
    // Mostly short counts; now and then none, or more than the cap. (The cap itself, the
    // silence of a sound that does not decode, is a unit test's: it takes 64 MiB each time.)
    const bool decodes = format.codec != SoundCodec::Nellymoser &&
                         format.codec != SoundCodec::Speex && format.codec != SoundCodec::Mp3;
    std::uint32_t count = data[2] | std::uint32_t{data[3] & 0x1Fu} << 8;
    if (data[1] & 0x10) count = decodes && (data[1] & 0x20) ? 0xFFFFFFFF : 0;
    data += 4;
    size -= 4;

    const PcmSound sound = DecodeSound(format, data, size, count, &TheDecoder());
    FUZZ_CHECK(sound.channels == 1 || sound.channels == 2);
    FUZZ_CHECK(sound.samples.size() % sound.channels == 0);
    FUZZ_CHECK(sound.Frames() <= kMaxSoundFrames);
    if (count > 0 && count <= kMaxSoundFrames) FUZZ_CHECK(sound.Frames() == count);
    // Otherwise the decoded length: at least two bits a sample.
    if (count == 0xFFFFFFFF) FUZZ_CHECK(sound.Frames() * 2 * sound.channels <= size * 8);
    if (format.codec != SoundCodec::Mp3)
        FUZZ_CHECK(sound.rate == format.Rate() && sound.channels == format.Channels());

    if (size > 0) CheckStream(format, data, size);
    return 0;
}
