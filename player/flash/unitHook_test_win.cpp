// Redirecting a real exported function: what is not there leaves the hook unusable, the
// function's own code stays callable while it is redirected, and callers on other threads keep
// getting answers while the entry is rewritten under them.
#include "unitHook_win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using GetNumDevs = decltype(&waveOutGetNumDevs);

// waveOutGetNumDevs of Wine begins with a call whose offset has to move with it.
GetNumDevs Entry() {
    return reinterpret_cast<GetNumDevs>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("winmm.dll"), "waveOutGetNumDevs")));
}

std::array<std::uint8_t, 16> FirstBytes() {
    std::array<std::uint8_t, 16> bytes{};
    std::memcpy(bytes.data(), reinterpret_cast<const void*>(Entry()), bytes.size());
    return bytes;
}

std::atomic<void*> callThrough{nullptr};

UINT WINAPI MoreDevices() {
    return reinterpret_cast<GetNumDevs>(callThrough.load())() + 100;
}

TEST(NtHook, WhatIsNotThereLeavesTheHookUnusable) {
    std::atomic<void*> slot{nullptr};
    TNtHookClass noModule("no-such-module.dll", "waveOutGetNumDevs",
                          reinterpret_cast<void*>(&MoreDevices), slot);
    EXPECT_FALSE(noModule.Usable());
    const auto before = FirstBytes();
    TNtHookClass noFunction("winmm.dll", "waveOutGetNoSuchThing",
                            reinterpret_cast<void*>(&MoreDevices), slot);
    EXPECT_FALSE(noFunction.Usable());
    noFunction.Hook();
    EXPECT_EQ(slot.load(), nullptr);
    EXPECT_EQ(FirstBytes(), before);
}

TEST(NtHook, TheFunctionRunsThroughItsReplacementAndItsOwnCodeStaysCallable) {
    const UINT devices = waveOutGetNumDevs();
    const auto before = FirstBytes();
    {
        TNtHookClass hook("winmm.dll", "waveOutGetNumDevs", reinterpret_cast<void*>(&MoreDevices),
                          callThrough);
        ASSERT_TRUE(hook.Usable());
        EXPECT_EQ(waveOutGetNumDevs(), devices + 100);
        EXPECT_EQ(Entry()(), devices + 100);
        EXPECT_EQ(reinterpret_cast<GetNumDevs>(callThrough.load())(), devices);

        hook.Unhook();
        EXPECT_EQ(FirstBytes(), before);
        EXPECT_EQ(waveOutGetNumDevs(), devices);
        hook.Hook();
        hook.Hook();  // once is enough
        EXPECT_EQ(waveOutGetNumDevs(), devices + 100);
        hook.Unhook();
        hook.Unhook();
        EXPECT_EQ(FirstBytes(), before);
        hook.Hook();
    }
    EXPECT_EQ(FirstBytes(), before);
    EXPECT_EQ(waveOutGetNumDevs(), devices);
}

TEST(NtHook, CallersOnOtherThreadsGetAnswersWhileTheEntryIsRewritten) {
    const UINT devices = waveOutGetNumDevs();
    std::atomic<bool> stop{false};
    std::atomic<long> calls{0}, wrong{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t)
        callers.emplace_back([&] {
            const GetNumDevs f = Entry();
            while (!stop) {
                const UINT n = f();
                if (n != devices && n != devices + 100) ++wrong;
                ++calls;
            }
        });
    TNtHookClass hook("winmm.dll", "waveOutGetNumDevs", reinterpret_cast<void*>(&MoreDevices),
                      callThrough);
    ASSERT_TRUE(hook.Usable());
    for (int i = 0; i < 300; ++i) {
        hook.Unhook();
        hook.Hook();
    }
    stop = true;
    for (auto& c : callers) c.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GT(calls.load(), 0);
}

}  // namespace
