// Loaded into a running player by a test: plays a short buffer through the process's wave-out
// functions, as any sound of the process goes, and writes the samples as the device took them to
// the file of its own path with ".txt" added. Each load plays once; a test loads a fresh copy.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "WaveOutput_win.h"

namespace {

HMODULE self = nullptr;

void PlayAndNote() {
    wchar_t path[MAX_PATH] = {};
    if (!GetModuleFileNameW(self, path, MAX_PATH)) return;
    testsound::Samples samples{1000, -1000, 1000, -1000};
    std::string note;
    {
        testsound::WaveOutput out;
        const MMRESULT played = out.opened == MMSYSERR_NOERROR ? out.Play(samples) : out.opened;
        note = "result " + std::to_string(played) + "\n";
    }
    for (auto s : samples) note += std::to_string(s) + " ";
    // Written aside and moved, so that the test never reads half a file.
    const std::wstring done = std::wstring(path) + L".txt", partial = done + L".part";
    {
        std::ofstream file(std::filesystem::path(partial), std::ios::binary);
        file << note;
        if (!file) return;
    }
    MoveFileW(partial.c_str(), done.c_str());
}

DWORD WINAPI Run(LPVOID) {
    try {
        PlayAndNote();
    } catch (...) {
        // No file: the test sees that nothing was played.
    }
    FreeLibraryAndExitThread(self, 0);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    self = instance;
    // Sound cannot start under the loader's lock.
    if (HANDLE thread = CreateThread(nullptr, 0, Run, nullptr, 0, nullptr)) CloseHandle(thread);
    return TRUE;
}
