#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

enum class SeekOrigin { Begin, Current, End };

// A seekable stream of bytes: a movie file or a movie in memory.
class ByteStream {
  public:
    virtual ~ByteStream() = default;
    // The count moved; 0 when the call fails.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // The new position, or -1 when the call fails.
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;

    virtual std::int64_t Size() {
        const std::int64_t at = Seek(0, SeekOrigin::Current);
        const std::int64_t end = Seek(0, SeekOrigin::End);
        Seek(at, SeekOrigin::Begin);
        return end;
    }
    std::int64_t Position() { return Seek(0, SeekOrigin::Current); }

    // Reads until `count` bytes arrived or the stream gives no more; the count read.
    std::size_t ReadFully(void* buffer, std::size_t count) {
        auto* at = static_cast<unsigned char*>(buffer);
        std::size_t done = 0;
        while (done < count) {
            const std::size_t got = Read(at + done, count - done);
            if (got == 0) break;
            done += got;
        }
        return done;
    }
};

// A stream over bytes in memory; it grows when written past its end.
class MemoryStream : public ByteStream {
  public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        if (pos_ >= bytes_.size()) return 0;
        const std::size_t n = count < bytes_.size() - pos_ ? count : bytes_.size() - pos_;
        std::copy(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_),
                  bytes_.begin() + static_cast<std::ptrdiff_t>(pos_ + n),
                  static_cast<std::uint8_t*>(buffer));
        pos_ += n;
        return n;
    }
    std::size_t Write(const void* buffer, std::size_t count) override {
        if (bytes_.size() < pos_ + count) bytes_.resize(pos_ + count);
        const auto* from = static_cast<const std::uint8_t*>(buffer);
        std::copy(from, from + count, bytes_.begin() + static_cast<std::ptrdiff_t>(pos_));
        pos_ += count;
        return count;
    }
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
        const std::int64_t base = origin == SeekOrigin::Begin     ? 0
                                  : origin == SeekOrigin::Current ? static_cast<std::int64_t>(pos_)
                                                                  : Size();
        if (base + offset < 0) return -1;
        pos_ = static_cast<std::size_t>(base + offset);
        return static_cast<std::int64_t>(pos_);
    }
    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};
