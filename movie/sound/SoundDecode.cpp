#include "SoundDecode.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "Adpcm.h"

namespace {

using Samples = std::vector<std::int16_t>;

void AppendSilence(Samples& out, std::uint64_t frames, int channels) {
    out.insert(out.end(), static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels),
               std::int16_t{0});
}

// Codec 0 is the writing machine's byte order, little-endian on the machines that make movies.
bool IsRaw(std::uint8_t codec) {
    return codec == SoundCodec::RawNative || codec == SoundCodec::RawLittle;
}

std::size_t AppendRaw(const SoundFormat& f, const std::uint8_t* data, std::size_t size,
                      std::size_t maxFrames, Samples& out) {
    const std::size_t width = f.sixteenBit ? 2 : 1;
    const std::size_t count =
        std::min(size / (width * static_cast<std::size_t>(f.Channels())), maxFrames) *
        static_cast<std::size_t>(f.Channels());
    const std::size_t at = out.size();
    out.resize(at + count);
    for (std::size_t i = 0; i < count; ++i)
        out[at + i] = f.sixteenBit ? static_cast<std::int16_t>(data[2 * i] | data[2 * i + 1] << 8)
                                   : static_cast<std::int16_t>((data[i] - 128) * 256);
    return count / static_cast<std::size_t>(f.Channels());
}

// Nellymoser codes 256 samples in each 64 bytes.
std::uint64_t NellymoserFrames(std::size_t size) {
    return std::uint64_t{size} / 64 * 256;
}

bool IsNellymoser(std::uint8_t codec) {
    return codec == SoundCodec::Nellymoser16k || codec == SoundCodec::Nellymoser8k ||
           codec == SoundCodec::Nellymoser;
}

// Decoded samples of `from` channels in `channels` channels; whole frames only, so that a
// decoder's odd count never swaps the channels after it.
void AppendAs(const Samples& pcm, int from, int channels, Samples& out) {
    if (from == channels) {
        out.insert(out.end(), pcm.begin(),
                   pcm.begin() + static_cast<std::ptrdiff_t>(pcm.size() / from * from));
    } else if (from == 1) {
        for (const std::int16_t s : pcm) out.insert(out.end(), {s, s});
    } else {
        for (std::size_t i = 0; i + 1 < pcm.size(); i += 2)
            out.push_back(static_cast<std::int16_t>((pcm[i] + pcm[i + 1]) / 2));
    }
}

// Feeds frames to the decoder until `maxFrames` are covered; returns how many frames they stand
// for. A frame of another rate, or one the decoder refuses, stands for its length in silence.
std::uint64_t DecodeMp3Frames(Mp3Decoder& mp3, const std::uint8_t* data, const Mp3Split& split,
                              std::uint32_t rate, int channels, std::uint64_t maxFrames,
                              Samples& out) {
    std::uint64_t frames = 0;
    Samples pcm;
    for (const Mp3Frame& f : split.frames) {
        if (frames >= maxFrames) break;
        const Mp3FrameHeader& h = f.header;
        frames += h.samplesPerFrame;
        pcm.clear();
        const bool decoded =
            h.sampleRate == rate && mp3.DecodeFrame(h, data + f.offset, h.length, pcm);
        AppendAs(pcm, h.Channels(), channels, out);
        if (!decoded) AppendSilence(out, h.samplesPerFrame, channels);
    }
    return frames;
}

// A sound made exactly `frames` long: cut, or padded with silence.
void Fit(Samples& samples, std::uint64_t frames, int channels) {
    samples.resize(static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels), 0);
}

// An MP3 sound's frames after its skip count, in the shape of its first frame; false when there
// is nothing to decode.
bool DecodeMp3Sound(const std::uint8_t* data, std::size_t size, std::uint64_t limit,
                    Mp3Decoder* mp3, PcmSound& sound) {
    if (size < 2) return false;
    const int seek =
        std::max(0, static_cast<int>(static_cast<std::int16_t>(data[0] | data[1] << 8)));
    const Mp3Split split = SplitMp3Frames(data + 2, size - 2);
    if (split.frames.empty()) return false;
    sound.rate = split.frames.front().header.sampleRate;
    sound.channels = split.frames.front().header.Channels();
    if (!mp3) return false;
    mp3->Reset();
    const std::uint64_t frames = DecodeMp3Frames(*mp3, data + 2, split, sound.rate, sound.channels,
                                                 seek + limit, sound.samples);
    mp3->Finish(sound.samples);
    // As long as the frames fed, whatever the decoder held back or refused; then the skip.
    Fit(sound.samples, frames, sound.channels);
    const std::size_t skip =
        std::min(sound.samples.size(), static_cast<std::size_t>(seek) * sound.channels);
    sound.samples.erase(sound.samples.begin(), sound.samples.begin() + skip);
    return true;
}

}  // namespace

PcmSound DecodeSound(const SoundFormat& format, const std::uint8_t* data, std::size_t size,
                     std::uint32_t sampleCount, Mp3Decoder* mp3) {
    PcmSound sound;
    sound.rate = format.Rate();
    sound.channels = format.Channels();
    const bool sane = sampleCount > 0 && sampleCount <= kMaxSoundFrames;
    const std::uint64_t limit = sane ? sampleCount : kMaxSoundFrames;
    bool decoded = true;
    if (IsRaw(format.codec))
        AppendRaw(format, data, size, static_cast<std::size_t>(limit), sound.samples);
    else if (format.codec == SoundCodec::Adpcm)
        DecodeAdpcm(data, size, sound.channels, static_cast<std::size_t>(limit), sound.samples);
    else if (format.codec == SoundCodec::Mp3)
        decoded = DecodeMp3Sound(data, size, limit, mp3, sound);
    else
        decoded = false;
    std::uint64_t frames = std::min<std::uint64_t>(sampleCount, kMaxSoundFrames);
    if (decoded && !sane) frames = std::min<std::uint64_t>(sound.Frames(), limit);
    Fit(sound.samples, frames, sound.channels);
    return sound;
}

StreamDecoder::StreamDecoder(const SoundFormat& streamFormat, std::unique_ptr<Mp3Decoder> mp3,
                             std::uint32_t blockSamples)
    : format_(streamFormat), mp3_(std::move(mp3)), blockSamples_(blockSamples) {}

void StreamDecoder::Reset() {
    if (mp3_) mp3_->Reset();
    pending_.clear();
}

void StreamDecoder::Block(const std::uint8_t* data, std::size_t size, Samples& out) {
    const int channels = format_.Channels();
    if (IsRaw(format_.codec)) {
        AppendRaw(format_, data, size, kMaxSoundFrames, out);
    } else if (format_.codec == SoundCodec::Adpcm) {
        const AdpcmResult r = DecodeAdpcm(data, size, channels, kMaxSoundFrames, out);
        if ((r.damaged || size == 0) && r.frames < blockSamples_)
            AppendSilence(out, blockSamples_ - r.frames, channels);
    } else if (format_.codec == SoundCodec::Mp3) {
        Mp3Block(data, size, out);
    } else {
        AppendSilence(out,
                      IsNellymoser(format_.codec) && blockSamples_ == 0 ? NellymoserFrames(size)
                                                                        : blockSamples_,
                      channels);
    }
}

void StreamDecoder::Mp3Block(const std::uint8_t* data, std::size_t size, Samples& out) {
    const int channels = format_.Channels();
    if (size < 4) {
        AppendSilence(out, blockSamples_, channels);
        return;
    }
    // The block's own skip count places a movie frame inside the MP3 frames; played as one
    // continuous run, the frames need no skip.
    const std::uint16_t count = static_cast<std::uint16_t>(data[0] | data[1] << 8);
    const Mp3Split split = SplitMp3Frames(data + 4, size - 4);
    if (!mp3_ || split.frames.empty()) {
        // A block of no bytes beyond its counts carries no frame: the frames before it covered it.
        if (size > 4 || !mp3_) AppendSilence(out, count, channels);
        return;
    }
    const std::uint64_t frames =
        DecodeMp3Frames(*mp3_, data + 4, split, format_.Rate(), channels, UINT64_MAX, pending_);
    // Exactly the frames' length. A decoder that holds output back delays the stream by that
    // much, silence first; one that gives out more (it held back before, or a refused frame's
    // silence came on top) keeps the rest for the next block, at most two frames of it.
    const std::size_t want = static_cast<std::size_t>(frames) * channels;
    if (pending_.size() < want) AppendSilence(out, (want - pending_.size()) / channels, channels);
    const std::size_t give = std::min(want, pending_.size());
    out.insert(out.end(), pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(give));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(give));
    constexpr std::size_t kMostKept = 2 * 1152 * 2;
    if (pending_.size() > kMostKept)
        pending_.erase(pending_.begin(), pending_.end() - static_cast<std::ptrdiff_t>(
                                                              kMostKept / channels * channels));
}
