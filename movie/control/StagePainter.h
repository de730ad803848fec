#pragma once
// One frame of the timelines into a picture: every display list in depth order with its matrices
// and colour transforms, clip masks over the depths they name, shapes, morph shapes at their
// ratio, bitmaps, static texts from their fonts' glyphs and buttons in their state (a movie clip
// in a button's state shows its first frame, still). Geometry is
// built once per character; a frame only transforms and fills it. Text fields with an embedded
// font draw from its glyphs; the others are handed back to the caller for a platform font.
#include <map>
#include <utility>
#include <vector>

#include "Renderer.h"
#include "Timeline.h"

// What one frame draws at most: characters and shapes (glyphs included).
constexpr std::size_t kMaxDrawnPerFrame = 1u << 17;

class StagePainter {
  public:
    struct Field {
        const SwfEditText* text = nullptr;
        const Clip* clip = nullptr;  // whose variables the field shows
        Matrix2D toDevice;           // the field's twips to device pixels
    };

    // Forgets the geometry of the movie before.
    void Reset();
    // Draws over `target`, which already holds the background.
    void Paint(const SwfMovie& movie, const Timeline& timeline, const Matrix2D& stageToDevice,
               PixelImage& target, std::vector<Field>& fields);

    // The top-most button whose hit area holds the device point `p`: its clip and depth.
    bool HitButton(const SwfMovie& movie, const Timeline& timeline, const Matrix2D& stageToDevice,
                   Point p, const Clip*& clip, std::uint16_t& depth);

  private:
    bool HitList(const Clip& clip, const Matrix2D& m, Point p, const Clip*& hit,
                 std::uint16_t& depth, int nesting);
    bool HitCharacter(std::uint16_t id, const Matrix2D& m, Point p, int nesting);
    const ShapeGeometry* ShapeOf(std::uint16_t id);

    struct Context {
        Matrix2D m;
        SwfCxform cxform;
        const CoverageMask* mask = nullptr;
        const Clip* owner = nullptr;  // the clip whose display list is drawn
    };
    void DrawList(const Clip& clip, const Context& c);
    void DrawObject(const DisplayObject& o, const Context& c);
    void DrawCharacter(std::uint16_t id, std::uint16_t ratio, const Clip* clip,
                       std::uint8_t buttonState, const Context& c);
    void DrawGeometry(const ShapeGeometry& g, const Context& c, const Rgba* color = nullptr);
    void DrawText(const SwfText& text, const Context& c);
    // A movie clip without a timeline of its own (a button's state): its first frame, still.
    void DrawFirstFrame(const SwfSprite& sprite, const Context& c);
    // A field whose font has glyphs, drawn from them.
    bool DrawOutlineField(const SwfEditText& field, const Context& c);
    // The object's coverage, within `outer`, as a mask.
    void BuildMask(const DisplayObject& o, const Context& c, CoverageMask& out);
    const ShapeGeometry* Glyph(std::uint16_t font, std::uint32_t index);

    const SwfMovie* movie_ = nullptr;
    const Timeline* timeline_ = nullptr;
    PixelImage* target_ = nullptr;
    std::vector<Field>* fields_ = nullptr;
    Renderer renderer_;
    std::map<std::uint16_t, ShapeGeometry> shapes_;  // shapes and placed bitmaps
    std::map<std::pair<std::uint16_t, std::uint32_t>, ShapeGeometry> glyphs_;
    int nesting_ = 0;
    std::size_t drawn_ = 0;
    double stageScale_ = 1;  // device pixels per twip of the stage, for strokes that do not scale
};
