#pragma once
// Owners of Win32 handles.
#include <windows.h>

#include "UniqueResource.h"

inline void CloseHandleChecked(HANDLE h) {
    CloseHandle(h);
}
inline void DeleteGdiObject(HGDIOBJ h) {
    DeleteObject(h);
}
inline void DeleteMemoryDc(HDC h) {
    DeleteDC(h);
}
inline void DestroyMenuHandle(HMENU h) {
    DestroyMenu(h);
}
inline void FreeLoadedLibrary(HMODULE h) {
    FreeLibrary(h);
}

using UniqueHandle = UniqueResource<HANDLE, CloseHandleChecked, nullptr>;
using UniqueGdi = UniqueResource<HGDIOBJ, DeleteGdiObject, nullptr>;
using UniqueDc = UniqueResource<HDC, DeleteMemoryDc, nullptr>;
using UniqueMenu = UniqueResource<HMENU, DestroyMenuHandle, nullptr>;
using UniqueModule = UniqueResource<HMODULE, FreeLoadedLibrary, nullptr>;
