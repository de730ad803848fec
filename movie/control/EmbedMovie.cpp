#include "EmbedMovie.h"

void EmbedMovie(MovieControl& control, MovieBytes movie) {
    control.SetProperty(FlashDispId::EmbedMovie, false);
    std::vector<std::uint8_t> state(control.SaveStateSizeMax());
    control.SaveState(state);
    control.LoadState(BuildLoadImage(std::move(movie), state));
}

void EmbedMovieStream(MovieControl& control, ByteStream* stream) {
    if (!stream) return;
    EmbedMovie(control, ReadMovie(*stream, kEmbedStateRoom));
}
