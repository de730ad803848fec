#pragma once
#include <windows.h>

// Registers a window class of this module once per process: later calls for the same name find
// it registered and answer true. False when the system refuses.
bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style = 0,
                         HCURSOR cursor = nullptr);
