#pragma once
// The field reader of SWF records: byte fields over a bounded span, and the bit fields that
// rectangles, matrices, colour transforms and shape records pack.
#include <cstdint>
#include <string>

#include "LittleEndian.h"

namespace swf {

class BitReader : public le::Reader {
  public:
    using le::Reader::Reader;

    // A reader over the next `n` bytes, which this one skips.
    BitReader Sub(std::size_t n) {
        const std::size_t take = n <= Left() ? n : Left();
        BitReader r(Here(), take);
        if (take < n) r.ok_ = false;
        Skip(n);
        return r;
    }

    // Byte fields start at a fresh byte.
    std::uint8_t U8() {
        bits_ = 0;
        return le::Reader::U8();
    }
    std::uint16_t U16() {
        bits_ = 0;
        return le::Reader::U16();
    }
    std::int16_t S16() { return static_cast<std::int16_t>(U16()); }
    std::uint32_t U32() {
        bits_ = 0;
        return le::Reader::U32();
    }
    void Skip(std::size_t n) {
        bits_ = 0;
        le::Reader::Skip(n);
    }
    // A zero-terminated string; one without its terminator fails.
    std::string String() {
        bits_ = 0;
        std::string s;
        while (pos_ < end_ && data_[pos_] != 0) s.push_back(static_cast<char>(data_[pos_++]));
        if (pos_ >= end_) {
            ok_ = false;
            return s;
        }
        ++pos_;
        return s;
    }
    // 8.8 and 16.16 fixed point.
    double Fixed8() { return S16() / 256.0; }
    double Fixed16() { return static_cast<std::int32_t>(U32()) / 65536.0; }

    std::uint32_t UBits(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            if (bits_ == 0) {
                if (pos_ >= end_) {
                    ok_ = false;
                    return 0;
                }
                byte_ = data_[pos_++];
                bits_ = 8;
            }
            --bits_;
            v = v << 1 | ((byte_ >> bits_) & 1u);
        }
        return v;
    }
    std::int32_t SBits(int n) {
        if (n == 0) return 0;
        const std::uint32_t v = UBits(n);
        if (n < 32 && (v & (1u << (n - 1)))) return static_cast<std::int32_t>(v | ~((1u << n) - 1));
        return static_cast<std::int32_t>(v);
    }
    // The next byte-aligned read starts at a fresh byte.
    void Align() { bits_ = 0; }

  private:
    std::uint8_t byte_ = 0;
    int bits_ = 0;
};

}  // namespace swf
