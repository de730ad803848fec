#include "ukpv.h"

#include <cstring>
#include <stdexcept>
#include <vector>

void KpvTransformBuffer(std::uint8_t* data, std::size_t count) {
    // A left shift by four moves each byte's low nibble into its own high nibble; the mask drops
    // what crossed into the next byte. So a word does eight bytes at once in either byte order,
    // and a vector register sixteen.
    constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0ULL;
    std::size_t i = 0;
#if defined(__GNUC__)
    typedef std::uint64_t Lanes __attribute__((vector_size(16)));
    const Lanes high = {kHigh, kHigh};
    for (; i + 16 <= count; i += 16) {
        Lanes v;
        std::memcpy(&v, data + i, 16);
        v ^= (v << 4) & high;
        std::memcpy(data + i, &v, 16);
    }
#endif
    for (; i + 8 <= count; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, data + i, 8);
        w ^= (w << 4) & kHigh;
        std::memcpy(data + i, &w, 8);
    }
    for (; i < count; ++i) data[i] = KpvTransform(data[i]);
}

bool IsKpvVersion(std::uint8_t version) {
    return version == 0x88 || version == 0x89 || version == 0x90;
}

void SplitKpvName(const std::string& name, std::string& key, std::string& fileName) {
    const auto at = name.find("KPV:");
    if (at == std::string::npos) {
        key.clear();
        fileName = name;
    } else {
        key = name.substr(0, at);
        fileName = name.substr(at + 4);
    }
}

namespace {

osfile::Origin ToOs(SeekOrigin origin) {
    switch (origin) {
        case SeekOrigin::Begin:
            return osfile::Origin::Begin;
        case SeekOrigin::End:
            return osfile::Origin::End;
        default:
            return osfile::Origin::Current;
    }
}

std::string KeyOf(const std::string& name) {
    std::string key, fileName;
    SplitKpvName(name, key, fileName);
    return key;
}

std::string FileNameOf(const std::string& name) {
    std::string key, fileName;
    SplitKpvName(name, key, fileName);
    return fileName;
}

std::string FileError(const char* what, const std::string& fileName, int code) {
    return std::string(what) + " \"" + osfile::ExpandFileName(fileName) + "\". " +
           osfile::SysErrorMessage(code);
}

// Opens before the stream exists, so that the system's error is the open call's own.
osfile::Handle OpenByName(const std::string& name, unsigned mode) {
    const std::string fileName = FileNameOf(name);
    if (mode == kKpvCreate) {
        const osfile::Handle h = osfile::Create(fileName);
        if (h == osfile::kInvalidHandle)
            throw std::runtime_error(
                FileError("Cannot create file", fileName, osfile::LastError()));
        return h;
    }
    const osfile::Handle h = osfile::Open(fileName, mode);
    if (h == osfile::kInvalidHandle)
        throw std::runtime_error(FileError("Cannot open file", fileName, osfile::LastError()));
    return h;
}

constexpr std::uint8_t kHeader[4] = {'K', 'P', 'V', kKpvWriteVersion};

}  // namespace

TKPVHandleStream::TKPVHandleStream(osfile::Handle handle) : handle_(handle) {
    Probe();
}

TKPVHandleStream::TKPVHandleStream(osfile::Handle handle, std::string key, std::string fileName)
    : handle_(handle), key_(std::move(key)), fileName_(std::move(fileName)) {
    Probe();
}

void TKPVHandleStream::Probe() {
    std::uint8_t head[4];
    scrambled_ = osfile::Read(handle_, head, 4) == 4 && head[0] == 'K' && head[1] == 'P' &&
                 head[2] == 'V' && IsKpvVersion(head[3]);
    if (osfile::Seek(handle_, 0, osfile::Origin::Begin) != 0) scrambled_ = false;
}

std::size_t TKPVHandleStream::Read(void* buffer, std::size_t count) {
    if (!scrambled_) {
        const std::int64_t got = osfile::Read(handle_, buffer, count);
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    if (osfile::Seek(handle_, 0, osfile::Origin::Current) == 0)
        osfile::Seek(handle_, 4, osfile::Origin::Begin);
    // Piece by piece, each unscrambled while it is still in the cache; pieces large enough that
    // the extra system calls do not count.
    constexpr std::size_t kPiece = 256 * 1024;
    auto* at = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t want = count - done < kPiece ? count - done : kPiece;
        const std::int64_t got = osfile::Read(handle_, at + done, want);
        if (got <= 0) break;
        KpvTransformBuffer(at + done, static_cast<std::size_t>(got));
        done += static_cast<std::size_t>(got);
        if (static_cast<std::size_t>(got) < want) break;
    }
    return done;
}

std::size_t TKPVHandleStream::Write(const void* buffer, std::size_t count) {
    if (osfile::Seek(handle_, 0, osfile::Origin::Current) == 0 &&
        osfile::Write(handle_, kHeader, 4) != 4)
        return 0;
    // Scrambled through a bounded copy: the caller's bytes stay as they are.
    constexpr std::size_t kChunk = 64 * 1024;
    std::vector<std::uint8_t> chunk(count < kChunk ? count : kChunk);
    const auto* from = static_cast<const std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t n = count - done < kChunk ? count - done : kChunk;
        std::memcpy(chunk.data(), from + done, n);
        KpvTransformBuffer(chunk.data(), n);
        const std::int64_t put = osfile::Write(handle_, chunk.data(), n);
        if (put <= 0) break;
        done += static_cast<std::size_t>(put);
        if (static_cast<std::size_t>(put) < n) break;
    }
    return done;
}

std::int64_t TKPVHandleStream::Seek(std::int64_t offset, SeekOrigin origin) {
    return osfile::Seek(handle_, offset, ToOs(origin));
}

std::int64_t TKPVHandleStream::Size() {
    const std::int64_t at = osfile::Seek(handle_, 0, osfile::Origin::Current);
    const std::int64_t end = osfile::Seek(handle_, 0, osfile::Origin::End);
    osfile::Seek(handle_, at, osfile::Origin::Begin);
    return end;
}

void TKPVHandleStream::SetSize(std::int64_t newSize) {
    if (osfile::Seek(handle_, newSize, osfile::Origin::Begin) < 0 || !osfile::Truncate(handle_)) {
        const int code = osfile::LastError();
        throw std::runtime_error("System Error.  Code: " + std::to_string(code) + ".\r\n" +
                                 osfile::SysErrorMessage(code));
    }
}

TKPVFileStream::TKPVFileStream(const std::string& name, unsigned mode)
    : TKPVHandleStream(OpenByName(name, mode), KeyOf(name), FileNameOf(name)) {}

TKPVFileStream::~TKPVFileStream() {
    if (handle_ != osfile::kInvalidHandle) osfile::Close(handle_);
}
