#pragma once
// Shapes and morph shapes: styles, style changes and edges into the paths of SwfShape.
#include "SwfRecords.h"

namespace swf {

// The body of DefineShape 1-4 after the character id; `version` is 1 to 4.
bool ReadDefineShape(BitReader& r, int version, SwfShape& shape, Budget& budget);
// A SHAPE without style arrays (font glyphs): one fill style, no line styles.
bool ReadGlyphShape(BitReader& r, SwfShape& shape, Budget& budget);
// The body of DefineMorphShape 1-2 after the character id; `version` is 1 or 2.
bool ReadDefineMorphShape(BitReader& r, int version, SwfMorphShape& morph, Budget& budget);

}  // namespace swf
