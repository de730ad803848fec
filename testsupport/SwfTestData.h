#pragma once
// Helpers of the movie tests: files as bytes, the movies of the movie tool, and small hand-made
// SWF data for the cases the tool never writes.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A movie written by tools/swf/make_swf.py --test-movies.
inline std::string TestMovie(const std::string& name) {
    return std::string(FLASH_TEST_MOVIES) + "/" + name;
}

// Hand-made SWF data.
namespace swfdata {

class Bits {
  public:
    void Put(std::int64_t value, int n) {
        for (int i = n - 1; i >= 0; --i) {
            if (count_ % 8 == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (count_ % 8));
            ++count_;
        }
    }
    Bytes Take() { return std::move(bytes_); }

  private:
    Bytes bytes_;
    int count_ = 0;
};

inline void Append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Tags one after the other.
inline Bytes operator+(Bytes a, const Bytes& b) {
    Append(a, b);
    return a;
}

inline Bytes U16(unsigned v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
}

inline Bytes U32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

inline Bytes Str(const std::string& s) {
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}

inline Bytes Rect(int xMin, int xMax, int yMin, int yMax) {
    Bits bits;
    bits.Put(16, 5);
    for (int v : {xMin, xMax, yMin, yMax}) bits.Put(v, 16);
    return bits.Take();
}

inline Bytes Translate(int x, int y) {
    Bits bits;
    bits.Put(0, 1);
    bits.Put(0, 1);
    bits.Put(20, 5);
    bits.Put(x, 20);
    bits.Put(y, 20);
    return bits.Take();
}

// A tag with the short header when it fits, or always the long one.
inline Bytes Tag(int code, const Bytes& body, bool longHeader = false) {
    Bytes t;
    if (!longHeader && body.size() < 0x3F) {
        t = U16(static_cast<unsigned>(code << 6) | static_cast<unsigned>(body.size()));
    } else {
        t = U16(static_cast<unsigned>(code << 6) | 0x3F);
        Append(t, U32(static_cast<std::uint32_t>(body.size())));
    }
    Append(t, body);
    return t;
}

inline Bytes ShowFrame() {
    return Tag(1, {});
}

inline Bytes EditText(unsigned id, const std::string& variable, const std::string& text,
                      bool html = false) {
    Bytes b = U16(id);
    Append(b, Rect(0, 2000, 0, 400));
    b.push_back(0x80 | 0x04 | 0x01);
    b.push_back(html ? 0x02 : 0x00);
    Append(b, U16(1));
    Append(b, U16(240));
    Append(b, {0x11, 0x22, 0x33, 0xFF});
    Append(b, Str(variable));
    Append(b, Str(text));
    return Tag(37, b);
}

inline Bytes Place(unsigned id, unsigned depth, int x, int y) {
    Bytes b{0x06};
    Append(b, U16(depth));
    Append(b, U16(id));
    Append(b, Translate(x, y));
    return Tag(26, b);
}

inline Bytes Move(unsigned depth, int x, int y) {
    Bytes b{0x05};
    Append(b, U16(depth));
    Append(b, Translate(x, y));
    return Tag(26, b);
}

inline Bytes RemoveDepth(unsigned depth) {
    return Tag(28, U16(depth));
}

inline Bytes GetUrl(const std::string& url, const std::string& target) {
    Bytes data = Str(url);
    Append(data, Str(target));
    Bytes a{0x83};
    Append(a, U16(static_cast<unsigned>(data.size())));
    Append(a, data);
    return a;
}

inline Bytes Actions(const Bytes& records) {
    Bytes b = records;
    b.push_back(0);
    return Tag(12, b);
}

// An uncompressed movie of 550 x 400 pixels around the given tags; the length field is right.
inline Bytes Movie(const Bytes& tags, std::uint8_t version = 8, unsigned frameRate = 12 * 256,
                   unsigned frameCount = 1) {
    Bytes body = Rect(0, 11000, 0, 8000);
    Append(body, U16(frameRate));
    Append(body, U16(frameCount));
    Append(body, tags);
    Bytes m{'F', 'W', 'S', version};
    Append(m, U32(static_cast<std::uint32_t>(8 + body.size())));
    Append(m, body);
    return m;
}

// SOUNDINFO: loops when `loops` > 1, an envelope when it has points (pos44, left, right).
struct EnvelopePoint {
    std::uint32_t pos44;
    unsigned left, right;
};
inline Bytes SoundInfo(bool syncStop = false, bool noMultiple = false, unsigned loops = 1,
                       long inPoint = -1, long outPoint = -1,
                       const std::vector<EnvelopePoint>& envelope = {}) {
    Bytes b{static_cast<std::uint8_t>((syncStop ? 0x20 : 0) | (noMultiple ? 0x10 : 0) |
                                      (!envelope.empty() ? 0x08 : 0) | (loops > 1 ? 0x04 : 0) |
                                      (outPoint >= 0 ? 0x02 : 0) | (inPoint >= 0 ? 0x01 : 0))};
    if (inPoint >= 0) Append(b, U32(static_cast<std::uint32_t>(inPoint)));
    if (outPoint >= 0) Append(b, U32(static_cast<std::uint32_t>(outPoint)));
    if (loops > 1) Append(b, U16(loops));
    if (!envelope.empty()) {
        b.push_back(static_cast<std::uint8_t>(envelope.size()));
        for (const EnvelopePoint& p : envelope) {
            Append(b, U32(p.pos44));
            Append(b, U16(p.left));
            Append(b, U16(p.right));
        }
    }
    return b;
}

// The format byte of sound tags: codec, rate code (0..3), 16-bit, stereo.
inline std::uint8_t SoundFormatByte(unsigned codec, unsigned rateCode, bool sixteenBit,
                                    bool stereo) {
    return static_cast<std::uint8_t>(codec << 4 | rateCode << 2 | (sixteenBit ? 2 : 0) |
                                     (stereo ? 1 : 0));
}

// 16-bit little-endian samples.
inline Bytes Pcm16(const std::vector<std::int16_t>& samples) {
    Bytes b;
    for (const std::int16_t s : samples) Append(b, U16(static_cast<std::uint16_t>(s)));
    return b;
}

inline Bytes DefineSound(unsigned id, std::uint8_t format, std::uint32_t sampleCount,
                         const Bytes& data) {
    Bytes b = U16(id);
    b.push_back(format);
    Append(b, U32(sampleCount));
    Append(b, data);
    return Tag(14, b, true);
}

inline Bytes StartSound(unsigned id, const Bytes& info) {
    Bytes b = U16(id);
    Append(b, info);
    return Tag(15, b);
}

inline Bytes StartSound2(const std::string& className, const Bytes& info) {
    Bytes b = Str(className);
    Append(b, info);
    return Tag(89, b);
}

inline Bytes ExportAssets(unsigned id, const std::string& name) {
    Bytes b = U16(1);
    Append(b, U16(id));
    Append(b, Str(name));
    return Tag(56, b);
}

// SoundStreamHead2 with the same playback and stream format.
inline Bytes StreamHead(std::uint8_t format, unsigned samplesPerFrame) {
    Bytes b{static_cast<std::uint8_t>(format & 0x0F), format};
    Append(b, U16(samplesPerFrame));
    if ((format >> 4) == 2) Append(b, U16(0));
    return Tag(45, b);
}

inline Bytes StreamBlock(const Bytes& data) {
    return Tag(19, data, true);
}

inline Bytes Sprite(unsigned id, unsigned frameCount, const Bytes& tags) {
    Bytes b = U16(id);
    Append(b, U16(frameCount));
    Append(b, tags);
    Append(b, U16(0));  // End
    return Tag(39, b, true);
}

inline Bytes ButtonSound(unsigned buttonId, const std::vector<std::pair<unsigned, Bytes>>& sounds) {
    Bytes b = U16(buttonId);
    for (const auto& [id, info] : sounds) {
        Append(b, U16(id));
        if (id != 0) Append(b, info);
    }
    return Tag(17, b);
}

}  // namespace swfdata
