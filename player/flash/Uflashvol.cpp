#include "Uflashvol.h"

std::atomic<std::int32_t> TFlashVolume::factor_{100};

TFlashVolume::TFlashVolume() {
    factor_ = 100;
}

void TFlashVolume::SetVolume(std::int32_t volume) {
    if (volume > 100) volume = 100;
    if (volume < 0) volume = 0;
    if (volume == volume_) return;
    volume_ = volume;
    factor_ = volume;
}

void TFlashVolume::SetMute(bool mute) {
    if (mute == mute_) return;
    mute_ = mute;
    factor_ = mute ? 0 : volume_;
}
