// Stands in for the programs the tray starts besides the player (the installer "update.exe", the
// default browser): it notes each start, with its command line and the folder it was started in,
// in "<its own name>-starts.txt" beside itself, and ends.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    char folder[MAX_PATH];
    const DWORD m = GetCurrentDirectoryA(MAX_PATH, folder);
    if (m == 0 || m >= MAX_PATH) return 1;
    std::string log(path, n);
    const auto dot = log.find_last_of('.');
    if (dot != std::string::npos && dot > log.find_last_of('\\')) log.erase(dot);
    log += "-starts.txt";
    const std::string line =
        std::string(GetCommandLineA()) + " | started in " + std::string(folder, m) + "\r\n";
    HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}
