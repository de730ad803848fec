#pragma once
// What the player and the tray agree on. Either program, and every installation in the field,
// finds the other by these: change none of them alone.
#include <cstdint>
#include <string>

#include "BuildConfig.h"

namespace contract {

// The player's main window, found by its class by a second start and by the tray.
constexpr wchar_t kPlayerWindowClass[] = L"Tfrm_wuxplay";
// Sent by the tray to the player's main window: close for good (WM_USER + 1, both parameters
// ignored).
constexpr std::uint32_t kCloseRequestMessage = 0x0401;

// Named mutexes that keep each program to one running copy.
constexpr wchar_t kPlayerMutex[] = L"zamChild";
constexpr wchar_t kTrayMutex[] =
    L"0xa8a66d88, 0x18c8, 0x448b, 0x80, 0xc, 0xa3, 0x20, 0xea, 0x4f, 0xb6, 0xe8";

// The files of an installation, relative to its folder.
constexpr char kPlayerProgram[] = "Variz.exe";
constexpr char kTrayProgram[] = "Zorvane.exe";
constexpr char kSettingsFile[] = "Variz.dat";

// The content server host every address of both programs is built with; fixed at build time.
inline const std::string kContentHost = VARIZ_CONTENT_HOST;

}  // namespace contract
