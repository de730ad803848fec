// The MP3 decoder on Windows: the audio compression manager's layer III codec, through one
// conversion stream for the rate and channels of the frames at hand.
#include <windows.h>
// The lean Windows header leaves the multimedia types out.
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>

#include "Mp3Decoder.h"
#include "UniqueResource.h"

namespace {

// A close that fails leaves nothing to do: the stream is gone either way.
void CloseAcmStream(HACMSTREAM stream) {
    acmStreamClose(stream, 0);
}
using UniqueAcmStream = UniqueResource<HACMSTREAM, CloseAcmStream, nullptr>;

// A source and destination buffer prepared for the stream while it lives.
class PreparedHeader {
  public:
    PreparedHeader(HACMSTREAM stream, const std::uint8_t* source, DWORD sourceSize, BYTE* target,
                   DWORD targetSize)
        : stream_(stream) {
        header_.cbStruct = sizeof header_;
        header_.pbSrc = const_cast<BYTE*>(source);
        header_.cbSrcLength = sourceSize;
        header_.pbDst = target;
        header_.cbDstLength = targetSize;
        prepared_ = acmStreamPrepareHeader(stream_, &header_, 0) == MMSYSERR_NOERROR;
    }
    // Unpreparing fails only while the codec still works on the buffers, which a conversion
    // without a callback never leaves it doing.
    ~PreparedHeader() {
        if (prepared_) acmStreamUnprepareHeader(stream_, &header_, 0);
    }
    PreparedHeader(const PreparedHeader&) = delete;
    PreparedHeader& operator=(const PreparedHeader&) = delete;

    bool Prepared() const { return prepared_; }
    ACMSTREAMHEADER* Get() { return &header_; }

  private:
    HACMSTREAM stream_;
    ACMSTREAMHEADER header_{};
    bool prepared_ = false;
};

// A conversion of frames like `h` into 16-bit samples; with ACM_STREAMOPENF_QUERY only whether the
// system can.
bool OpenStream(const Mp3FrameHeader& h, HACMSTREAM* stream, DWORD flags) {
    const auto channels = static_cast<WORD>(h.Channels());
    MPEGLAYER3WAVEFORMAT source{};
    source.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    source.wfx.nChannels = channels;
    source.wfx.nSamplesPerSec = h.sampleRate;
    source.wfx.nAvgBytesPerSec = h.bitrate / 8;
    source.wfx.nBlockAlign = 1;
    source.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    source.wID = MPEGLAYER3_ID_MPEG;
    source.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
    source.nBlockSize = static_cast<WORD>(h.length - (h.padding ? 1 : 0));
    source.nFramesPerBlock = 1;
    WAVEFORMATEX target{};
    target.wFormatTag = WAVE_FORMAT_PCM;
    target.nChannels = channels;
    target.nSamplesPerSec = h.sampleRate;
    target.wBitsPerSample = 16;
    target.nBlockAlign = static_cast<WORD>(2 * channels);
    target.nAvgBytesPerSec = h.sampleRate * target.nBlockAlign;
    return acmStreamOpen(stream, nullptr, &source.wfx, &target, nullptr, 0, 0,
                         flags | ACM_STREAMOPENF_NONREALTIME) == MMSYSERR_NOERROR;
}

class AcmMp3Decoder : public Mp3Decoder {
  public:
    bool DecodeFrame(const Mp3FrameHeader& header, const std::uint8_t* frame, std::size_t size,
                     std::vector<std::int16_t>& out) override {
        if (size < 4 || size > 0xFFFF || !Open(header)) return false;
        std::memcpy(lastHeader_, frame, 4);
        lastLength_ = header.length - (header.padding ? 1 : 0);
        owed_ += std::size_t{header.samplesPerFrame} * header.Channels();
        return Convert(frame, static_cast<DWORD>(size), out);
    }

    // A codec may keep the last frame until it sees the next one's header (Wine's keeps the
    // first frame and gives it out with the second): a silent frame of the same kind pushes it
    // out, and of what comes out only the samples still owed count.
    void Finish(std::vector<std::int16_t>& out) override {
        if (stream_ && owed_ > 0 && lastLength_ >= 4) {
            std::vector<std::uint8_t> silent(lastLength_, 0);
            std::memcpy(silent.data(), lastHeader_, 4);
            silent[1] |= 1;    // no check word
            silent[2] &= ~2u;  // no padding byte
            const std::size_t owed = owed_;
            std::vector<std::int16_t> rest;
            if (Convert(silent.data(), static_cast<DWORD>(silent.size()), rest))
                out.insert(out.end(), rest.begin(), rest.begin() + std::min(rest.size(), owed));
        }
        Reset();
    }

    void Reset() override {
        stream_.reset();
        owed_ = 0;
    }

  private:
    bool Open(const Mp3FrameHeader& h) {
        if (stream_ && h.sampleRate == rate_ && h.Channels() == channels_) return true;
        // What the old stream holds back is lost with it.
        Reset();
        HACMSTREAM stream = nullptr;
        if (!OpenStream(h, &stream, 0)) return false;
        stream_.reset(stream);
        rate_ = h.sampleRate;
        channels_ = h.Channels();
        return true;
    }

    bool Convert(const std::uint8_t* frame, DWORD size, std::vector<std::int16_t>& out) {
        PreparedHeader prepared(stream_.get(), frame, size, reinterpret_cast<BYTE*>(buffer_),
                                sizeof buffer_);
        if (!prepared.Prepared() ||
            acmStreamConvert(stream_.get(), prepared.Get(), ACM_STREAMCONVERTF_BLOCKALIGN) !=
                MMSYSERR_NOERROR)
            return false;
        const std::size_t samples = prepared.Get()->cbDstLengthUsed / 2;
        out.insert(out.end(), buffer_, buffer_ + samples);
        owed_ -= std::min(owed_, samples);
        return true;
    }

    UniqueAcmStream stream_;
    std::uint32_t rate_ = 0;
    int channels_ = 0;
    std::uint8_t lastHeader_[4] = {};
    std::size_t lastLength_ = 0;
    std::size_t owed_ = 0;  // samples fed and not yet given out
    // Room for the frames a call may release: the one held back and the one fed.
    std::int16_t buffer_[3 * 1152 * 2];
};

}  // namespace

std::unique_ptr<Mp3Decoder> MakeMp3Decoder() {
    // Frames of the most common kind: 128 kbit/s, 44.1 kHz, joint stereo.
    const std::uint8_t common[4] = {0xFF, 0xFB, 0x90, 0x64};
    Mp3FrameHeader h;
    if (!ParseMp3Header(common, sizeof common, h) || !OpenStream(h, nullptr, ACM_STREAMOPENF_QUERY))
        return nullptr;
    return std::make_unique<AcmMp3Decoder>();
}
