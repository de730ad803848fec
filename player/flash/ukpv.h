#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "ByteStream.h"
#include "OsFile.h"

// The scrambled movie container: "KPV", a version byte, then the payload with every byte
// transformed. Files without that header are read as they are.

// The byte transform: the high nibble becomes high XOR low. Applying it twice gives the byte back.
inline std::uint8_t KpvTransform(std::uint8_t b) {
    return static_cast<std::uint8_t>(b ^ ((b << 4) & 0xF0));
}
// The same transform over a buffer, in place, a machine word at a time.
void KpvTransformBuffer(std::uint8_t* data, std::size_t count);

// Version bytes that mark a scrambled file; writing always puts the first.
constexpr std::uint8_t kKpvWriteVersion = 0x88;
bool IsKpvVersion(std::uint8_t version);

constexpr std::uint16_t kKpvCreate = 0xFFFF;  // open mode that creates the file

// A stream over an open file handle. Positions, seeking and size are raw file positions: the
// payload of a scrambled file starts at 4. Reading position 0 of a scrambled file skips the
// header; every write is scrambled, and a write at position 0 lays down the header first.
class TKPVHandleStream : public ByteStream {
  public:
    // Wraps the handle (it stays the caller's) and probes its header from the current position.
    explicit TKPVHandleStream(osfile::Handle handle);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override;
    // Moves to `newSize` and ends the file there; throws std::runtime_error
    // "System Error.  Code: %d.\r\n%s" when the system refuses.
    void SetSize(std::int64_t newSize);

    osfile::Handle Handle() const { return handle_; }
    bool Scrambled() const { return scrambled_; }
    const std::string& Key() const { return key_; }
    const std::string& FileName() const { return fileName_; }

  protected:
    TKPVHandleStream(osfile::Handle handle, std::string key, std::string fileName);

    osfile::Handle handle_;

  private:
    void Probe();

    bool scrambled_ = false;
    std::string key_;
    std::string fileName_;
};

// Opens or creates a file by name. The name may carry a key in front of "KPV:"; the key is kept
// but changes nothing. `mode` 0xFFFF creates the file (emptying one that exists), any other value
// is an open mode (0 reads). Throws std::runtime_error "Cannot create file \"%s\". %s" or
// "Cannot open file \"%s\". %s" with the full file name and the system's message.
class TKPVFileStream : public TKPVHandleStream {
  public:
    TKPVFileStream(const std::string& name, unsigned mode);
    ~TKPVFileStream() override;
    TKPVFileStream(const TKPVFileStream&) = delete;
    TKPVFileStream& operator=(const TKPVFileStream&) = delete;
};

// Splits "keyKPV:path" at the first "KPV:"; a name without it is all path.
void SplitKpvName(const std::string& name, std::string& key, std::string& fileName);
