#include "ThreadsHeld_win.h"

#include <tlhelp32.h>

namespace {

// The other threads of this process, as the system lists them now; nothing when it cannot.
bool ListOtherThreads(std::vector<DWORD>& ids) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    const UniqueHandle owner(snapshot);
    const DWORD process = GetCurrentProcessId(), self = GetCurrentThreadId();
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == process && entry.th32ThreadID != self)
            ids.push_back(entry.th32ThreadID);
    return GetLastError() == ERROR_NO_MORE_FILES;
}

bool Ended(HANDLE thread) {
    DWORD code = 0;
    return GetExitCodeThread(thread, &code) && code != STILL_ACTIVE;
}

}  // namespace

OtherThreadsHeld::OtherThreadsHeld() {
    std::vector<DWORD> ids;
    if (!ListOtherThreads(ids)) return;
    threads_.reserve(ids.size());
    complete_ = true;
    for (DWORD id : ids) {
        UniqueHandle thread(OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT |
                                           THREAD_SET_CONTEXT | THREAD_QUERY_LIMITED_INFORMATION,
                                       FALSE, id));
        // A thread that cannot be opened has ended since the list was made.
        if (!thread) continue;
        if (SuspendThread(thread.get()) == static_cast<DWORD>(-1)) {
            complete_ = complete_ && Ended(thread.get());
            continue;
        }
        threads_.push_back(std::move(thread));  // within the reserve: no allocation
    }
}

OtherThreadsHeld::~OtherThreadsHeld() {
    // A thread that cannot be resumed has ended: there is nothing else to do for it.
    for (const UniqueHandle& thread : threads_) ResumeThread(thread.get());
}

std::uint64_t OtherThreadsHeld::InstructionPointer(const CONTEXT& context) {
#ifdef _WIN64
    return context.Rip;
#else
    return context.Eip;
#endif
}

void OtherThreadsHeld::SetInstructionPointer(CONTEXT& context, std::uint64_t ip) {
#ifdef _WIN64
    context.Rip = ip;
#else
    context.Eip = static_cast<DWORD>(ip);
#endif
}
