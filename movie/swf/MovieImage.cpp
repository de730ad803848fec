#include "MovieImage.h"

#include <zlib.h>

#include <algorithm>

#include "LittleEndian.h"

namespace {

class Inflater {
  public:
    Inflater() {
        if (inflateInit(&z_) != Z_OK) throw MovieError("The compressed movie cannot be inflated");
    }
    ~Inflater() { inflateEnd(&z_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    z_stream& z() { return z_; }

  private:
    z_stream z_{};
};

constexpr std::size_t kInputChunk = 64 * 1024;
constexpr std::size_t kFirstOutput = 256 * 1024;

// Inflates the rest of `source` into `out` after `start`, exactly `want` bytes.
void InflateInto(ByteStream& source, std::vector<std::uint8_t>& out, std::size_t start,
                 std::size_t want, std::size_t tailRoom) {
    // First guess from the compressed size; then doubling, so memory follows the real output.
    std::size_t room = kFirstOutput;
    const std::int64_t at = source.Position();
    const std::int64_t size = source.Size();
    if (at >= 0 && size > at) {
        const auto guess = static_cast<std::uint64_t>(size - at) * 4;
        if (guess > room) room = guess < want ? static_cast<std::size_t>(guess) : want;
    }
    room = std::min(room, want);
    if (room == want) out.reserve(start + want + tailRoom);
    out.resize(start + room);

    Inflater inflater;
    z_stream& z = inflater.z();
    std::vector<std::uint8_t> input(kInputChunk);
    std::size_t produced = 0;
    while (produced < want) {
        if (z.avail_in == 0) {
            const std::size_t got = source.Read(input.data(), input.size());
            if (got == 0) throw MovieError("The compressed movie is truncated");
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(got);
        }
        if (produced == room) {
            room = room > want / 2 ? want : room * 2;
            if (room == want) out.reserve(start + want + tailRoom);
            out.resize(start + room);
        }
        const std::size_t space = std::min<std::size_t>(room - produced, 1u << 30);
        z.next_out = out.data() + start + produced;
        z.avail_out = static_cast<uInt>(space);
        const int result = inflate(&z, Z_NO_FLUSH);
        produced += space - z.avail_out;
        if (result == Z_STREAM_END) {
            if (produced < want)
                throw MovieError("The compressed movie is shorter than its header says");
            break;
        }
        if (result == Z_BUF_ERROR && z.avail_in == 0) continue;
        if (result != Z_OK) throw MovieError("The compressed movie is damaged");
    }
    out.resize(start + want);
}

}  // namespace

MovieBytes ReadMovie(ByteStream& source, std::size_t tailRoom) {
    std::uint8_t head[8];
    if (source.ReadFully(head, 3) != 3) throw MovieError("The movie is shorter than its header");
    MovieBytes movie;
    if (head[0] == 'C' && head[1] == 'W' && head[2] == 'S') {
        if (source.ReadFully(head + 3, 5) != 5)
            throw MovieError("The movie is shorter than its header");
        const std::uint32_t length = le::Get32(head + 4);
        if (length < 8) throw MovieError("The compressed movie gives a length below its header");
        if (length > kMaxMovieLength) throw MovieError("The compressed movie is too long");
        if (length == 8) movie.buffer.reserve(kLoadImageHead + 8 + tailRoom);  // nothing to inflate
        movie.buffer.resize(kLoadImageHead + 8);
        std::uint8_t* fws = movie.buffer.data() + kLoadImageHead;
        fws[0] = 'F';
        fws[1] = 'W';
        fws[2] = 'S';
        fws[3] = head[3];
        le::Set32(fws + 4, length);
        if (length > 8) InflateInto(source, movie.buffer, kLoadImageHead + 8, length - 8, tailRoom);
        return movie;
    }

    const std::int64_t at = source.Seek(-3, SeekOrigin::Current);
    const std::int64_t size = source.Size();
    if (at < 0 || size < at) throw MovieError("The movie cannot be read");
    if (size - at > kMaxMovieLength) throw MovieError("The movie is too long");
    const auto length = static_cast<std::size_t>(size - at);
    movie.buffer.reserve(kLoadImageHead + length + tailRoom);
    movie.buffer.resize(kLoadImageHead + length);
    if (source.ReadFully(movie.buffer.data() + kLoadImageHead, length) != length)
        throw MovieError("The movie cannot be read");
    return movie;
}

std::vector<std::uint8_t> BuildLoadImage(MovieBytes movie, const std::vector<std::uint8_t>& state) {
    std::vector<std::uint8_t>& image = movie.buffer;
    const std::uint32_t length = movie.Length();
    image[0] = kMovieMarker;
    for (std::size_t i = 1; i < 4; ++i) image[i] = i < state.size() ? state[i] : 0;
    le::Set32(image.data() + 4, length);
    if (state.size() > 4) image.insert(image.end(), state.begin() + 4, state.end());
    return std::move(image);
}

bool SplitStateImage(const std::uint8_t* data, std::size_t size, StateImageParts& parts) {
    parts = {};
    if (size < 4) return false;
    if (data[0] != kMovieMarker) {
        parts.rest = data + 4;
        parts.restLength = size - 4;
        return true;
    }
    if (size < kLoadImageHead) return false;
    const std::uint32_t length = le::Get32(data + 4);
    if (length > size - kLoadImageHead) return false;
    parts.hasMovie = true;
    parts.movie = data + kLoadImageHead;
    parts.movieLength = length;
    parts.rest = parts.movie + length;
    parts.restLength = size - kLoadImageHead - length;
    return true;
}
