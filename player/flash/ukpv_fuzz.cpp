// The scrambled container over any file contents, held in a memory file so that no disk is
// touched. The header alone decides whether a file is scrambled; its payload reads back whole, in
// pieces of any size and from raw positions; a name with a key reads alike; a written payload
// reads back; and LoadMovieFile hands the control what reading the payload from memory gives.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "MovieControl.h"
#include "MovieImage.h"
#include "ShockwaveEx.h"
#include "ukpv.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A file in memory, reused from input to input.
class MemFile {
  public:
    explicit MemFile(const char* name) : fd_(memfd_create(name, MFD_CLOEXEC)) {
        FUZZ_CHECK(fd_ >= 0);
    }
    MemFile(const MemFile&) = delete;
    MemFile& operator=(const MemFile&) = delete;

    int Fd() const { return fd_; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

    void Fill(const Bytes& bytes) {
        FUZZ_CHECK(ftruncate(fd_, 0) == 0);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put =
                pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            FUZZ_CHECK(put > 0);
            done += static_cast<std::size_t>(put);
        }
        Rewind();
    }
    Bytes Contents() const {
        Bytes out;
        std::uint8_t chunk[4096];
        for (off_t at = 0;; at += static_cast<off_t>(sizeof chunk)) {
            const ssize_t got = pread(fd_, chunk, sizeof chunk, at);
            FUZZ_CHECK(got >= 0);
            out.insert(out.end(), chunk, chunk + got);
            if (got < static_cast<ssize_t>(sizeof chunk)) return out;
        }
    }
    void Rewind() { FUZZ_CHECK(lseek(fd_, 0, SEEK_SET) == 0); }

  private:
    int fd_;
};

// A control that keeps the images it is given.
class RecordingControl : public MovieControl {
  public:
    const Bytes saved{0x67, 0x55, 0x66, 0x55, 0xA1, 0xA2, 0xA3};
    std::vector<Bytes> loads;

    void Play() override {}
    void Stop() override {}
    void LoadMovie(int, const std::u16string&) override {}
    void SetVariable(const std::u16string&, const std::u16string&) override {}
    FlashValue GetProperty(int id) override { return DefaultFlashValue(id); }
    void SetProperty(int, const FlashValue&) override {}
    std::uint32_t SaveStateSizeMax() override { return static_cast<std::uint32_t>(saved.size()); }
    void SaveState(Bytes& buffer) override {
        std::copy(saved.begin(), saved.begin() + std::min(saved.size(), buffer.size()),
                  buffer.begin());
    }
    void LoadState(const Bytes& image) override { loads.push_back(image); }
    void SetEvents(MovieControlEvents*) override {}
};

Bytes Transformed(const std::uint8_t* data, std::size_t size) {
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i) out[i] = KpvTransform(data[i]);
    return out;
}

// Everything from the stream's position on, read in pieces of changing size.
Bytes ReadAll(ByteStream& s) {
    static const std::size_t kPieces[] = {1, 3, 4096, 7, 300, 2};
    Bytes out;
    for (std::size_t i = 0;; ++i) {
        const std::size_t want = kPieces[i % (sizeof kPieces / sizeof kPieces[0])];
        const std::size_t at = out.size();
        out.resize(at + want);
        const std::size_t got = s.Read(out.data() + at, want);
        FUZZ_CHECK(got <= want);
        out.resize(at + got);
        if (got == 0) return out;
    }
}

void CheckTransformBuffer(const Bytes& file) {
    // One byte in, so that the word and vector steps meet unaligned data too.
    Bytes shifted(file.size() + 1);
    std::copy(file.begin(), file.end(), shifted.begin() + 1);
    KpvTransformBuffer(shifted.data() + 1, file.size());
    FUZZ_CHECK(Bytes(shifted.begin() + 1, shifted.end()) == Transformed(file.data(), file.size()));
    KpvTransformBuffer(shifted.data() + 1, file.size());
    FUZZ_CHECK(std::equal(file.begin(), file.end(), shifted.begin() + 1));
}

void CheckWrite(MemFile& target, const Bytes& payload) {
    target.Fill({});
    TKPVHandleStream out(target.Fd());
    FUZZ_CHECK(!out.Scrambled());
    const std::size_t half = payload.size() / 2;
    FUZZ_CHECK(out.Write(payload.data(), half) == half);
    FUZZ_CHECK(out.Write(payload.data() + half, payload.size() - half) == payload.size() - half);

    Bytes expected{'K', 'P', 'V', kKpvWriteVersion};
    const Bytes scrambled = Transformed(payload.data(), payload.size());
    expected.insert(expected.end(), scrambled.begin(), scrambled.end());
    FUZZ_CHECK(target.Contents() == expected);

    target.Rewind();
    TKPVHandleStream in(target.Fd());
    FUZZ_CHECK(in.Scrambled() && ReadAll(in) == payload);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemFile file("ukpv-fuzz"), written("ukpv-fuzz-written");
    const Bytes bytes(data, data + size);
    CheckTransformBuffer(bytes);

    file.Fill(bytes);
    const bool scrambled =
        size >= 4 && data[0] == 'K' && data[1] == 'P' && data[2] == 'V' && IsKpvVersion(data[3]);
    const Bytes payload = scrambled ? Transformed(data + 4, size - 4) : bytes;
    {
        TKPVHandleStream s(file.Fd());
        FUZZ_CHECK(s.Scrambled() == scrambled);
        FUZZ_CHECK(s.Size() == static_cast<std::int64_t>(size));
        FUZZ_CHECK(ReadAll(s) == payload);
        FUZZ_CHECK(s.Seek(0, SeekOrigin::Current) == static_cast<std::int64_t>(size));

        // A raw position past the header reads the rest of the payload from there.
        const std::size_t at = size == 0 ? 0 : data[size / 2] % (size + 1);
        if (!scrambled || at == 0 || at >= 4) {
            FUZZ_CHECK(s.Seek(static_cast<std::int64_t>(at), SeekOrigin::Begin) ==
                       static_cast<std::int64_t>(at));
            const std::size_t skip = scrambled && at > 0 ? at - 4 : at;
            FUZZ_CHECK(ReadAll(s) ==
                       Bytes(payload.begin() + static_cast<std::ptrdiff_t>(skip), payload.end()));
        }
    }
    {
        TKPVFileStream s(std::string(kMovieFileKey) + "KPV:" + file.Path(), osfile::kOpenRead);
        FUZZ_CHECK(s.Key() == kMovieFileKey && s.FileName() == file.Path());
        FUZZ_CHECK(s.Scrambled() == scrambled && ReadAll(s) == payload);
    }

    // The control gets the image of the payload read from memory, or nothing at all.
    std::optional<Bytes> expected;
    RecordingControl control;
    try {
        MemoryStream memory(payload);
        expected = BuildLoadImage(ReadMovie(memory), control.saved);
    } catch (const MovieError&) {
    }
    FUZZ_CHECK(LoadMovieFile(control, file.Path()) == expected.has_value());
    FUZZ_CHECK(control.loads.size() == (expected ? 1u : 0u));
    if (expected) FUZZ_CHECK(control.loads[0] == *expected);

    CheckWrite(written, bytes);
    return 0;
}
