#pragma once
// A file of the build folder as a test program sees it: the build passes Unix paths, and Wine
// shows the Linux file system as drive Z:.
#include <filesystem>
#include <string>

inline std::filesystem::path FromBuild(const char* unixPath) {
#ifdef _WIN32
    std::string p = std::string("Z:") + unixPath;
    for (auto& c : p)
        if (c == '/') c = '\\';
    return std::filesystem::path(p);
#else
    return std::filesystem::path(unixPath);
#endif
}
