#pragma once
#include <string>

#include "MovieControl.h"

// Loading a movie file into the control without the control ever opening the file: the movie is
// read here and handed over inside the control's saved state.

// The key that LoadMovieFile puts in front of "KPV:"; the container keeps it and ignores it.
constexpr char kMovieFileKey[] = "730516";

// Loads a plain or scrambled movie file. A missing file changes nothing; any error is dropped and
// the control keeps what it showed. True when the movie was handed to the control.
bool LoadMovieFile(MovieControl& control, const std::string& path);
