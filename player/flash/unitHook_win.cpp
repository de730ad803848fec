#include "unitHook_win.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>
#include <cstdio>

#include "Handles_win.h"
#include "ThreadsHeld_win.h"

namespace {

constexpr x86::Mode kMode = sizeof(void*) == 8 ? x86::Mode::Bits64 : x86::Mode::Bits32;
// Enough of an entry for the patch and the longest instruction it can cut.
constexpr std::size_t kEntryRead = 32;
constexpr std::size_t kArenaPage = 4096;

hook::Address AddressOf(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

void* PointerTo(hook::Address a) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(a));
}

// Never fails on x86, whose instruction caches follow writes to code by themselves; called for
// the processors that do not.
void FlushCode(void* at, std::size_t size) {
    FlushInstructionCache(GetCurrentProcess(), at, size);
}

// Entries are rewritten, and trampolines made, one at a time: two threads that held each other
// would never wake.
std::mutex& RewriteLock() {
    static std::mutex lock;
    return lock;
}

// The module, kept loaded for the rest of the process: trampolines lead into it even after their
// hooks are gone.
HMODULE PinnedModule(const char* name) {
    HMODULE module = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, name, &module)) return module;
    const UniqueModule loaded(LoadLibraryA(name));
    if (!loaded || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, name, &module))
        return nullptr;
    return module;
}

// The first bytes of an entry, as many of `out` as its memory region holds; 0 when unreadable.
std::size_t ReadEntry(const void* entry, std::array<std::uint8_t, kEntryRead>& out) {
    MEMORY_BASIC_INFORMATION region{};
    if (!VirtualQuery(entry, &region, sizeof region) || region.State != MEM_COMMIT) return 0;
    const std::size_t left = AddressOf(region.BaseAddress) + region.RegionSize - AddressOf(entry);
    SIZE_T read = 0;
    if (!ReadProcessMemory(GetCurrentProcess(), entry, out.data(), std::min(out.size(), left),
                           &read))
        return 0;
    return read;
}

// Executable memory within 32-bit reach of `target` (on x86-64; anywhere on x86), a page of it.
std::uint8_t* AllocateNear(hook::Address target) {
    const auto allocate = [](hook::Address at) {
        return static_cast<std::uint8_t*>(VirtualAlloc(
            PointerTo(at), kArenaPage, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE));
    };
    if (kMode == x86::Mode::Bits32) return allocate(0);
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const hook::Address granularity = system.dwAllocationGranularity;
    const hook::Address reach = 0x7FF00000;
    const hook::Address lowest = std::max(AddressOf(system.lpMinimumApplicationAddress),
                                          target > reach ? target - reach : 0);
    const hook::Address highest =
        std::min(AddressOf(system.lpMaximumApplicationAddress), target + reach);
    // Free regions below the module first, then above it.
    for (hook::Address at = target / granularity * granularity;
         at >= lowest && at >= granularity;) {
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQuery(PointerTo(at), &region, sizeof region)) break;
        if (region.State == MEM_FREE)
            if (std::uint8_t* page = allocate(at)) return page;
        const hook::Address base =
            AddressOf(region.State == MEM_FREE ? region.BaseAddress : region.AllocationBase);
        if (base < granularity) break;
        at = std::min(at - granularity, (base - 1) / granularity * granularity);
    }
    for (hook::Address at = (target + granularity - 1) / granularity * granularity; at < highest;) {
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQuery(PointerTo(at), &region, sizeof region)) break;
        if (region.State == MEM_FREE)
            if (std::uint8_t* page = allocate(at)) return page;
        const hook::Address end = AddressOf(region.BaseAddress) + region.RegionSize;
        at = std::max(at + granularity, (end + granularity - 1) / granularity * granularity);
    }
    return nullptr;
}

// The trampolines of the process. One is never freed: a caller may still be on its way through it
// after its hook is gone. Hooking an entry again that still holds the same bytes takes its
// earlier trampoline, so hooks that come and go do not use up memory. The pages stay executable
// and writable: a trampoline runs while the next one is written beside it.
class TrampolineArena {
  public:
    struct Placed {
        void* at;
        hook::Trampoline layout;
    };

    std::optional<Placed> Place(const void* entry, const std::uint8_t* bytes,
                                std::size_t available) {
        const hook::Address from = AddressOf(entry);
        const std::size_t patch = hook::EntryPatch(kMode, 0).size;
        // Whether the instructions can move at all, before any memory is taken for them.
        const auto probe = hook::MoveEntry(bytes, available, from, from, kMode, patch);
        if (!probe) return std::nullopt;
        for (const Slot& slot : slots_)
            if (slot.entry == from && slot.layout.moved == probe->moved &&
                std::memcmp(slot.bytes.data(), bytes, probe->moved) == 0)
                return Placed{slot.at, slot.layout};
        for (int attempt = 0; attempt < 2; ++attempt) {
            for (Page& page : pages_) {
                if (page.used + hook::Trampoline::kCapacity > kArenaPage) continue;
                std::uint8_t* at = page.base + page.used;
                const auto t = hook::MoveEntry(bytes, available, from, AddressOf(at), kMode, patch);
                if (!t) continue;
                std::memcpy(at, t->code.data(), t->size);
                FlushCode(at, t->size);
                page.used += (t->size + 15) / 16 * 16;
                Slot slot{from, {}, at, *t};
                std::memcpy(slot.bytes.data(), bytes, t->moved);
                slots_.push_back(slot);
                return Placed{at, *t};
            }
            std::uint8_t* base = AllocateNear(from);
            if (!base) return std::nullopt;
            pages_.push_back({base, 0});
        }
        return std::nullopt;
    }

  private:
    struct Page {
        std::uint8_t* base;
        std::size_t used;
    };
    struct Slot {
        hook::Address entry;
        std::array<std::uint8_t, kEntryRead> bytes;
        void* at;
        hook::Trampoline layout;
    };
    std::vector<Page> pages_;
    std::vector<Slot> slots_;
};

TrampolineArena& Arena() {
    static TrampolineArena arena;
    return arena;
}

}  // namespace

TNtHookClass::TNtHookClass(const char* module, const char* function, void* replacement,
                           std::atomic<void*>& callThrough)
    : replacement_(replacement), patch_(hook::EntryPatch(kMode, AddressOf(replacement))) {
    const HMODULE m = PinnedModule(module);
    if (!m) return;
    target_ = reinterpret_cast<void*>(GetProcAddress(m, function));
    if (!target_) return;
    std::array<std::uint8_t, kEntryRead> bytes{};
    const std::size_t available = ReadEntry(target_, bytes);
    if (available < patch_.size) return;
    std::copy_n(bytes.begin(), patch_.size, saved_.begin());
    {
        const std::lock_guard<std::mutex> lock(RewriteLock());
        const auto placed = Arena().Place(target_, bytes.data(), available);
        if (!placed) return;
        trampolineAt_ = placed->at;
        trampoline_ = placed->layout;
    }
    // Before the patch: the first redirected call already needs it.
    callThrough.store(trampolineAt_, std::memory_order_release);
    usable_ = true;
    Hook();
}

TNtHookClass::~TNtHookClass() {
    Unhook();
}

void TNtHookClass::Hook() {
    if (usable_) Rewrite(true);
}

void TNtHookClass::Unhook() {
    if (usable_) Rewrite(false);
}

bool TNtHookClass::Rewrite(bool patching) {
    const std::size_t n = patch_.size;
    const std::uint8_t* expected = patching ? saved_.data() : patch_.bytes.data();
    const std::uint8_t* bytes = patching ? patch_.bytes.data() : saved_.data();
    const hook::Address entry = AddressOf(target_);
    const auto move = [&](hook::Address ip) {
        return patching ? hook::ResumeAfterPatch(trampoline_, entry, AddressOf(trampolineAt_), ip)
                        : hook::ResumeAfterRestore(kMode, entry, AddressOf(replacement_), ip);
    };

    const std::lock_guard<std::mutex> lock(RewriteLock());
    if (std::memcmp(target_, expected, n) != 0) return false;
    DWORD protection = 0;
    if (!VirtualProtect(target_, n, PAGE_EXECUTE_READWRITE, &protection)) return false;
    bool written = false;
    {
        OtherThreadsHeld held;
        if (held.Complete() && std::memcmp(target_, expected, n) == 0 && held.MoveEach(move)) {
            std::memcpy(target_, bytes, n);
            written = true;
        }
    }
    // Should the old protection not come back, the code only stays writable.
    DWORD unused = 0;
    VirtualProtect(target_, n, protection, &unused);
    FlushCode(target_, n);
    return written;
}
