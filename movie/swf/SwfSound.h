#pragma once
// Sounds as a movie holds them: event sounds by id, what starts them, and each timeline's stream.
#include <cstdint>
#include <vector>

#include "SoundFormat.h"
#include "SoundInfo.h"

struct SwfSound {
    SoundFormat format;
    std::uint32_t sampleCount = 0;  // frames of the whole sound
    std::vector<std::uint8_t> data;
};

struct SwfStartSound {
    std::uint16_t soundId = 0;
    SoundPlayInfo info;
};

// A timeline's stream sound: the format of its blocks, one block a frame.
struct SwfStreamHead {
    bool present = false;
    SoundFormat playback, stream;
    std::uint16_t samplesPerFrame = 0;  // on average
    std::int16_t latencySeek = 0;       // MP3 only
};

// The sounds of a button's transitions; a zero id plays none.
struct SwfButtonSounds {
    enum { OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp, Count };
    SwfStartSound transitions[Count];
};
