#pragma once
// Fills and strokes shapes into a premultiplied picture. The fills of one shape are summed into a
// layer before the layer goes over the picture, so neighbouring fills meet without a seam; the
// shape's strokes go over its fills; a mask limits what shows.
#include <vector>

#include "CoverageRaster.h"
#include "PixelImage.h"
#include "Shader.h"
#include "ShapeGeometry.h"

struct DrawContext {
    Matrix2D toDevice;      // the shape's twips to device pixels
    SwfCxform cxform;       // colour transform of the placement
    double stageScale = 0.05;  // device pixels per twip of the stage, for strokes that do not scale
    const CoverageMask* mask = nullptr;
    const BitmapTable* bitmaps = nullptr;
    const Rgba* color = nullptr;  // every fill in this colour instead of its style (glyphs)
};

class Renderer {
  public:
    // Draws into `target` from now on; its size fixes the raster.
    void Begin(PixelImage& target);
    void Clear(std::uint32_t pixel);
    void FillRect(int x0, int y0, int x1, int y1, Rgba color);
    void DrawShape(const ShapeGeometry& shape, const DrawContext& context);

  private:
    struct Box {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool Empty() const { return x0 >= x1 || y0 >= y1; }
    };
    Box DeviceBox(const ShapeGeometry& shape, const DrawContext& context) const;
    void RasterFill(const FillRegion& region, const Matrix2D& m);
    void RasterStroke(const StrokeRun& run, const SwfLineStyle& style, const DrawContext& c);
    bool PrepareShader(Shader& shader, const SwfFillStyle& style, const DrawContext& c) const;
    // Over the target, straight from the raster.
    void SweepOver(const Shader& shader, const DrawContext& c);
    // Into the layer: summed, or over what the layer has.
    void SweepLayer(const Shader& shader, bool over);
    void LayerOver(const DrawContext& c);

    PixelImage* target_ = nullptr;
    CoverageRaster raster_;
    std::vector<ColorF> row_;
    Box box_;
    std::vector<ColorF> layer_;
};
