#pragma once
#include "SwfBits.h"
#include "SwfSound.h"

namespace swf {

// SOUNDINFO; false when it is cut short.
bool ReadSoundInfo(BitReader& r, SoundPlayInfo& info);
// The fields of DefineSound after its id, the data included.
bool ReadDefineSound(BitReader& r, SwfSound& sound);
// SoundStreamHead and SoundStreamHead2 alike.
bool ReadStreamHead(BitReader& r, SwfStreamHead& head);
// DefineButtonSound after its button id.
bool ReadButtonSounds(BitReader& r, SwfButtonSounds& sounds);

}  // namespace swf
