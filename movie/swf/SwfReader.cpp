#include "SwfReader.h"

#include "LittleEndian.h"
#include "MovieImage.h"
#include "Utf16.h"

namespace {

// The byte fields of le::Reader, and the bit fields of SWF records.
class Reader : public le::Reader {
  public:
    using le::Reader::Reader;

    // A reader over the next `n` bytes, which this one skips.
    Reader Sub(std::size_t n) {
        const std::size_t take = n <= Left() ? n : Left();
        Reader r(Here(), take);
        if (take < n) r.ok_ = false;
        Skip(n);
        return r;
    }

    // Byte fields start at a fresh byte.
    std::uint8_t U8() {
        bits_ = 0;
        return le::Reader::U8();
    }
    std::uint16_t U16() {
        bits_ = 0;
        return le::Reader::U16();
    }
    std::uint32_t U32() {
        bits_ = 0;
        return le::Reader::U32();
    }
    void Skip(std::size_t n) {
        bits_ = 0;
        le::Reader::Skip(n);
    }
    // A zero-terminated string; one without its terminator fails.
    std::string String() {
        bits_ = 0;
        std::string s;
        while (pos_ < end_ && data_[pos_] != 0) s.push_back(static_cast<char>(data_[pos_++]));
        if (pos_ >= end_) {
            ok_ = false;
            return s;
        }
        ++pos_;
        return s;
    }

    std::uint32_t UBits(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            if (bits_ == 0) {
                if (pos_ >= end_) {
                    ok_ = false;
                    return 0;
                }
                byte_ = data_[pos_++];
                bits_ = 8;
            }
            --bits_;
            v = v << 1 | ((byte_ >> bits_) & 1u);
        }
        return v;
    }
    std::int32_t SBits(int n) {
        if (n == 0) return 0;
        const std::uint32_t v = UBits(n);
        if (n < 32 && (v & (1u << (n - 1)))) return static_cast<std::int32_t>(v | ~((1u << n) - 1));
        return static_cast<std::int32_t>(v);
    }
    // The next byte-aligned read starts at a fresh byte.
    void Align() { bits_ = 0; }

  private:
    std::uint8_t byte_ = 0;
    int bits_ = 0;
};

SwfRect ReadRect(Reader& r) {
    const int n = static_cast<int>(r.UBits(5));
    SwfRect rect;
    rect.xMin = r.SBits(n);
    rect.xMax = r.SBits(n);
    rect.yMin = r.SBits(n);
    rect.yMax = r.SBits(n);
    r.Align();
    return rect;
}

// The translation of a MATRIX record; scale and rotation are read past.
void ReadMatrix(Reader& r, SwfPlace& place) {
    if (r.UBits(1)) {
        const int n = static_cast<int>(r.UBits(5));
        r.UBits(n);
        r.UBits(n);
    }
    if (r.UBits(1)) {
        const int n = static_cast<int>(r.UBits(5));
        r.UBits(n);
        r.UBits(n);
    }
    const int n = static_cast<int>(r.UBits(5));
    place.translateX = r.SBits(n);
    place.translateY = r.SBits(n);
    place.hasMatrix = true;
    r.Align();
}

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

class Parser {
  public:
    explicit Parser(SwfMovie& movie) : movie_(movie) {}

    std::u16string Text(const std::string& bytes) const {
        return movie_.version >= 6 ? Utf16FromUtf8(bytes) : Utf16FromLatin1(bytes);
    }

    void EditText(Reader r) {
        const std::uint16_t id = r.U16();
        SwfEditText t;
        t.bounds = ReadRect(r);
        const std::uint8_t f1 = r.U8();
        const std::uint8_t f2 = r.U8();
        const bool hasText = f1 & 0x80, hasColor = f1 & 0x04, hasMaxLength = f1 & 0x02,
                   hasFont = f1 & 0x01;
        const bool hasFontClass = f2 & 0x80, hasLayout = f2 & 0x20, html = f2 & 0x02;
        if (hasFont) r.U16();
        if (hasFontClass) r.String();
        if (hasFont || hasFontClass) t.fontHeight = r.U16();
        if (hasColor) {
            t.color.r = r.U8();
            t.color.g = r.U8();
            t.color.b = r.U8();
            r.U8();
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
        if (r.Ok()) movie_.editTexts[id] = std::move(t);
    }

    void PlaceObject2(Reader r) {
        const std::uint8_t flags = r.U8();
        SwfPlace p;
        p.depth = r.U16();
        p.hasCharacter = flags & 0x02;
        const bool move = flags & 0x01;
        if (!move && !p.hasCharacter) return;
        p.kind = move ? SwfPlace::Modify : SwfPlace::Place;
        if (p.hasCharacter) p.characterId = r.U16();
        if (flags & 0x04) ReadMatrix(r, p);
        if (r.Ok()) Add(std::move(p));
    }

    void PlaceObject(Reader r) {
        SwfPlace p;
        p.kind = SwfPlace::Place;
        p.hasCharacter = true;
        p.characterId = r.U16();
        p.depth = r.U16();
        ReadMatrix(r, p);
        if (r.Ok()) Add(std::move(p));
    }

    void Remove(Reader r, bool withCharacter) {
        SwfPlace p;
        p.kind = SwfPlace::Remove;
        if (withCharacter) r.U16();
        p.depth = r.U16();
        if (r.Ok()) Add(std::move(p));
    }

    void DoAction(Reader r) {
        while (r.Left() > 0 && records_ < kSwfMaxRecords) {
            const std::uint8_t code = r.U8();
            if (code == 0) break;
            std::uint16_t length = 0;
            if (code >= 0x80) length = r.U16();
            Reader body = r.Sub(length);
            if (!r.Ok()) break;
            SwfAction a;
            if (code == 0x07) {
                a.kind = SwfAction::Stop;
            } else if (code == 0x06) {
                a.kind = SwfAction::Play;
            } else if (code == 0x83) {
                const std::string url = body.String();
                const std::string target = body.String();
                if (!body.Ok() || !EqualsIgnoringCase(url, 0, "FSCommand:")) continue;
                a.kind = SwfAction::FSCommand;
                a.command = Text(url.substr(10));
                a.args = Text(target);
            } else {
                continue;
            }
            current_.actions.push_back(std::move(a));
            ++records_;
        }
    }

    void Background(Reader r) {
        Rgb c;
        c.r = r.U8();
        c.g = r.U8();
        c.b = r.U8();
        if (r.Ok() && !movie_.hasBackground) {
            movie_.background = c;
            movie_.hasBackground = true;
        }
    }

    // False when the movie is to be read no further.
    bool ShowFrame() {
        if (movie_.frames.size() >= kSwfMaxFrames) return false;
        movie_.frames.push_back(std::move(current_));
        current_ = {};
        return true;
    }

    bool Full() const { return records_ >= kSwfMaxRecords; }

  private:
    void Add(SwfPlace p) {
        current_.places.push_back(std::move(p));
        ++records_;
    }

    SwfMovie& movie_;
    SwfFrame current_;
    std::size_t records_ = 0;
};

bool ReadFws(const std::uint8_t* data, std::size_t size, SwfMovie& movie) {
    Reader r(data, size);
    r.Skip(3);
    movie.version = r.U8();
    movie.fileLength = r.U32();
    movie.stage = ReadRect(r);
    movie.frameRate = r.U16();
    movie.frameCount = r.U16();
    if (!r.Ok()) return false;

    Parser parser(movie);
    while (r.Left() > 0) {
        if (r.Left() < 2) {
            movie.truncated = true;
            break;
        }
        const std::uint16_t codeAndLength = r.U16();
        const int code = codeAndLength >> 6;
        std::uint32_t length = codeAndLength & 0x3F;
        if (length == 0x3F) length = r.U32();
        if (!r.Ok() || length > r.Left()) {
            movie.truncated = true;
            break;
        }
        Reader body = r.Sub(length);
        if (code == SwfTag::End) break;
        switch (code) {
            case SwfTag::ShowFrame:
                if (!parser.ShowFrame()) return true;
                break;
            case SwfTag::SetBackgroundColor:
                parser.Background(body);
                break;
            case SwfTag::DoAction:
                parser.DoAction(body);
                break;
            case SwfTag::DefineEditText:
                parser.EditText(body);
                break;
            case SwfTag::PlaceObject:
                parser.PlaceObject(body);
                break;
            case SwfTag::PlaceObject2:
                parser.PlaceObject2(body);
                break;
            case SwfTag::RemoveObject:
                parser.Remove(body, true);
                break;
            case SwfTag::RemoveObject2:
                parser.Remove(body, false);
                break;
            default:
                break;
        }
        if (parser.Full()) break;
    }
    return true;
}

}  // namespace

bool ReadSwf(const std::uint8_t* data, std::size_t size, SwfMovie& movie) {
    movie = {};
    if (size < 8 || data[1] != 'W' || data[2] != 'S') return false;
    if (data[0] == 'F') return ReadFws(data, size, movie);
    if (data[0] != 'C') return false;
    try {
        MemoryStream source(std::vector<std::uint8_t>(data, data + size));
        const MovieBytes fws = ReadMovie(source);
        return ReadFws(fws.Data(), fws.Length(), movie);
    } catch (const MovieError&) {
        return false;
    }
}
