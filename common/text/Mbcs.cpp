#include "Mbcs.h"

#include <cstring>

std::size_t LastDelimiter(const std::string& text, const char* delims) {
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(c) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        if (c != 0 && std::strchr(delims, c) != nullptr) found = i;
    }
    return found;
}

static char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool SameTextMbcs(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto c = static_cast<unsigned char>(a[i]);
        if (IsLeadByte(c) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}
