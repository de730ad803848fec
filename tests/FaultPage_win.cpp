// The player with a page that a test drives, for the network fault tests: the player's own window
// and components for the installation it is given, and a real script engine that calls
// window.external as a page of the site does, when the test asks by a thread message:
//
//   FaultPage.exe PLAYER_EXE RESULT_FILE
//
//   WM_APP, wParam 1, lParam ID: external.AddUrl of series ID (a click on a series)
//   WM_APP, wParam 2:            external.Web_Logo of a member whose picture is avatar.jpg
//
// Each call appends a line to RESULT_FILE once it has returned: "ok", or "failed: " and the
// script engine's error text.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Contract.h"
#include "PlayerWithPage_win.h"
#include "TextConv_win.h"

namespace {

constexpr WPARAM kAddUrl = 1, kWebLogo = 2;

std::wstring CallFor(WPARAM what, LPARAM id) {
    if (what == kAddUrl)
        return L"external.AddUrl(\"tolu_S" + std::to_wstring(id) + L"_" + std::to_wstring(id) +
               L"_T\", true);";
    const std::wstring picture =
        L"http://" + AnsiToWide(contract::kContentHost) + L"/images/avatar.jpg";
    return L"external.Web_Logo(\"kid\", \"4124b6fcaa69a4c91cf59c7faeb9dbf3\", \"kid;1001;3;" +
           picture + L"\");";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::string player;
    std::wstring results;
    if (!PageArguments(player, results)) return 2;

    return RunPlayerWithPage(
        player, [](HWND) { return true; },
        [&](const MSG& msg, const PageScript& page) {
            if (msg.hwnd != nullptr || msg.message != WM_APP ||
                (msg.wParam != kAddUrl && msg.wParam != kWebLogo))
                return false;
            const std::wstring error = page(CallFor(msg.wParam, msg.lParam));
            std::ofstream out(std::filesystem::path(results), std::ios::binary | std::ios::app);
            out << (error.empty() ? std::string("ok") : "failed: " + BytesFrom(error, CP_UTF8))
                << "\n";
            return true;
        });
}
