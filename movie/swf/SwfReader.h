#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What the built-in movie control understands of a SWF movie: the header, the background colour,
// edit texts and their placement, frames, and the Stop, Play and FSCommand actions. Everything
// else is skipped.

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct SwfRect {  // twips
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

namespace SwfTag {
constexpr int End = 0;
constexpr int ShowFrame = 1;
constexpr int PlaceObject = 4;
constexpr int RemoveObject = 5;
constexpr int SetBackgroundColor = 9;
constexpr int DoAction = 12;
constexpr int PlaceObject2 = 26;
constexpr int RemoveObject2 = 28;
constexpr int DefineEditText = 37;
}  // namespace SwfTag

struct SwfEditText {
    SwfRect bounds;
    Rgb color;                       // black unless the field gives one
    std::uint16_t fontHeight = 240;  // twips
    std::uint8_t align = 0;          // 0 left, 1 right, 2 centre, 3 justify
    std::uint16_t leftMargin = 0, rightMargin = 0;
    std::int16_t leading = 0;
    std::u16string variable;     // bound variable, as written in the movie
    std::u16string initialText;  // markup already taken out of an HTML field
};

// One change of the display list.
struct SwfPlace {
    enum Kind { Place, Modify, Remove } kind = Place;
    std::uint16_t depth = 0;
    bool hasCharacter = false;
    std::uint16_t characterId = 0;
    bool hasMatrix = false;
    std::int32_t translateX = 0, translateY = 0;  // twips
};

struct SwfAction {
    enum Kind { Stop, Play, FSCommand } kind = Stop;
    std::u16string command, args;  // FSCommand: the text after "FSCommand:" and the target
};

struct SwfFrame {
    std::vector<SwfPlace> places;
    std::vector<SwfAction> actions;
};

struct SwfMovie {
    std::uint8_t version = 0;
    std::uint32_t fileLength = 0;
    SwfRect stage;
    std::uint16_t frameRate = 0;   // 8.8 fixed point
    std::uint16_t frameCount = 0;  // as the header says; `frames` holds what the movie has
    bool hasBackground = false;
    Rgb background;
    std::map<std::uint16_t, SwfEditText> editTexts;
    std::vector<SwfFrame> frames;  // each ended by a ShowFrame
    bool truncated = false;        // a tag ran past the end of the data; what came before stays

    double FramesPerSecond() const { return frameRate / 256.0; }
};

// Limits that keep a hostile movie from turning a small file into a large model.
constexpr std::size_t kSwfMaxFrames = 65535;
constexpr std::size_t kSwfMaxRecords = 1u << 20;  // places and actions over the whole movie

// Reads a plain ("FWS") or compressed ("CWS") movie. False when the data is no movie at all: a
// wrong signature, a header cut short, compressed data that cannot be inflated.
bool ReadSwf(const std::uint8_t* data, std::size_t size, SwfMovie& movie);
