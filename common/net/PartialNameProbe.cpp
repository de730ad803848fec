// Prints the partial file name that a fresh process gives its first download.
#include <cstdio>

#include "DownloadFile.h"

int main() {
    std::puts(net::TemporaryNameBeside("episode.swf").c_str());
    return 0;
}
