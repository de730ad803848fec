#pragma once
// The player's own window and components for an installation, with a real script engine in the
// place of the site's page: Wine has no HTML engine here, so no page could ever call
// window.external. The tour and the network fault tests drive the player through it as a page of
// the site does.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "AppWindow_win.h"
#include "ComSessions_win.h"
#include "Picture_win.h"
#include "PlayerComponents_win.h"
#include "PlayerWindows_win.h"
#include "ScriptHost_win.h"
#include "TextConv_win.h"

// The command line of a stand-in: PROGRAM PLAYER_EXE ARGUMENT. False when it is not that.
inline bool PageArguments(std::string& player, std::wstring& argument) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return false;
    const bool two = argc == 3;
    if (two) {
        player = WideToAnsi(argv[1]);
        argument = argv[2];
    }
    LocalFree(argv);
    return two;
}

// Runs `script` as the page's and gives the engine's error text, empty when it ran.
using PageScript = std::function<std::wstring(const std::wstring& script)>;

// Runs the player of `player` (its Variz.exe) until its window closes; the result is the quit
// message's code, 1 when the window could not be made. `onShown` runs once the window shows
// (false ends the program); `onMessage` sees every message first and returns true for one it took.
inline int RunPlayerWithPage(const std::string& player, const std::function<bool(HWND)>& onShown,
                             const std::function<bool(const MSG&, const PageScript&)>& onMessage) {
    OleSession ole;
    GdiplusSession gdiplus;
    try {
        TAppWindow application(L"儿童辅助学习播放器");
        PlayerWindows windows(application.Handle(), player);
        if (!windows.Made()) return 1;
        windows.MainWindow().Show();
        if (!onShown(windows.MainWindow().Handle())) return 1;

        const PageScript page = [&](const std::wstring& script) {
            auto engine = MakeComObject<JScriptHost>();
            engine->AddItem(L"external", BridgeDispatchOf(windows.Components()).Get());
            return engine->Run(script);
        };
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (onMessage(msg, page)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return static_cast<int>(msg.wParam);
    } catch (const std::exception&) {
        return 1;
    }
}
