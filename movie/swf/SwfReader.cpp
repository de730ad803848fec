#include "SwfReader.h"

#include "ImageDecoder.h"
#include "MovieImage.h"
#include "SwfBitmapReader.h"
#include "SwfButtonReader.h"
#include "SwfFontReader.h"
#include "SwfShapeReader.h"
#include "SwfSoundReader.h"
#include "Utf16.h"

namespace {

using swf::BitReader;

bool EqualsIgnoringCase(const std::string& text, std::size_t at, const char* word) {
    for (std::size_t i = 0; word[i]; ++i) {
        if (at + i >= text.size()) return false;
        char c = text[at + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        char w = word[i];
        if (w >= 'A' && w <= 'Z') w = static_cast<char>(w - 'A' + 'a');
        if (c != w) return false;
    }
    return true;
}

// Text of an HTML field: tags out, line breaks for <br> and between paragraphs, the common
// entities.
std::string PlainFromHtml(const std::string& html) {
    static const struct {
        const char* name;
        char c;
    } kEntities[] = {{"&lt;", '<'},   {"&gt;", '>'},    {"&amp;", '&'},
                     {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
    std::string out;
    bool paragraphEnded = false;  // a break is owed before any further text
    const auto put = [&](char c) {
        if (paragraphEnded) out.push_back('\r');
        paragraphEnded = false;
        out.push_back(c);
    };
    std::size_t i = 0;
    while (i < html.size()) {
        if (html[i] == '<') {
            const std::size_t close = html.find('>', i);
            if (close == std::string::npos) break;
            if (EqualsIgnoringCase(html, i, "<br")) put('\r');
            if (EqualsIgnoringCase(html, i, "</p") && !out.empty()) paragraphEnded = true;
            i = close + 1;
            continue;
        }
        bool entity = false;
        if (html[i] == '&') {
            for (const auto& e : kEntities) {
                if (EqualsIgnoringCase(html, i, e.name)) {
                    put(e.c);
                    i += std::char_traits<char>::length(e.name);
                    entity = true;
                    break;
                }
            }
        }
        if (!entity) put(html[i++]);
    }
    return out;
}

// Sprites hold control tags only, so a sprite inside a sprite is skipped; this bounds the reader's
// own nesting to one level.
class Parser {
  public:
    Parser(SwfMovie& movie, ImageDecoder* decoder) : movie_(movie), decoder_(decoder) {}

    // Reads tags into `frames` until End or the end of the data; false when reading stops.
    bool Tags(BitReader& r, std::vector<SwfFrame>& frames, SwfStreamHead& stream, bool sprite) {
        SwfFrame current;
        while (r.Left() > 0) {
            if (r.Left() < 2) {
                movie_.truncated = true;
                break;
            }
            const std::uint16_t codeAndLength = r.U16();
            const int code = codeAndLength >> 6;
            std::uint32_t length = codeAndLength & 0x3F;
            if (length == 0x3F) length = r.U32();
            if (!r.Ok() || length > r.Left()) {
                movie_.truncated = true;
                break;
            }
            BitReader body = r.Sub(length);
            if (code == SwfTag::End) break;
            if (code == SwfTag::ShowFrame) {
                if (frames.size() >= kSwfMaxFrames) return false;
                frames.push_back(std::move(current));
                current = {};
            } else if (!Control(code, body, current, stream) && !sprite) {
                Definition(code, body);
            }
            if (Full()) return false;
        }
        return true;
    }

  private:
    std::u16string Text(const std::string& bytes) const {
        return movie_.version >= 6 ? Utf16FromUtf8(bytes) : Utf16FromLatin1(bytes);
    }

    bool Full() const { return records_ >= kSwfMaxRecords || budget_.edges > kSwfMaxEdges; }

    // Tags of a timeline; false for any other.
    bool Control(int code, BitReader& body, SwfFrame& frame, SwfStreamHead& stream) {
        switch (code) {
            case SwfTag::StartSound:
            case SwfTag::StartSound2:
                StartSound(body, code == SwfTag::StartSound2, frame);
                return true;
            case SwfTag::SoundStreamHead:
            case SwfTag::SoundStreamHead2:
                if (!stream.present) swf::ReadStreamHead(body, stream);
                return true;
            case SwfTag::SoundStreamBlock:
                if (stream.present && !frame.hasStreamBlock && TakeSoundBytes(body.Left())) {
                    frame.hasStreamBlock = true;
                    frame.streamBlock.assign(body.Here(), body.Here() + body.Left());
                }
                return true;
            case SwfTag::PlaceObject:
                PlaceObject(body, frame);
                return true;
            case SwfTag::PlaceObject2:
                PlaceObject2(body, frame, false);
                return true;
            case SwfTag::PlaceObject3:
                PlaceObject2(body, frame, true);
                return true;
            case SwfTag::RemoveObject:
                Remove(body, true, frame);
                return true;
            case SwfTag::RemoveObject2:
                Remove(body, false, frame);
                return true;
            case SwfTag::DoAction:
                if (budget_.actionBytes + body.Left() <= kSwfMaxActionBytes) {
                    budget_.actionBytes += body.Left();
                    frame.actions.emplace_back(body.Here(), body.Here() + body.Left());
                    ++records_;
                }
                return true;
            case SwfTag::FrameLabel: {
                const std::string label = body.String();
                if (body.Ok()) frame.label = Text(label);
                return true;
            }
            default:
                return false;
        }
    }

    // Takes the id; false when it is taken or there are too many.
    bool Claim(std::uint16_t id, SwfCharacterKind kind) {
        if (movie_.characters.count(id) || movie_.characters.size() >= kSwfMaxCharacters)
            return false;
        movie_.characters[id] = kind;
        return true;
    }

    void Definition(int code, BitReader& r) {
        switch (code) {
            case SwfTag::SetBackgroundColor:
                Background(r);
                return;
            case SwfTag::JPEGTables:
                if (jpegTables_.empty()) jpegTables_.assign(r.Here(), r.Here() + r.Left());
                return;
            case SwfTag::DefineEditText:
                EditText(r);
                return;
            case SwfTag::ExportAssets:
                Exports(r);
                return;
            default:
                break;
        }
        const std::uint16_t id = r.U16();
        if (code == SwfTag::DefineButtonSound) {
            SwfButtonSounds sounds;
            if (r.Ok() && swf::ReadButtonSounds(r, sounds) && !movie_.buttonSounds.count(id))
                movie_.buttonSounds[id] = sounds;
            return;
        }
        if (!r.Ok() || movie_.characters.count(id)) return;
        switch (code) {
            case SwfTag::DefineShape:
            case SwfTag::DefineShape2:
            case SwfTag::DefineShape3:
            case SwfTag::DefineShape4: {
                const int version = code == SwfTag::DefineShape    ? 1
                                    : code == SwfTag::DefineShape2 ? 2
                                    : code == SwfTag::DefineShape3 ? 3
                                                                   : 4;
                SwfShape shape;
                swf::ReadDefineShape(r, version, shape, budget_);  // what was read draws
                if (Claim(id, SwfCharacterKind::Shape)) movie_.shapes[id] = std::move(shape);
                return;
            }
            case SwfTag::DefineMorphShape:
            case SwfTag::DefineMorphShape2: {
                SwfMorphShape morph;
                const int version = code == SwfTag::DefineMorphShape ? 1 : 2;
                if (swf::ReadDefineMorphShape(r, version, morph, budget_) &&
                    Claim(id, SwfCharacterKind::MorphShape))
                    movie_.morphs[id] = std::move(morph);
                return;
            }
            case SwfTag::DefineBitsLossless:
            case SwfTag::DefineBitsLossless2: {
                SwfBitmap bitmap;
                const int version = code == SwfTag::DefineBitsLossless ? 1 : 2;
                if (swf::ReadDefineBitsLossless(r, version, bitmap, budget_) &&
                    Claim(id, SwfCharacterKind::Bitmap))
                    movie_.bitmaps[id] = std::move(bitmap);
                return;
            }
            case SwfTag::DefineBits:
            case SwfTag::DefineBitsJPEG2:
            case SwfTag::DefineBitsJPEG3: {
                if (!decoder_) return;
                SwfBitmap bitmap;
                if (swf::ReadDefineBitsJpeg(r, code == SwfTag::DefineBits ? &jpegTables_ : nullptr,
                                            code == SwfTag::DefineBitsJPEG3, *decoder_, bitmap,
                                            budget_) &&
                    Claim(id, SwfCharacterKind::Bitmap))
                    movie_.bitmaps[id] = std::move(bitmap);
                return;
            }
            case SwfTag::DefineFont:
            case SwfTag::DefineFont2:
            case SwfTag::DefineFont3: {
                SwfFont font;
                const bool read =
                    code == SwfTag::DefineFont
                        ? swf::ReadDefineFont(r, font, budget_)
                        : swf::ReadDefineFont2(r, code == SwfTag::DefineFont3, font, budget_);
                if (read && Claim(id, SwfCharacterKind::Font)) movie_.fonts[id] = std::move(font);
                return;
            }
            case SwfTag::DefineText:
            case SwfTag::DefineText2: {
                SwfText text;
                if (swf::ReadDefineText(r, code == SwfTag::DefineText2, text) &&
                    Claim(id, SwfCharacterKind::Text))
                    movie_.texts[id] = std::move(text);
                return;
            }
            case SwfTag::DefineButton:
            case SwfTag::DefineButton2: {
                SwfButton button;
                if (swf::ReadDefineButton(r, code == SwfTag::DefineButton ? 1 : 2, button,
                                          budget_) &&
                    Claim(id, SwfCharacterKind::Button))
                    movie_.buttons[id] = std::move(button);
                return;
            }
            case SwfTag::DefineSprite: {
                SwfSprite sprite;
                sprite.frameCount = r.U16();
                if (!r.Ok() || !Claim(id, SwfCharacterKind::Sprite)) return;
                Tags(r, sprite.frames, sprite.stream, true);
                movie_.sprites[id] = std::move(sprite);
                return;
            }
            case SwfTag::DefineSound: {
                SwfSound sound;
                if (swf::ReadDefineSound(r, sound) && TakeSoundBytes(sound.data.size()) &&
                    Claim(id, SwfCharacterKind::Sound))
                    movie_.sounds[id] = std::move(sound);
                return;
            }
            default:
                return;
        }
    }

    void StartSound(BitReader& r, bool byName, SwfFrame& frame) {
        SwfStartSound start;
        if (byName) {
            const auto it = exports_.find(r.String());
            if (!r.Ok() || it == exports_.end()) return;
            start.soundId = it->second;
        } else {
            start.soundId = r.U16();
        }
        if (!swf::ReadSoundInfo(r, start.info) || records_ >= kSwfMaxRecords) return;
        ++records_;
        frame.sounds.push_back(std::move(start));
    }

    void Exports(BitReader& r) {
        const std::uint16_t count = r.U16();
        for (int i = 0; i < count && r.Ok(); ++i) {
            const std::uint16_t id = r.U16();
            std::string name = r.String();
            if (r.Ok() && exports_.size() < kSwfMaxCharacters)
                exports_.emplace(std::move(name), id);
        }
    }

    bool TakeSoundBytes(std::size_t n) {
        if (soundBytes_ + n > kSwfMaxSoundBytes) return false;
        soundBytes_ += n;
        return true;
    }

    void EditText(BitReader& r) {
        const std::uint16_t id = r.U16();
        SwfEditText t;
        t.bounds = swf::ReadRect(r);
        const std::uint8_t f1 = r.U8();
        const std::uint8_t f2 = r.U8();
        const bool hasText = f1 & 0x80, hasColor = f1 & 0x04, hasMaxLength = f1 & 0x02,
                   hasFont = f1 & 0x01;
        const bool hasFontClass = f2 & 0x80, hasLayout = f2 & 0x20, html = f2 & 0x02;
        t.useOutlines = f2 & 0x01;
        if (hasFont) {
            t.hasFont = true;
            t.fontId = r.U16();
        }
        if (hasFontClass) r.String();
        if (hasFont || hasFontClass) t.fontHeight = r.U16();
        if (hasColor) {
            const Rgba c = swf::ReadRgba(r);
            t.color = Rgb{c.r, c.g, c.b};
            t.alpha = c.a;
        }
        if (hasMaxLength) r.U16();
        if (hasLayout) {
            t.align = r.U8();
            t.leftMargin = r.U16();
            t.rightMargin = r.U16();
            r.U16();
            t.leading = static_cast<std::int16_t>(r.U16());
        }
        t.variable = Text(r.String());
        if (hasText) {
            const std::string text = r.String();
            t.initialText = Text(html ? PlainFromHtml(text) : text);
        }
        if (r.Ok() && Claim(id, SwfCharacterKind::EditText)) movie_.editTexts[id] = std::move(t);
    }

    void SetMatrix(SwfPlace& p, const SwfMatrix& m) {
        p.hasMatrix = true;
        p.matrix = m;
        p.translateX = static_cast<std::int32_t>(m.tx);
        p.translateY = static_cast<std::int32_t>(m.ty);
    }

    void PlaceObject2(BitReader& r, SwfFrame& frame, bool third) {
        const std::uint8_t flags = r.U8();
        const std::uint8_t flags3 = third ? r.U8() : 0;
        SwfPlace p;
        p.depth = r.U16();
        if (third && (flags3 & 0x08)) r.String();  // class name
        p.hasCharacter = flags & 0x02;
        const bool move = flags & 0x01;
        if (!move && !p.hasCharacter) return;
        p.kind = move ? SwfPlace::Modify : SwfPlace::Place;
        if (p.hasCharacter) p.characterId = r.U16();
        if (flags & 0x04) SetMatrix(p, swf::ReadMatrix(r));
        if (flags & 0x08) {
            p.hasCxform = true;
            p.cxform = swf::ReadCxform(r, true);
        }
        if (flags & 0x10) {
            p.hasRatio = true;
            p.ratio = r.U16();
        }
        if (flags & 0x20) {
            p.hasName = true;
            p.name = Text(r.String());
        }
        if (flags & 0x40) {
            p.hasClipDepth = true;
            p.clipDepth = r.U16();
        }
        if (!r.Ok()) return;
        // Filters, blend mode and clip actions come last; what they hide is not drawn.
        if (third && (flags3 & 0x01) && !swf::SkipFilters(r)) return Add(std::move(p), frame);
        if (third && (flags3 & 0x02)) {
            p.blendMode = r.U8();
            if (!r.Ok()) p.blendMode = 0;
            if (p.blendMode > 1) movie_.otherBlendModes = true;
        }
        Add(std::move(p), frame);
    }

    void PlaceObject(BitReader& r, SwfFrame& frame) {
        SwfPlace p;
        p.kind = SwfPlace::Place;
        p.hasCharacter = true;
        p.characterId = r.U16();
        p.depth = r.U16();
        SetMatrix(p, swf::ReadMatrix(r));
        if (!r.Ok()) return;
        if (r.Left() > 0) {
            BitReader rest = r.Sub(r.Left());
            const SwfCxform c = swf::ReadCxform(rest, false);
            if (rest.Ok()) {
                p.hasCxform = true;
                p.cxform = c;
            }
        }
        Add(std::move(p), frame);
    }

    void Remove(BitReader& r, bool withCharacter, SwfFrame& frame) {
        SwfPlace p;
        p.kind = SwfPlace::Remove;
        if (withCharacter) r.U16();
        p.depth = r.U16();
        if (r.Ok()) Add(std::move(p), frame);
    }

    void Background(BitReader& r) {
        Rgb c;
        c.r = r.U8();
        c.g = r.U8();
        c.b = r.U8();
        if (r.Ok() && !movie_.hasBackground) {
            movie_.background = c;
            movie_.hasBackground = true;
        }
    }

    void Add(SwfPlace p, SwfFrame& frame) {
        frame.places.push_back(std::move(p));
        ++records_;
    }

    SwfMovie& movie_;
    ImageDecoder* decoder_;
    swf::Budget budget_;
    std::vector<std::uint8_t> jpegTables_;
    std::size_t records_ = 0;
    std::size_t soundBytes_ = 0;
    std::map<std::string, std::uint16_t> exports_;  // names that StartSound2 starts sounds by
};

bool ReadFws(const std::uint8_t* data, std::size_t size, SwfMovie& movie, ImageDecoder* decoder) {
    BitReader r(data, size);
    r.Skip(3);
    movie.version = r.U8();
    movie.fileLength = r.U32();
    movie.stage = swf::ReadRect(r);
    movie.frameRate = r.U16();
    movie.frameCount = r.U16();
    if (!r.Ok()) return false;
    Parser parser(movie, decoder);
    parser.Tags(r, movie.frames, movie.stream, false);
    return true;
}

}  // namespace

bool ReadSwf(const std::uint8_t* data, std::size_t size, SwfMovie& movie, ImageDecoder* decoder) {
    movie = {};
    if (size < 8 || data[1] != 'W' || data[2] != 'S') return false;
    if (data[0] == 'F') return ReadFws(data, size, movie, decoder);
    if (data[0] != 'C') return false;
    try {
        MemoryStream source(std::vector<std::uint8_t>(data, data + size));
        const MovieBytes fws = ReadMovie(source);
        return ReadFws(fws.Data(), fws.Length(), movie, decoder);
    } catch (const MovieError&) {
        return false;
    }
}
