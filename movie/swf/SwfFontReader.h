#pragma once
// Fonts with their glyph shapes, and static texts that draw with them.
#include "SwfRecords.h"

namespace swf {

// The body of DefineFont after the font id.
bool ReadDefineFont(BitReader& r, SwfFont& font, Budget& budget);
// The body of DefineFont2 or DefineFont3 after the font id.
bool ReadDefineFont2(BitReader& r, bool font3, SwfFont& font, Budget& budget);
// The body of DefineText or DefineText2 (`withAlpha`) after the character id.
bool ReadDefineText(BitReader& r, bool withAlpha, SwfText& text);

}  // namespace swf
