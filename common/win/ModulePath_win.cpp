#include "ModulePath_win.h"

#include <windows.h>

#include <vector>

namespace {
template <typename Char, typename Get>
std::basic_string<Char> Grow(Get get) {
    std::vector<Char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = get(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::basic_string<Char>(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}
}  // namespace

std::wstring ModulePathWide() {
    return Grow<wchar_t>([](wchar_t* b, DWORD n) { return GetModuleFileNameW(nullptr, b, n); });
}

std::string ModulePathAnsi() {
    return Grow<char>([](char* b, DWORD n) { return GetModuleFileNameA(nullptr, b, n); });
}
