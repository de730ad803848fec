#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SwfCharacters.h"
#include "SwfSound.h"

class ImageDecoder;

// What the built-in movie control reads of a SWF movie: the header, the background colour, the
// characters (shapes, morph shapes, bitmaps, fonts, texts, edit texts, buttons, sprites, sounds),
// and each timeline's frames with their display-list changes, labels, action bytes, the event
// sounds they start and their stream sound's blocks. Everything else is skipped.

namespace SwfTag {
constexpr int End = 0;
constexpr int ShowFrame = 1;
constexpr int DefineShape = 2;
constexpr int PlaceObject = 4;
constexpr int RemoveObject = 5;
constexpr int DefineBits = 6;
constexpr int DefineButton = 7;
constexpr int JPEGTables = 8;
constexpr int SetBackgroundColor = 9;
constexpr int DefineFont = 10;
constexpr int DefineText = 11;
constexpr int DoAction = 12;
constexpr int DefineSound = 14;
constexpr int StartSound = 15;
constexpr int DefineButtonSound = 17;
constexpr int SoundStreamHead = 18;
constexpr int SoundStreamBlock = 19;
constexpr int DefineBitsLossless = 20;
constexpr int DefineBitsJPEG2 = 21;
constexpr int DefineShape2 = 22;
constexpr int PlaceObject2 = 26;
constexpr int RemoveObject2 = 28;
constexpr int DefineShape3 = 32;
constexpr int DefineText2 = 33;
constexpr int DefineButton2 = 34;
constexpr int DefineBitsJPEG3 = 35;
constexpr int DefineBitsLossless2 = 36;
constexpr int DefineEditText = 37;
constexpr int DefineSprite = 39;
constexpr int FrameLabel = 43;
constexpr int SoundStreamHead2 = 45;
constexpr int DefineMorphShape = 46;
constexpr int DefineFont2 = 48;
constexpr int ExportAssets = 56;
constexpr int PlaceObject3 = 70;
constexpr int DefineFont3 = 75;
constexpr int DefineShape4 = 83;
constexpr int DefineMorphShape2 = 84;
constexpr int StartSound2 = 89;
}  // namespace SwfTag

// One change of the display list.
struct SwfPlace {
    enum Kind { Place, Modify, Remove } kind = Place;
    std::uint16_t depth = 0;
    bool hasCharacter = false;
    std::uint16_t characterId = 0;
    bool hasMatrix = false;
    SwfMatrix matrix;
    std::int32_t translateX = 0, translateY = 0;  // twips, the matrix's translation
    bool hasCxform = false;
    SwfCxform cxform;
    bool hasRatio = false;
    std::uint16_t ratio = 0;
    bool hasName = false;
    std::u16string name;
    bool hasClipDepth = false;
    std::uint16_t clipDepth = 0;
    std::uint8_t blendMode = 0;  // 0 and 1 are normal; others are drawn as normal
};

struct SwfFrame {
    std::vector<SwfPlace> places;
    std::vector<std::vector<std::uint8_t>> actions;  // each DoAction's records, in order
    std::u16string label;
    std::vector<SwfStartSound> sounds;  // event sounds started (or stopped) here
    bool hasStreamBlock = false;
    std::vector<std::uint8_t> streamBlock;  // the timeline's stream for this frame
};

struct SwfSprite {
    std::uint16_t frameCount = 0;
    std::vector<SwfFrame> frames;
    SwfStreamHead stream;
};

enum class SwfCharacterKind : std::uint8_t {
    Shape,
    MorphShape,
    Bitmap,
    Font,
    Text,
    EditText,
    Button,
    Sprite,
    Sound
};

struct SwfMovie {
    std::uint8_t version = 0;
    std::uint32_t fileLength = 0;
    SwfRect stage;
    std::uint16_t frameRate = 0;   // 8.8 fixed point
    std::uint16_t frameCount = 0;  // as the header says; `frames` holds what the movie has
    bool hasBackground = false;
    Rgb background;

    std::map<std::uint16_t, SwfCharacterKind> characters;  // the first definition of an id wins
    std::map<std::uint16_t, SwfShape> shapes;
    std::map<std::uint16_t, SwfMorphShape> morphs;
    std::map<std::uint16_t, SwfBitmap> bitmaps;
    std::map<std::uint16_t, SwfFont> fonts;
    std::map<std::uint16_t, SwfText> texts;
    std::map<std::uint16_t, SwfEditText> editTexts;
    std::map<std::uint16_t, SwfButton> buttons;
    std::map<std::uint16_t, SwfSprite> sprites;
    std::map<std::uint16_t, SwfSound> sounds;
    std::map<std::uint16_t, SwfButtonSounds> buttonSounds;

    std::vector<SwfFrame> frames;  // each ended by a ShowFrame
    SwfStreamHead stream;          // of the main timeline
    bool truncated = false;        // a tag ran past the end of the data; what came before stays
    bool otherBlendModes = false;  // a placement asked for a blend mode drawn here as normal

    double FramesPerSecond() const { return frameRate / 256.0; }
};

// Limits that keep a hostile movie from turning a small file into a large model.
constexpr std::size_t kSwfMaxFrames = 65535;
constexpr std::size_t kSwfMaxRecords = 1u << 20;       // places and action bytes' blocks overall
constexpr std::size_t kSwfMaxCharacters = 1u << 16;    // every id once
constexpr std::size_t kSwfMaxEdges = 1u << 22;         // edges of every shape, glyph and morph
constexpr std::size_t kSwfMaxStyles = 1u << 16;        // fill and line styles of one shape
constexpr std::size_t kSwfMaxBitmapPixels = 1u << 24;  // one bitmap
constexpr std::size_t kSwfMaxBitmapPixelsTotal = 1u << 25;  // all bitmaps of a movie
constexpr std::size_t kSwfMaxActionBytes = 1u << 24;        // all action bytes of a movie
constexpr std::size_t kSwfMaxSoundBytes = 1u << 26;         // sounds and stream blocks

// Reads a plain ("FWS") or compressed ("CWS") movie. False when the data is no movie at all: a
// wrong signature, a header cut short, compressed data that cannot be inflated. JPEG, PNG and
// GIF pictures go through `decoder`; without one, those bitmaps are left out.
bool ReadSwf(const std::uint8_t* data, std::size_t size, SwfMovie& movie,
             ImageDecoder* decoder = nullptr);
