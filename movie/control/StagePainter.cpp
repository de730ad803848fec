#include "StagePainter.h"

#include <algorithm>
#include <cmath>

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

void StagePainter::Paint(const SwfMovie& movie, const Timeline& timeline,
                         const Matrix2D& stageToDevice, PixelImage& target,
                         std::vector<Field>& fields) {
    if (movie_ != &movie) {
        Reset();
        movie_ = &movie;
    }
    target_ = &target;
    fields_ = &fields;
    renderer_.Begin(target);
    nesting_ = 0;
    drawn_ = 0;
    Context c;
    const DisplayObject& root = timeline.RootObject();
    c.m = stageToDevice * Matrix2D::From(root.matrix);
    c.cxform = root.cxform;
    stageScale_ = stageToDevice.LengthScale();
    timeline_ = &timeline;
    if (root.visible) DrawList(timeline.Root(), c);
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
    // Buttons and still clips that name each other branch at every level: a frame draws so much.
    if (++drawn_ > kMaxDrawnPerFrame) return;
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
            if (clip)
                DrawList(*clip, c);
            else
                DrawFirstFrame(movie_->sprites.at(id), c);
            return;
        case SwfCharacterKind::Text:
            DrawText(movie_->texts.at(id), c);
            return;
        case SwfCharacterKind::EditText: {
            const SwfEditText& field = movie_->editTexts.at(id);
            if (!DrawOutlineField(field, c)) fields_->push_back({&field, c.owner, c.m});
            return;
        }
        case SwfCharacterKind::Sound:
            return;  // heard, not seen
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
    if (++drawn_ > kMaxDrawnPerFrame) return;
    DrawContext d;
    d.toDevice = c.m;
    d.cxform = c.cxform;
    d.stageScale = stageScale_;
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

bool StagePainter::DrawOutlineField(const SwfEditText& e, const Context& c) {
    if (!e.useOutlines || !e.hasFont || !c.owner) return false;
    const auto font = movie_->fonts.find(e.fontId);
    if (font == movie_->fonts.end() || font->second.glyphs.empty()) return false;
    const SwfFont& f = font->second;
    std::map<std::uint16_t, std::uint32_t> byCode;
    for (std::uint32_t i = 0; i < f.codes.size(); ++i) byCode.emplace(f.codes[i], i);
    const double scale = e.fontHeight / f.emSquare;
    const double ascent = f.hasLayout ? f.ascent * scale : e.fontHeight * 0.8;
    const double lineHeight =
        (f.hasLayout ? (f.ascent + f.descent) * scale : e.fontHeight * 1.0) + e.leading;
    const double gutter = 40;  // two pixels inside the bounds, as fields have
    const double left = e.bounds.xMin + e.leftMargin + gutter;
    const double right = e.bounds.xMax - e.rightMargin - gutter;
    const Rgba color{e.color.r, e.color.g, e.color.b, e.alpha};

    const std::u16string text =
        e.variable.empty() ? e.initialText : timeline_->FieldText(*c.owner, e.variable);
    double baseline = e.bounds.yMin + gutter + ascent;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t to = from;
        while (to < text.size() && text[to] != u'\r' && text[to] != u'\n') ++to;
        std::vector<std::pair<std::uint32_t, double>> glyphs;  // index and advance, in twips
        double width = 0;
        for (std::size_t i = from; i < to; ++i) {
            const auto g = byCode.find(text[i]);
            if (g == byCode.end()) continue;
            const double advance = f.hasLayout && g->second < f.advances.size()
                                       ? f.advances[g->second] * scale
                                       : e.fontHeight * 0.6;
            glyphs.emplace_back(g->second, advance);
            width += advance;
        }
        double x = left;
        if (e.align == 1) x = right - width;
        if (e.align == 2) x = left + (right - left - width) / 2;
        for (const auto& [index, advance] : glyphs) {
            if (const ShapeGeometry* glyph = Glyph(e.fontId, index)) {
                Context inner = c;
                inner.m = c.m * Matrix2D::Translate(x, baseline) * Matrix2D::Scale(scale, scale);
                DrawGeometry(*glyph, inner, &color);
            }
            x += advance;
        }
        if (to >= text.size() || baseline > e.bounds.yMax) break;
        from = to + (text[to] == u'\r' && to + 1 < text.size() && text[to + 1] == u'\n' ? 2 : 1);
        baseline += lineHeight;
    }
    return true;
}

const ShapeGeometry* StagePainter::ShapeOf(std::uint16_t id) {
    auto it = shapes_.find(id);
    if (it == shapes_.end()) {
        const auto shape = movie_->shapes.find(id);
        if (shape == movie_->shapes.end()) return nullptr;
        it = shapes_.emplace(id, BuildGeometry(shape->second)).first;
    }
    return &it->second;
}

bool StagePainter::HitButton(const SwfMovie& movie, const Timeline& timeline,
                             const Matrix2D& stageToDevice, Point p, const Clip*& clip,
                             std::uint16_t& depth) {
    if (movie_ != &movie) {
        Reset();
        movie_ = &movie;
    }
    const DisplayObject& root = timeline.RootObject();
    return root.visible &&
           HitList(timeline.Root(), stageToDevice * Matrix2D::From(root.matrix), p, clip, depth, 0);
}

bool StagePainter::HitList(const Clip& clip, const Matrix2D& m, Point p, const Clip*& hit,
                           std::uint16_t& depth, int nesting) {
    if (nesting > kMaxClipNesting) return false;
    for (auto it = clip.display.rbegin(); it != clip.display.rend(); ++it) {
        const DisplayObject& o = it->second;
        if (!o.visible || o.clipDepth > 0) continue;
        const Matrix2D inner = m * Matrix2D::From(o.matrix);
        if (o.clip) {
            if (HitList(*o.clip, inner, p, hit, depth, nesting + 1)) return true;
            continue;
        }
        const auto button = movie_->buttons.find(o.characterId);
        if (button == movie_->buttons.end()) continue;
        for (const SwfButtonRecord& r : button->second.records) {
            if (!(r.states & SwfButtonRecord::Hit)) continue;
            if (HitCharacter(r.characterId, inner * Matrix2D::From(r.matrix), p, nesting + 1)) {
                hit = &clip;
                depth = it->first;
                return true;
            }
        }
    }
    return false;
}

bool StagePainter::HitCharacter(std::uint16_t id, const Matrix2D& m, Point p, int nesting) {
    if (nesting > kMaxClipNesting || std::fabs(m.Determinant()) < 1e-12) return false;
    const ShapeGeometry* g = ShapeOf(id);
    if (!g) return false;
    return HitTest(*g, m.Inverse().Apply(p));
}

void StagePainter::DrawFirstFrame(const SwfSprite& sprite, const Context& c) {
    if (sprite.frames.empty() || ++nesting_ > kMaxClipNesting) {
        if (!sprite.frames.empty()) --nesting_;
        return;
    }
    std::map<std::uint16_t, const SwfPlace*> byDepth;
    for (const SwfPlace& p : sprite.frames.front().places)
        if (p.kind != SwfPlace::Remove && p.hasCharacter) byDepth[p.depth] = &p;
    for (const auto& [depth, p] : byDepth) {
        if (p->hasClipDepth) continue;  // no masks in a still picture
        Context inner = c;
        if (p->hasMatrix) inner.m = c.m * Matrix2D::From(p->matrix);
        if (p->hasCxform) inner.cxform = Concat(c.cxform, p->cxform);
        DrawCharacter(p->characterId, p->ratio, nullptr, SwfButtonRecord::Up, inner);
    }
    --nesting_;
}
