// Asks a running player to close, the way the tray program does.
#include <windows.h>

#include "Contract.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HWND player = FindWindowW(contract::kPlayerWindowClass, nullptr);
    if (!player) return 1;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(player, contract::kCloseRequestMessage, 0, 0, SMTO_ABORTIFHUNG, 5000,
                               &result)
               ? 0
               : 2;
}
