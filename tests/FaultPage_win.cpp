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
#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "AppWindow_win.h"
#include "ComSessions_win.h"
#include "Contract.h"
#include "Picture_win.h"
#include "PlayerComponents_win.h"
#include "ScriptHost_win.h"
#include "TextConv_win.h"
#include "Uunlock_win.h"
#include "Umain_win.h"

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
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) return 2;
    const std::string player = WideToAnsi(argv[1]);
    const std::wstring results = argv[2];
    LocalFree(argv);

    OleSession ole;
    GdiplusSession gdiplus;
    try {
        TAppWindow application(L"儿童辅助学习播放器");
        MainComponents* components = nullptr;
        Tfrm_wuxplay mainWindow(application.Handle(), [&](MainPlaces& places, MainView& view) {
            auto made = MakePlayerComponents(places, view, Player(), player);
            components = made.get();
            return made;
        });
        if (!mainWindow.Handle() || !components) return 1;
        TFrm_unlock unlockDialog(mainWindow.Handle(), Player());
        SetUnlockDialog(*components, &unlockDialog);
        mainWindow.Show();

        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.hwnd == nullptr && msg.message == WM_APP &&
                (msg.wParam == kAddUrl || msg.wParam == kWebLogo)) {
                auto page = MakeComObject<JScriptHost>();
                page->AddItem(L"external", BridgeDispatchOf(*components).Get());
                const std::wstring error = page->Run(CallFor(msg.wParam, msg.lParam));
                std::ofstream out(std::filesystem::path(results), std::ios::binary | std::ios::app);
                out << (error.empty() ? std::string("ok") : "failed: " + BytesFrom(error, CP_UTF8))
                    << "\n";
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    } catch (const std::exception&) {
        return 1;
    }
    return 0;
}
