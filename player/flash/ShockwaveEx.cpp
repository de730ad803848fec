#include "ShockwaveEx.h"

#include "MovieImage.h"
#include "OsFile.h"
#include "ukpv.h"

namespace {
// Room kept behind the movie for the saved state, so that appending it rarely moves the movie.
constexpr std::size_t kStateRoom = 4096;

void Embed(MovieControl& control, MovieBytes movie) {
    control.SetProperty(FlashDispId::EmbedMovie, false);
    std::vector<std::uint8_t> state(control.SaveStateSizeMax());
    control.SaveState(state);
    control.LoadState(BuildLoadImage(std::move(movie), state));
}

}  // namespace

void EmbedMovieStream(MovieControl& control, ByteStream* stream) {
    if (!stream) return;
    Embed(control, ReadMovie(*stream, kStateRoom));
}

bool LoadMovieFile(MovieControl& control, const std::string& path) {
    if (!osfile::FileExists(path)) return false;
    try {
        MovieBytes movie;
        {
            // Closed before the control starts: the file may be replaced while its movie plays.
            TKPVFileStream stream(std::string(kMovieFileKey) + "KPV:" + path, osfile::kOpenRead);
            movie = ReadMovie(stream, kStateRoom);
        }
        Embed(control, std::move(movie));
        return true;
    } catch (...) {
        // A movie that cannot be loaded leaves the current one on show, without a message.
        return false;
    }
}
