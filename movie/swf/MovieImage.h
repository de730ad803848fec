#pragma once
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "ByteStream.h"

// The load image that embeds a movie into the control's saved state:
//   0x66, bytes 1-3 of the saved state, L (32-bit little-endian), L movie bytes,
//   the saved state from offset 4 on.
constexpr std::uint8_t kMovieMarker = 0x66;
constexpr std::size_t kLoadImageHead = 8;  // marker, three state bytes, L

// Longest movie accepted. A length field beyond it is refused before anything is allocated for it.
constexpr std::uint32_t kMaxMovieLength = 512u << 20;

// Input that is not a usable movie: too short, damaged or truncated compressed data, a length
// that cannot be right.
class MovieError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A movie read for embedding, kept behind room for the load image's first eight bytes so that
// the image is built around it without copying the movie.
struct MovieBytes {
    std::vector<std::uint8_t> buffer;  // kLoadImageHead bytes of room, then the movie
    std::uint32_t Length() const {
        return static_cast<std::uint32_t>(buffer.size() - kLoadImageHead);
    }
    const std::uint8_t* Data() const { return buffer.data() + kLoadImageHead; }
};

// Reads the movie at the stream's position. A "CWS" movie is inflated to "FWS" with exactly the
// L - 8 bytes its header promises after the 8-byte header; anything else is taken unchanged up to
// the end of the stream. Memory grows with what inflation really produces, never with L alone.
// `tailRoom` is capacity kept for the saved state that follows. Throws MovieError.
MovieBytes ReadMovie(ByteStream& source, std::size_t tailRoom = 0);

// The load image of a movie and the control's saved state. A state shorter than four bytes
// counts as padded with zeros.
std::vector<std::uint8_t> BuildLoadImage(MovieBytes movie, const std::vector<std::uint8_t>& state);

// The parts of a saved state or load image: when the first byte is the movie marker, a movie of
// L bytes follows the head and the rest of the state follows the movie.
struct StateImageParts {
    bool hasMovie = false;
    const std::uint8_t* movie = nullptr;
    std::uint32_t movieLength = 0;
    const std::uint8_t* rest = nullptr;  // the state after the marker word (and the movie)
    std::size_t restLength = 0;
};
// False when the image is shorter than its head or than the movie length it gives.
bool SplitStateImage(const std::uint8_t* data, std::size_t size, StateImageParts& parts);
