#pragma once
// What the Windows download tests share: files at ANSI paths, as the downloads name them, and the
// bodies of the demo server's /__test/bytes.
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "TextConv_win.h"

namespace downloadtest {

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(std::filesystem::path(AnsiToWide(path)), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(AnsiToWide(path)), std::ios::binary) << bytes;
}

// The body of /__test/bytes?n=N: byte i is i % 251, or 'a' + i % 26 with kind=text.
inline std::string ServerBytes(std::size_t n, bool text = false) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = text ? static_cast<char>('a' + i % 26) : static_cast<char>(i % 251);
    return s;
}

}  // namespace downloadtest
