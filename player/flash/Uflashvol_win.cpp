#include "Uflashvol_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <type_traits>

#include "unitHook_win.h"

namespace {

// The functions' own code, through their trampolines.
std::atomic<void*> realOpen{nullptr}, realWrite{nullptr}, realClose{nullptr};

template <typename Function>
Function Real(const std::atomic<void*>& callThrough) {
    return reinterpret_cast<Function>(callThrough.load(std::memory_order_acquire));
}

// The routines may be handed any pointer: they read and write only memory that can be.
bool ReadOwnMemory(const void* at, void* out, std::size_t size) {
    SIZE_T read = 0;
    return at && ReadProcessMemory(GetCurrentProcess(), at, out, size, &read) && read == size;
}

bool Writable(const void* data, std::size_t length) {
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data), end = begin + length;
    if (end < begin) return false;
    constexpr DWORD kWritable =
        PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    for (std::uintptr_t at = begin; at < end;) {
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) ||
            region.State != MEM_COMMIT || (region.Protect & PAGE_GUARD) ||
            !(region.Protect & kWritable))
            return false;
        at = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

MMRESULT WINAPI OpenThroughVolume(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx,
                                  DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen) {
    flashvol::RaiseOutputOpen(pwfx);
    // The sample size ends the plain format record; the extra size after it is not needed.
    PCMWAVEFORMAT format{};
    if (ReadOwnMemory(pwfx, &format, sizeof format))
        flashvol::KeepOutputFormat(format.wf.nChannels, format.wBitsPerSample);
    return Real<decltype(&waveOutOpen)>(realOpen)(phwo, uDeviceID, pwfx, dwCallback, dwInstance,
                                                  fdwOpen);
}

MMRESULT WINAPI WriteThroughVolume(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    flashvol::RaiseOutputWrite(pwh, cbwh);
    // The header's data pointer and length, read after the handler, which may have changed them.
    struct {
        LPSTR lpData;
        DWORD dwBufferLength;
    } head{};
    static_assert(offsetof(decltype(head), dwBufferLength) == offsetof(WAVEHDR, dwBufferLength));
    if (ReadOwnMemory(pwh, &head, offsetof(WAVEHDR, dwBufferLength) + sizeof(DWORD)) &&
        Writable(head.lpData, head.dwBufferLength))
        flashvol::ScaleOutputBuffer(head.lpData, head.dwBufferLength);
    return Real<decltype(&waveOutWrite)>(realWrite)(hwo, pwh, cbwh);
}

MMRESULT WINAPI CloseThroughVolume(HWAVEOUT hwo) {
    flashvol::RaiseOutputClose();
    return Real<decltype(&waveOutClose)>(realClose)(hwo);
}

static_assert(std::is_same_v<decltype(&OpenThroughVolume), decltype(&waveOutOpen)>);
static_assert(std::is_same_v<decltype(&WriteThroughVolume), decltype(&waveOutWrite)>);
static_assert(std::is_same_v<decltype(&CloseThroughVolume), decltype(&waveOutClose)>);

class WaveOutHooks final : public WaveOutInterception {
  public:
    WaveOutHooks()
        : open_(Hook("waveOutOpen", reinterpret_cast<void*>(&OpenThroughVolume), realOpen)),
          write_(Hook("waveOutWrite", reinterpret_cast<void*>(&WriteThroughVolume), realWrite)),
          close_(Hook("waveOutClose", reinterpret_cast<void*>(&CloseThroughVolume), realClose)) {}
    // In the order they were made.
    ~WaveOutHooks() override {
        open_.reset();
        write_.reset();
        close_.reset();
    }

  private:
    static std::unique_ptr<TNtHookClass> Hook(const char* function, void* replacement,
                                              std::atomic<void*>& callThrough) {
        return std::make_unique<TNtHookClass>("winmm.dll", function, replacement, callThrough);
    }

    std::unique_ptr<TNtHookClass> open_, write_, close_;
};

}  // namespace

std::shared_ptr<WaveOutInterception> HookWaveOut() {
    // Taken by the start-up and the end of components, never by the sound routines.
    static std::mutex lock;
    static std::weak_ptr<WaveOutInterception> current;
    const std::lock_guard<std::mutex> hold(lock);
    if (auto hooks = current.lock()) return hooks;
    auto hooks = std::make_shared<WaveOutHooks>();
    current = hooks;
    return hooks;
}
