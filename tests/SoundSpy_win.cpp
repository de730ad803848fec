// Loaded into a running player by a test: watches every wave-out write of the process and notes,
// per buffer, its loudest sample as the player's sound made it and as the volume's hook left it
// for the device: "before after" lines in the file of its own path with ".txt" added. It stays
// for the process's life.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "unitHook_win.h"

namespace {

std::atomic<void*> callThrough{nullptr};
std::FILE* note = nullptr;

int Peak(const WAVEHDR* header) {
    const auto* s = reinterpret_cast<const std::int16_t*>(header->lpData);
    int peak = 0;
    for (DWORD i = 0; i < header->dwBufferLength / sizeof(std::int16_t); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    return peak;
}

// The volume's hook was there first: it runs inside the call through and scales in place.
MMRESULT WINAPI SpyWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    const int before = Peak(pwh);
    const MMRESULT r =
        reinterpret_cast<decltype(&waveOutWrite)>(callThrough.load())(hwo, pwh, cbwh);
    if (note) {
        std::fprintf(note, "%d %d\n", before, Peak(pwh));
        std::fflush(note);
    }
    return r;
}

DWORD WINAPI Run(LPVOID module) {
    try {
        wchar_t path[MAX_PATH] = {};
        if (!GetModuleFileNameW(static_cast<HMODULE>(module), path, MAX_PATH)) return 0;
        note = _wfopen((std::wstring(path) + L".txt").c_str(), L"wb");
        // Kept for the process's life: a writer may be inside the hook at any time.
        static auto* hook = new TNtHookClass("winmm.dll", "waveOutWrite",
                                             reinterpret_cast<void*>(&SpyWrite), callThrough);
        if (note) {
            std::fprintf(note, hook->Usable() ? "hooked\n" : "unusable\n");
            std::fflush(note);
        }
    } catch (...) {
        // No "hooked" line: the test sees that the spy is not in place.
    }
    return 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    // Hooking suspends the process's other threads: not under the loader's lock.
    if (HANDLE thread = CreateThread(nullptr, 0, Run, instance, 0, nullptr)) CloseHandle(thread);
    return TRUE;
}
