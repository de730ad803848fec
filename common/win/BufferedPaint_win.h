#pragma once
#include <windows.h>

#include <functional>

// Paints `area` of `dc` off screen first, so that it appears whole, without flicker. Where no
// memory bitmap can be made it paints straight into `dc`.
void PaintBuffered(HDC dc, const RECT& area, const std::function<void(HDC)>& paint);
