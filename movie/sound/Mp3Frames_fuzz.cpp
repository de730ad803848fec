// SplitMp3Frames on any bytes, then the native decoder on its frames. Besides not crashing: the
// frames are whole, in order and apart, each header reads back alike where it stands, a frame
// taken after junk has an agreeing header after it (or no room for one), the bytes add up, and
// the decoder gives out no more than the frames hold.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "Mp3Decoder.h"
#include "Mp3Frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Mp3Split split = SplitMp3Frames(data, size);
    std::size_t end = 0, inFrames = 0;
    for (std::size_t i = 0; i < split.frames.size(); ++i) {
        const Mp3Frame& f = split.frames[i];
        FUZZ_CHECK(f.offset >= end);
        FUZZ_CHECK(f.header.length <= size - f.offset);
        Mp3FrameHeader again;
        FUZZ_CHECK(ParseMp3Header(data + f.offset, size - f.offset, again));
        FUZZ_CHECK(again.length == f.header.length && again.sampleRate == f.header.sampleRate);
        const bool afterJunk = i == 0 || f.offset != end;
        const std::size_t next = f.offset + f.header.length;
        Mp3FrameHeader following;
        if (afterJunk && size - next >= 4)
            FUZZ_CHECK(ParseMp3Header(data + next, size - next, following) &&
                       following.sampleRate == f.header.sampleRate &&
                       following.version == f.header.version &&
                       following.Channels() == f.header.Channels());
        end = next;
        inFrames += f.header.length;
    }
    FUZZ_CHECK(split.skipped + inFrames == size);

    auto decoder = MakeMp3Decoder();
    FUZZ_CHECK(decoder != nullptr);
    std::vector<std::int16_t> pcm;
    std::size_t fed = 0;
    for (const Mp3Frame& f : split.frames) {
        decoder->DecodeFrame(f.header, data + f.offset, f.header.length, pcm);
        fed += std::size_t{f.header.samplesPerFrame} * 2;
        FUZZ_CHECK(pcm.size() <= fed);
    }
    decoder->Finish(pcm);
    FUZZ_CHECK(pcm.size() <= fed);
    return 0;
}
