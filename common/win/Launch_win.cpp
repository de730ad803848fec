#include "Launch_win.h"

#include <windows.h>
#include <shellapi.h>

#include "Handles_win.h"

bool launch::StartProgram(const std::string& path, const std::string& folder) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOW;
    // Quoted, so that a folder name with blanks is not taken for arguments.
    std::string commandLine = "\"" + path + "\"";
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi))
        return false;
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    return true;
}

bool launch::OpenAddress(const std::string& address) {
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address.c_str(), nullptr,
                                                   nullptr, SW_SHOWNORMAL)) > 32;
}
