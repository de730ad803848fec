#pragma once
// Buttons: the characters of each state and the actions of each transition.
#include "SwfRecords.h"

namespace swf {

// The body of DefineButton (`version` 1) or DefineButton2 (2) after the character id.
bool ReadDefineButton(BitReader& r, int version, SwfButton& button, Budget& budget);

}  // namespace swf
