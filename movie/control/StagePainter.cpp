#include "StagePainter.h"

#include <algorithm>

namespace {

// A bitmap placed on its own: a rectangle of its size in twips filled with it, pixel for pixel.
ShapeGeometry BitmapGeometry(std::uint16_t id, const SwfBitmap& bitmap) {
    SwfShape shape;
    const std::int32_t w = bitmap.width * 20, h = bitmap.height * 20;
    shape.bounds = {0, w, 0, h};
    SwfFillStyle fill;
    fill.kind = SwfFillStyle::Bitmap;
    fill.bitmapId = id;
    fill.clipped = true;
    fill.matrix.a = fill.matrix.d = 20;
    shape.fills.push_back(fill);
    SwfPath path;
    path.fill1 = 1;
    for (const auto& [x, y] :
         {std::pair{w, 0}, std::pair{w, h}, std::pair{0, h}, std::pair{0, 0}}) {
        SwfSegment s;
        s.x = x;
        s.y = y;
        path.segments.push_back(s);
    }
    shape.paths.push_back(path);
    return BuildGeometry(shape);
}

}  // namespace

void StagePainter::Reset() {
    shapes_.clear();
    glyphs_.clear();
    movie_ = nullptr;
}

void StagePainter::Paint(const SwfMovie& movie, const Clip& root, const Matrix2D& stageToDevice,
                         PixelImage& target, std::vector<Field>& fields) {
    if (movie_ != &movie) {
        Reset();
        movie_ = &movie;
    }
    target_ = &target;
    fields_ = &fields;
    renderer_.Begin(target);
    nesting_ = 0;
    Context c;
    c.m = stageToDevice;
    DrawList(root, c);
}

void StagePainter::DrawList(const Clip& clip, const Context& c) {
    if (++nesting_ > kMaxClipNesting + 2) {
        --nesting_;
        return;
    }
    Context inner = c;
    inner.owner = &clip;
    CoverageMask mask;
    int maskedUpTo = -1;
    for (const auto& [depth, o] : clip.display) {
        if (maskedUpTo >= 0 && depth > maskedUpTo) {
            inner.mask = c.mask;
            maskedUpTo = -1;
        }
        if (o.clipDepth > 0) {
            BuildMask(o, c, mask);
            inner.mask = &mask;
            maskedUpTo = o.clipDepth;
            continue;
        }
        if (o.visible) DrawObject(o, inner);
    }
    --nesting_;
}

void StagePainter::BuildMask(const DisplayObject& o, const Context& c, CoverageMask& out) {
    PixelImage scratch;
    scratch.Resize(target_->width, target_->height);
    PixelImage* saved = target_;
    std::vector<Field> ignored;
    std::vector<Field>* savedFields = fields_;
    target_ = &scratch;
    fields_ = &ignored;
    renderer_.Begin(scratch);
    Context plain = c;
    plain.cxform = {};
    plain.mask = nullptr;
    DrawObject(o, plain);
    target_ = saved;
    fields_ = savedFields;
    renderer_.Begin(*target_);
    out.width = scratch.width;
    out.height = scratch.height;
    out.alpha.resize(scratch.pixels.size());
    for (std::size_t i = 0; i < scratch.pixels.size(); ++i) {
        unsigned a = scratch.pixels[i] >> 24;
        if (c.mask) a = a * c.mask->alpha[i] / 255;
        out.alpha[i] = static_cast<std::uint8_t>(a);
    }
}

void StagePainter::DrawObject(const DisplayObject& o, const Context& c) {
    Context inner = c;
    inner.m = c.m * Matrix2D::From(o.matrix);
    inner.cxform = Concat(c.cxform, o.cxform);
    DrawCharacter(o.characterId, o.ratio, o.clip.get(), o.buttonState, inner);
}

void StagePainter::DrawCharacter(std::uint16_t id, std::uint16_t ratio, const Clip* clip,
                                 std::uint8_t buttonState, const Context& c) {
    const auto kind = movie_->characters.find(id);
    if (kind == movie_->characters.end()) return;
    switch (kind->second) {
        case SwfCharacterKind::Shape: {
            auto it = shapes_.find(id);
            if (it == shapes_.end())
                it = shapes_.emplace(id, BuildGeometry(movie_->shapes.at(id))).first;
            DrawGeometry(it->second, c);
            return;
        }
        case SwfCharacterKind::MorphShape:
            DrawGeometry(BuildGeometry(MorphAt(movie_->morphs.at(id), ratio)), c);
            return;
        case SwfCharacterKind::Bitmap: {
            auto it = shapes_.find(id);
            if (it == shapes_.end())
                it = shapes_.emplace(id, BitmapGeometry(id, movie_->bitmaps.at(id))).first;
            DrawGeometry(it->second, c);
            return;
        }
        case SwfCharacterKind::Sprite:
            if (clip) DrawList(*clip, c);
            return;
        case SwfCharacterKind::Text:
            DrawText(movie_->texts.at(id), c);
            return;
        case SwfCharacterKind::EditText:
            fields_->push_back({&movie_->editTexts.at(id), c.owner, c.m});
            return;
        case SwfCharacterKind::Button: {
            if (++nesting_ > kMaxClipNesting) {
                --nesting_;
                return;
            }
            for (const SwfButtonRecord& r : movie_->buttons.at(id).records) {
                if (!(r.states & buttonState)) continue;
                Context inner = c;
                inner.m = c.m * Matrix2D::From(r.matrix);
                inner.cxform = Concat(c.cxform, r.cxform);
                DrawCharacter(r.characterId, 0, nullptr, SwfButtonRecord::Up, inner);
            }
            --nesting_;
            return;
        }
        default:
            return;
    }
}

void StagePainter::DrawGeometry(const ShapeGeometry& g, const Context& c, const Rgba* color) {
    DrawContext d;
    d.toDevice = c.m;
    d.cxform = c.cxform;
    d.stageScale = 1;
    d.mask = c.mask;
    d.bitmaps = &movie_->bitmaps;
    d.color = color;
    renderer_.DrawShape(g, d);
}

const ShapeGeometry* StagePainter::Glyph(std::uint16_t font, std::uint32_t index) {
    const auto key = std::make_pair(font, index);
    auto it = glyphs_.find(key);
    if (it != glyphs_.end()) return &it->second;
    const auto f = movie_->fonts.find(font);
    if (f == movie_->fonts.end() || index >= f->second.glyphs.size()) return nullptr;
    return &glyphs_.emplace(key, BuildGeometry(f->second.glyphs[index])).first->second;
}

void StagePainter::DrawText(const SwfText& text, const Context& c) {
    const Matrix2D textM = c.m * Matrix2D::From(text.matrix);
    for (const SwfTextRecord& r : text.records) {
        const auto font = movie_->fonts.find(r.fontId);
        if (font == movie_->fonts.end()) continue;
        const double scale = r.height / font->second.emSquare;
        double x = r.x;
        for (const SwfGlyphEntry& g : r.glyphs) {
            if (const ShapeGeometry* glyph = Glyph(r.fontId, g.index)) {
                Context inner = c;
                inner.m = textM * Matrix2D::Translate(x, r.y) * Matrix2D::Scale(scale, scale);
                DrawGeometry(*glyph, inner, &r.color);
            }
            x += g.advance;
        }
    }
}
