#pragma once
// How an event sound plays: its start and stop rules, the part that plays, how often, and its
// loudness over time.
#include <cstdint>
#include <vector>

// Levels run from 0 (silent) to 32768 (as recorded).
struct SoundEnvelopePoint {
    std::uint32_t pos44 = 0;  // in samples at 44 100 Hz from the start of the playing
    std::uint16_t left = 32768, right = 32768;
};

struct SoundPlayInfo {
    bool syncStop = false;    // stops the sound instead of starting it
    bool noMultiple = false;  // not started again while it plays
    bool hasIn = false, hasOut = false;
    std::uint32_t inPoint = 0, outPoint = 0;  // in samples at 44 100 Hz of the sound
    std::uint16_t loops = 1;                  // plays of the part; 0 plays it once
    std::vector<SoundEnvelopePoint> envelope;
};
