#pragma once
#include <windows.h>

#include <memory>

#include "Handles_win.h"

// Keeps the platform's graphics library running while pictures exist.
class GdiplusSession {
  public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Ok() const { return token_ != 0; }

  private:
    ULONG_PTR token_ = 0;
};

// One picture with its alpha channel, kept as a premultiplied 32-bit bitmap for the
// platform's alpha blending; empty until loaded.
class TPicture {
  public:
    TPicture() = default;
    TPicture(TPicture&&) noexcept = default;
    TPicture& operator=(TPicture&&) noexcept = default;

    // Loads a PNG stored as an RCDATA resource of the module; false leaves the picture empty.
    bool LoadFromResource(HMODULE module, const wchar_t* name);
    // The formats a picture may be asked to be.
    enum class Format { Any, Jpeg, Png, Gif };
    // Decodes a picture from memory: PNG or any format the graphics library knows, or only a
    // picture of `format`. False leaves the picture empty.
    bool LoadFromMemory(const void* bytes, size_t size, Format format = Format::Any);
    bool Empty() const { return !bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Blends the picture scaled into the rectangle; an empty picture draws nothing.
    void Draw(HDC dc, const RECT& dest) const;

  private:
    UniqueGdi bitmap_;
    int width_ = 0;
    int height_ = 0;
};
