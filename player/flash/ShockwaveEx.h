#pragma once
#include <string>

#include "ByteStream.h"
#include "MovieControl.h"

// Loading a movie into the control without the control ever opening the file: the movie is read
// here and handed over inside the control's saved state.

// The key that LoadMovieFile puts in front of "KPV:"; the container keeps it and ignores it.
constexpr char kMovieFileKey[] = "730516";

// Embeds the movie at the stream's position (nothing happens for a null stream). The movie is read
// and inflated before the control is touched, so a movie that cannot be read leaves the control as
// it was. Throws MovieError for an unusable movie and MovieControlError for a failing control.
void EmbedMovieStream(MovieControl& control, ByteStream* stream);

// Loads a plain or scrambled movie file. A missing file changes nothing; any error is dropped and
// the control keeps what it showed. True when the movie was handed to the control.
bool LoadMovieFile(MovieControl& control, const std::string& path);
