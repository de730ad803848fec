// Prints one line of what the running player holds, for the soak run (soak.sh):
//   handles private_kib windows gdi user
// The player is found by its main window's class; a count the system does not report is "-".
// Windows are the player's top-level windows and their children.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

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
    // A count the system does not give (this Wine gives none of them for another process) is "-".
    const auto number = [](bool given, unsigned long long value) {
        return given ? std::to_string(value) : std::string("-");
    };
    DWORD handles = 0;
    const bool handlesGiven = GetProcessHandleCount(process, &handles) != FALSE;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    const bool memoryGiven =
        GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory) != FALSE;
    // A process with a window always holds GDI and USER objects: none is no answer.
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&search));
    std::printf("%s %s %u %s %s\n", number(handlesGiven, handles).c_str(),
                number(memoryGiven, memory.PrivateUsage / 1024).c_str(), search.windows,
                number(gdi != 0, gdi).c_str(), number(user != 0, user).c_str());
    return 0;
}
