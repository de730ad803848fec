#pragma once
// Helpers of the sound tests: bits written as a decoder reads them, the test MP3 files, and what
// a decoded sine wave measures.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BuildPath.h"

namespace sounddata {

using Bytes = std::vector<std::uint8_t>;

// Fields first to last, each from its top bit; the last byte is padded with zeros.
class BitWriter {
  public:
    BitWriter& Put(std::uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (count_ % 8 == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (count_ % 8));
            ++count_;
        }
        return *this;
    }
    // A signed 16-bit field.
    BitWriter& Sample(int value) { return Put(static_cast<std::uint16_t>(value), 16); }
    const Bytes& bytes() const { return bytes_; }

  private:
    Bytes bytes_;
    std::size_t count_ = 0;
};

inline Bytes ReadTestSound(const char* name) {
    std::ifstream in(FromBuild((std::string(SOUND_TEST_FILES) + "/" + name).c_str()),
                     std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One channel of interleaved samples, frames [from, to).
inline std::vector<double> Channel(const std::vector<std::int16_t>& samples, int channels,
                                   int channel, std::size_t from, std::size_t to) {
    std::vector<double> out;
    for (std::size_t i = from; i < to && i * channels + channel < samples.size(); ++i)
        out.push_back(samples[i * channels + channel]);
    return out;
}

// The frequency of a tone by its upward zero crossings.
inline double Frequency(const std::vector<double>& tone, double rate) {
    int up = 0;
    for (std::size_t i = 1; i < tone.size(); ++i)
        if (tone[i - 1] < 0 && tone[i] >= 0) ++up;
    return tone.empty() ? 0 : up * rate / static_cast<double>(tone.size());
}

inline double Rms(const std::vector<double>& tone) {
    double sum = 0;
    for (const double s : tone) sum += s * s;
    return tone.empty() ? 0 : std::sqrt(sum / static_cast<double>(tone.size()));
}

// The test files hold one second of a sine at half of full scale.
constexpr double kSineRms = 16384 / 1.4142135623730951;

}  // namespace sounddata
