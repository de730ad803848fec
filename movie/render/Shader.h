#pragma once
// The colour of a fill style at each device pixel: solid, linear, radial and focal gradients with
// their spread and interpolation, and bitmaps clipped or repeating, smoothed or not, all through
// the colour transform, as premultiplied colour.
#include <array>
#include <map>

#include "Geometry.h"
#include "SwfCharacters.h"

using BitmapTable = std::map<std::uint16_t, SwfBitmap>;

class Shader {
  public:
    // `toDevice` maps the shape's twips to device pixels. False when the style draws nothing
    // (a bitmap that does not exist, a matrix that flattens it).
    bool Prepare(const SwfFillStyle& style, const Matrix2D& toDevice, const SwfCxform& cxform,
                 const BitmapTable* bitmaps);
    // A solid colour in place of the style (glyphs take the text's colour).
    void PrepareSolid(Rgba color, const SwfCxform& cxform);

    bool IsSolid() const { return kind_ == SwfFillStyle::Solid; }
    const ColorF& Solid() const { return solid_; }
    // Pixels x0..x1-1 of row y.
    void Row(int y, int x0, int x1, ColorF* out) const;

  private:
    ColorF Gradient(double gx, double gy) const;
    ColorF Texel(int u, int v) const;
    ColorF Sample(double u, double v) const;

    SwfFillStyle::Kind kind_ = SwfFillStyle::Solid;
    ColorF solid_;
    std::array<ColorF, 256> lut_{};
    Matrix2D inverse_;  // device pixels to gradient square or bitmap pixels
    std::uint8_t spread_ = 0;
    double focal_ = 0;
    const SwfBitmap* bitmap_ = nullptr;
    bool clipped_ = false, smoothed_ = false;
    SwfCxform cxform_;
    bool transformTexels_ = false;
};
