#pragma once
#include <memory>

#include "Uflashvol.h"

// waveOutOpen, waveOutWrite and waveOutClose of winmm.dll redirected through the sound routines,
// for every caller in the process. One set for the process, shared by whoever holds it; the
// functions get their own bytes back when the last holder lets go.
std::shared_ptr<WaveOutInterception> HookWaveOut();
