#pragma once
// Starting a program as a shortcut does: its quoted path as the command line, a working folder.
#include <windows.h>

#include <filesystem>
#include <string>

#include "Handles_win.h"

namespace testwin {

// The started program's process; empty when it could not start.
inline UniqueHandle StartInFolder(const std::filesystem::path& program,
                                  const std::filesystem::path& folder) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const std::wstring exe = program.wstring();
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.wstring().c_str(), &si, &pi))
        return UniqueHandle();
    UniqueHandle thread(pi.hThread);
    return UniqueHandle(pi.hProcess);
}

}  // namespace testwin
