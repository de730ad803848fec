#include "BufferedPaint_win.h"

#include "Handles_win.h"

void PaintBuffered(HDC dc, const RECT& area, const std::function<void(HDC)>& paint) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    UniqueDc memory(CreateCompatibleDC(dc));
    UniqueGdi bitmap(memory ? CreateCompatibleBitmap(dc, width, height) : nullptr);
    if (!memory || !bitmap) {
        paint(dc);
        return;
    }
    const HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    // The painter draws in the area's own coordinates.
    SetWindowOrgEx(memory.get(), area.left, area.top, nullptr);
    paint(memory.get());
    SetWindowOrgEx(memory.get(), 0, 0, nullptr);
    BitBlt(dc, area.left, area.top, width, height, memory.get(), 0, 0, SRCCOPY);
    SelectObject(memory.get(), old);
}
