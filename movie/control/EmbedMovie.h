#pragma once
#include "ByteStream.h"
#include "MovieControl.h"
#include "MovieImage.h"

// Hands a movie to a control inside its saved state, so the control never opens a file or an
// address of its own.

// Embeds `movie` into the control's current state and loads the result.
void EmbedMovie(MovieControl& control, MovieBytes movie);

// Embeds the movie at the stream's position (nothing happens for a null stream). The movie is read
// and inflated before the control is touched, so a movie that cannot be read leaves the control as
// it was. Throws MovieError for an unusable movie and MovieControlError for a failing control.
void EmbedMovieStream(MovieControl& control, ByteStream* stream);

// Room kept behind a movie for the saved state, so that appending it rarely moves the movie.
constexpr std::size_t kEmbedStateRoom = 4096;
