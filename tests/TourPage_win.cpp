// The player with a stand-in for the site's start page, for the tour of run.sh and ./soak.sh: a
// moment after the window shows, a real script engine calls external.AddUrl with the text of the
// command line, as a page of the site does when a child clicks a series.
//
//   TourPage.exe PLAYER_EXE ADDURL_VALUE
#include <windows.h>

#include <string>

#include "PlayerWithPage_win.h"

namespace {
constexpr UINT_PTR kClickTimer = 0x70;
constexpr UINT kClickAfterMs = 3000;
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::string player;
    std::wstring value;
    if (!PageArguments(player, value)) return 2;

    HWND window = nullptr;
    return RunPlayerWithPage(
        player,
        [&](HWND shown) {
            window = shown;
            return SetTimer(window, kClickTimer, kClickAfterMs, nullptr) != 0;
        },
        [&](const MSG& msg, const PageScript& page) {
            if (msg.message != WM_TIMER || msg.wParam != kClickTimer) return false;
            KillTimer(window, kClickTimer);
            if (!page(L"external.AddUrl(\"" + value + L"\", true);").empty()) PostQuitMessage(3);
            return true;
        });
}
