// The load image and movie expansion on any bytes: SplitStateImage finds the parts its comment
// describes and never points outside the image; ReadMovie gives a plain movie unchanged from the
// stream's position and a compressed one as exactly the bytes inflation yields, or MovieError,
// with room kept for the state (and never memory sized by a length field alone: the runs' malloc
// limit catches that); BuildLoadImage followed by SplitStateImage gives the movie and the state
// back.
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "MovieImage.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Le32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// Touches every byte of a part, so that the sanitizer sees a pointer outside the image.
unsigned Sum(const std::uint8_t* p, std::size_t n) {
    unsigned s = 0;
    for (std::size_t i = 0; i < n; ++i) s += p[i];
    return s;
}

void CheckSplit(const std::uint8_t* data, std::size_t size) {
    StateImageParts parts;
    const bool ok = SplitStateImage(data, size, parts);
    if (size < 4) {
        FUZZ_CHECK(!ok);
        return;
    }
    if (data[0] != kMovieMarker) {
        FUZZ_CHECK(ok && !parts.hasMovie);
        FUZZ_CHECK(parts.rest == data + 4 && parts.restLength == size - 4);
        return;
    }
    const bool fits = size >= kLoadImageHead && Le32(data + 4) <= size - kLoadImageHead;
    FUZZ_CHECK(ok == fits);
    if (!ok) return;
    FUZZ_CHECK(parts.hasMovie && parts.movie == data + kLoadImageHead);
    FUZZ_CHECK(parts.movieLength == Le32(data + 4));
    FUZZ_CHECK(parts.rest == parts.movie + parts.movieLength);
    FUZZ_CHECK(parts.restLength == size - kLoadImageHead - parts.movieLength);
    volatile unsigned sink =
        Sum(parts.movie, parts.movieLength) + Sum(parts.rest, parts.restLength);
    (void)sink;
}

// What zlib gives for `data`, at most `limit` bytes, whatever follows them.
Bytes InflateUpTo(const std::uint8_t* data, std::size_t size, std::size_t limit) {
    Bytes out;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return out;
    z.next_in = const_cast<std::uint8_t*>(data);
    z.avail_in = static_cast<uInt>(size);
    std::uint8_t chunk[4096];
    while (out.size() < limit) {
        z.next_out = chunk;
        z.avail_out = static_cast<uInt>(std::min(sizeof chunk, limit - out.size()));
        const int r = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), chunk, z.next_out);
        if (r != Z_OK) break;
    }
    inflateEnd(&z);
    return out;
}

// ReadMovie over the whole input with the stream placed at `at`.
void CheckReadMovie(const std::uint8_t* data, std::size_t size, std::size_t at) {
    constexpr std::size_t kTailRoom = 4096;
    MemoryStream stream(Bytes(data, data + size));
    stream.Seek(static_cast<std::int64_t>(at), SeekOrigin::Begin);
    const std::uint8_t* src = data + at;
    const std::size_t n = size - at;

    MovieBytes movie;
    bool read = true;
    try {
        movie = ReadMovie(stream, kTailRoom);
    } catch (const MovieError&) {
        read = false;
    }
    if (n < 3) {
        FUZZ_CHECK(!read);
        return;
    }
    if (read) {
        FUZZ_CHECK(movie.buffer.size() == kLoadImageHead + movie.Length());
        FUZZ_CHECK(movie.buffer.capacity() >= movie.buffer.size() + kTailRoom);
    }
    const bool compressed = src[0] == 'C' && src[1] == 'W' && src[2] == 'S';
    if (!compressed) {
        FUZZ_CHECK(read);
        FUZZ_CHECK(movie.Length() == n && std::equal(src, src + n, movie.Data()));
        return;
    }
    if (n < 8 || Le32(src + 4) < 8 || Le32(src + 4) > kMaxMovieLength) {
        FUZZ_CHECK(!read);
        return;
    }
    const std::uint32_t length = Le32(src + 4);
    const Bytes inflated = InflateUpTo(src + 8, n - 8, length - 8);
    if (inflated.size() < length - 8) FUZZ_CHECK(!read);
    if (!read) return;
    FUZZ_CHECK(movie.Length() == length);
    const std::uint8_t* fws = movie.Data();
    FUZZ_CHECK(fws[0] == 'F' && fws[1] == 'W' && fws[2] == 'S' && fws[3] == src[3]);
    FUZZ_CHECK(Le32(fws + 4) == length);
    FUZZ_CHECK(std::equal(inflated.begin(), inflated.end(), fws + 8));
}

// The input cut in two: a movie and the control's saved state.
void CheckRoundTrip(const std::uint8_t* data, std::size_t size) {
    const std::size_t cut = size == 0 ? 0 : size * data[0] / 256;
    const Bytes state(data + cut, data + size);
    MovieBytes movie;
    movie.buffer.assign(kLoadImageHead, 0xEE);  // the room is the image's to fill
    movie.buffer.insert(movie.buffer.end(), data, data + cut);

    const Bytes image = BuildLoadImage(std::move(movie), state);
    StateImageParts parts;
    FUZZ_CHECK(SplitStateImage(image.data(), image.size(), parts));
    FUZZ_CHECK(parts.hasMovie && parts.movieLength == cut);
    FUZZ_CHECK(std::equal(data, data + cut, parts.movie));
    for (std::size_t i = 1; i < 4; ++i) FUZZ_CHECK(image[i] == (i < state.size() ? state[i] : 0));
    const std::size_t restLength = state.size() > 4 ? state.size() - 4 : 0;
    FUZZ_CHECK(parts.restLength == restLength);
    FUZZ_CHECK(
        std::equal(state.end() - static_cast<std::ptrdiff_t>(restLength), state.end(), parts.rest));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckSplit(data, size);
    CheckReadMovie(data, size, 0);
    if (size > 0) CheckReadMovie(data, size, 1);
    CheckRoundTrip(data, size);
    return 0;
}
