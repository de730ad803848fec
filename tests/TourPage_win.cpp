// The player with a stand-in for the site's start page, for the tour of run.sh: the web browser
// control has no HTML engine under Wine, so no page could ever call window.external there. This
// program runs the player's own window and components for the installation it is given, and a
// real script engine calls external.AddUrl with the text of its command line, as a page of the
// site does when a child clicks a series.
//
//   TourPage.exe PLAYER_EXE ADDURL_VALUE
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "AppWindow_win.h"
#include "ComSessions_win.h"
#include "Picture_win.h"
#include "PlayerComponents_win.h"
#include "ScriptHost_win.h"
#include "TextConv_win.h"
#include "Uunlock_win.h"
#include "Umain_win.h"

namespace {
constexpr UINT_PTR kClickTimer = 0x70;
constexpr UINT kClickAfterMs = 3000;
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) return 2;
    const std::string player = WideToAnsi(argv[1]);
    const std::wstring value = argv[2];
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

        // The click on the page comes a moment after the window shows.
        if (!SetTimer(mainWindow.Handle(), kClickTimer, kClickAfterMs, nullptr)) return 1;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_TIMER && msg.wParam == kClickTimer) {
                KillTimer(mainWindow.Handle(), kClickTimer);
                auto page = MakeComObject<JScriptHost>();
                page->AddItem(L"external", BridgeDispatchOf(*components).Get());
                const std::wstring error = page->Run(L"external.AddUrl(\"" + value + L"\", true);");
                if (!error.empty()) return 3;
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
