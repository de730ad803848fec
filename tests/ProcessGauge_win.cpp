// Prints one line of what the running player holds, for the soak run (soak.sh):
//   handles private_kib windows gdi user
// The player is found by its main window's class. GDI and USER counts are what the system
// reports (Wine reports none); windows are the player's top-level windows and their children.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "Contract.h"
#include "Handles_win.h"

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<unsigned*>(count);
    return TRUE;
}

struct Search {
    DWORD process;
    unsigned windows;
};

BOOL CALLBACK CountTop(HWND window, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != s->process) return TRUE;
    ++s->windows;
    EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&s->windows));
    return TRUE;
}

}  // namespace

int wmain() {
    HWND player = FindWindowW(contract::kPlayerWindowClass, nullptr);
    if (!player) {
        std::printf("no player\n");
        return 1;
    }
    Search search{0, 0};
    GetWindowThreadProcessId(player, &search.process);
    const UniqueHandle owned(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, search.process));
    const HANDLE process = owned.get();
    if (!process) {
        std::printf("no access\n");
        return 1;
    }
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&search));
    std::printf("%lu %llu %u %lu %lu\n", static_cast<unsigned long>(handles),
                static_cast<unsigned long long>(memory.PrivateUsage / 1024), search.windows,
                static_cast<unsigned long>(GetGuiResources(process, GR_GDIOBJECTS)),
                static_cast<unsigned long>(GetGuiResources(process, GR_USEROBJECTS)));
    return 0;
}
