#include "ShockwaveEx.h"

#include "EmbedMovie.h"
#include "OsFile.h"
#include "ukpv.h"

bool LoadMovieFile(MovieControl& control, const std::string& path) {
    if (!osfile::FileExists(path)) return false;
    try {
        MovieBytes movie;
        {
            // Closed before the control starts: the file may be replaced while its movie plays.
            TKPVFileStream stream(std::string(kMovieFileKey) + "KPV:" + path, osfile::kOpenRead);
            movie = ReadMovie(stream, kEmbedStateRoom);
        }
        EmbedMovie(control, std::move(movie));
        return true;
    } catch (...) {
        // A movie that cannot be loaded leaves the current one on show, without a message.
        return false;
    }
}
