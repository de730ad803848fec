#pragma once
// Numbers in little-endian byte order, as the movie formats and our own files keep them.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace le {

inline std::uint16_t Get16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}
inline std::uint32_t Get32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}
inline void Set32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
inline void Append16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void Append32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Fields over a bounded span. Reading past the end yields zeros and marks the reader failed, so a
// parser checks once at the end instead of at every field.
class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), end_(size) {}

    bool Ok() const { return ok_; }
    std::size_t Pos() const { return pos_; }
    std::size_t Left() const { return end_ - pos_; }
    const std::uint8_t* Here() const { return data_ + pos_; }

    std::uint8_t U8() {
        if (pos_ >= end_) {
            ok_ = false;
            return 0;
        }
        return data_[pos_++];
    }
    std::uint16_t U16() {
        if (Left() < 2) return Fail();
        pos_ += 2;
        return Get16(data_ + pos_ - 2);
    }
    std::uint32_t U32() {
        if (Left() < 4) return Fail();
        pos_ += 4;
        return Get32(data_ + pos_ - 4);
    }
    void Skip(std::size_t n) {
        if (n > Left()) {
            Fail();
        } else {
            pos_ += n;
        }
    }

  protected:
    std::uint8_t Fail() {
        ok_ = false;
        pos_ = end_;
        return 0;
    }

    const std::uint8_t* data_;
    std::size_t pos_ = 0;
    std::size_t end_;
    bool ok_ = true;
};

}  // namespace le
