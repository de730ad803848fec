// ReadSwf on any bytes. Besides not crashing: only the two signatures are movies, a plain one
// with its whole header is read, the limits hold, a plain movie and its compressed form read
// alike, and a movie cut short keeps the frames that came before the cut.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "SwfReader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

bool Same(const SwfRect& a, const SwfRect& b) {
    return a.xMin == b.xMin && a.xMax == b.xMax && a.yMin == b.yMin && a.yMax == b.yMax;
}

bool Same(const SwfEditText& a, const SwfEditText& b) {
    return Same(a.bounds, b.bounds) && a.color == b.color && a.fontHeight == b.fontHeight &&
           a.align == b.align && a.leftMargin == b.leftMargin && a.rightMargin == b.rightMargin &&
           a.leading == b.leading && a.variable == b.variable && a.initialText == b.initialText;
}

bool Same(const SwfFrame& a, const SwfFrame& b) {
    if (a.places.size() != b.places.size() || a.actions.size() != b.actions.size()) return false;
    for (std::size_t i = 0; i < a.places.size(); ++i) {
        const SwfPlace &p = a.places[i], &q = b.places[i];
        if (p.kind != q.kind || p.depth != q.depth || p.hasCharacter != q.hasCharacter ||
            p.characterId != q.characterId || p.hasMatrix != q.hasMatrix ||
            p.translateX != q.translateX || p.translateY != q.translateY)
            return false;
    }
    return a.actions == b.actions && a.label == b.label;
}

bool SameHeader(const SwfMovie& a, const SwfMovie& b) {
    return a.version == b.version && a.fileLength == b.fileLength && Same(a.stage, b.stage) &&
           a.frameRate == b.frameRate && a.frameCount == b.frameCount;
}

bool Same(const SwfMovie& a, const SwfMovie& b) {
    if (!SameHeader(a, b) || a.hasBackground != b.hasBackground || a.background != b.background ||
        a.truncated != b.truncated || a.editTexts.size() != b.editTexts.size() ||
        a.frames.size() != b.frames.size())
        return false;
    for (auto i = a.editTexts.begin(), j = b.editTexts.begin(); i != a.editTexts.end(); ++i, ++j)
        if (i->first != j->first || !Same(i->second, j->second)) return false;
    for (std::size_t i = 0; i < a.frames.size(); ++i)
        if (!Same(a.frames[i], b.frames[i])) return false;
    return true;
}

void CheckLimits(const SwfMovie& m) {
    FUZZ_CHECK(m.frames.size() <= kSwfMaxFrames);
    std::size_t records = 0;
    for (const SwfFrame& f : m.frames) records += f.places.size() + f.actions.size();
    FUZZ_CHECK(records <= kSwfMaxRecords);
}

// The "CWS" form of a plain movie whose length field is its size.
Bytes Compress(const Bytes& plain) {
    uLongf room = compressBound(static_cast<uLong>(plain.size() - 8));
    Bytes out(8 + room);
    out[0] = 'C';
    std::copy(plain.begin() + 1, plain.begin() + 8, out.begin() + 1);
    const int z = compress(out.data() + 8, &room, plain.data() + 8, plain.size() - 8);
    FUZZ_CHECK(z == Z_OK);
    out.resize(8 + room);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SwfMovie movie;
    const bool read = ReadSwf(data, size, movie);
    const bool isMovie =
        size >= 3 && (data[0] == 'F' || data[0] == 'C') && data[1] == 'W' && data[2] == 'S';
    if (!isMovie) FUZZ_CHECK(!read);
    // A plain movie is refused only for a header cut short: signature, version, length, the
    // stage rectangle (five bits of field size, four fields), frame rate and frame count.
    if (isMovie && data[0] == 'F') {
        const std::size_t header = size < 9 ? 9 : 8 + (5 + 4 * (data[8] >> 3) + 7) / 8 + 4;
        FUZZ_CHECK(read == (size >= header));
    }
    if (read) CheckLimits(movie);
    if (size < 8 || data[0] != 'F' || !isMovie) return 0;

    // The plain movie with its length field made true, so that its compressed form says the same.
    Bytes plain(data, data + size);
    for (int i = 0; i < 4; ++i) plain[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    SwfMovie fromPlain, fromCompressed;
    const bool plainRead = ReadSwf(plain.data(), plain.size(), fromPlain);
    const Bytes compressed = Compress(plain);
    FUZZ_CHECK(ReadSwf(compressed.data(), compressed.size(), fromCompressed) == plainRead);
    if (plainRead) FUZZ_CHECK(Same(fromPlain, fromCompressed));

    // A cut somewhere after the signature: the frames before it are the whole movie's first ones.
    const std::size_t cut = 3 + (size - 3) * data[size - 1] / 256;
    SwfMovie head;
    const bool headRead = ReadSwf(data, cut, head);
    if (!read) FUZZ_CHECK(!headRead);
    if (!headRead) return 0;
    CheckLimits(head);
    FUZZ_CHECK(SameHeader(head, movie));
    FUZZ_CHECK(head.frames.size() <= movie.frames.size());
    for (std::size_t i = 0; i < head.frames.size(); ++i)
        FUZZ_CHECK(Same(head.frames[i], movie.frames[i]));
    if (head.hasBackground) FUZZ_CHECK(movie.hasBackground && head.background == movie.background);
    return 0;
}
