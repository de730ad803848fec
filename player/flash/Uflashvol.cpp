#include "Uflashvol.h"

#include <atomic>
#include <utility>

#include "WaveScale.h"

namespace {

// One copy for the process, read by audio threads. The channel count and the sample size sit in
// one word, so that a write never scales with the one of one output and the other of another.
std::atomic<std::int32_t> factor{100};
std::atomic<std::uint32_t> format{0};  // channels << 16 | bits per sample
std::atomic<TFlashOnAudioOutputOpen> onOpen{nullptr};
std::atomic<TFlashOnAudioOutputWrite> onWrite{nullptr};
std::atomic<TFlashOnAudioOutputClose> onClose{nullptr};

template <typename Handler, typename... Args>
void Raise(const std::atomic<Handler>& handler, Args... args) noexcept {
    if (const Handler h = handler.load(std::memory_order_acquire)) {
        try {
            h(args...);
        } catch (...) {
            // A handler's error must not keep the sound from the device.
        }
    }
}

}  // namespace

TFlashVolume::TFlashVolume(std::shared_ptr<WaveOutInterception> interception)
    : interception_(std::move(interception)) {
    factor = 100;
}

void TFlashVolume::SetVolume(std::int32_t volume) {
    if (volume > 100) volume = 100;
    if (volume < 0) volume = 0;
    if (volume == volume_) return;
    volume_ = volume;
    factor = volume;
}

void TFlashVolume::SetMute(bool mute) {
    if (mute == mute_) return;
    mute_ = mute;
    factor = mute ? 0 : volume_;
}

TFlashOnAudioOutputOpen TFlashVolume::OnAudioOutputOpen() const {
    return onOpen;
}
void TFlashVolume::SetOnAudioOutputOpen(TFlashOnAudioOutputOpen handler) {
    onOpen = handler;
}
TFlashOnAudioOutputWrite TFlashVolume::OnAudioOutputWrite() const {
    return onWrite;
}
void TFlashVolume::SetOnAudioOutputWrite(TFlashOnAudioOutputWrite handler) {
    onWrite = handler;
}
TFlashOnAudioOutputClose TFlashVolume::OnAudioOutputClose() const {
    return onClose;
}
void TFlashVolume::SetOnAudioOutputClose(TFlashOnAudioOutputClose handler) {
    onClose = handler;
}

std::int32_t TFlashVolume::ScaleFactor() {
    return factor.load(std::memory_order_relaxed);
}

namespace flashvol {

void RaiseOutputOpen(const void* lpFormat) noexcept {
    Raise(onOpen, lpFormat);
}

void KeepOutputFormat(std::uint16_t channels, std::uint16_t bitsPerSample) noexcept {
    if (bitsPerSample != 0)
        format.store(std::uint32_t{channels} << 16 | bitsPerSample, std::memory_order_relaxed);
}

void RaiseOutputWrite(void* lpWaveOutHdr, std::uint32_t uSize) noexcept {
    Raise(onWrite, lpWaveOutHdr, uSize);
}

void ScaleOutputBuffer(void* data, std::uint32_t length) noexcept {
    const std::uint32_t kept = format.load(std::memory_order_relaxed);
    ScaleSamples(data, length, kept >> 16, factor.load(std::memory_order_relaxed), kept & 0xFFFF);
}

void RaiseOutputClose() noexcept {
    Raise(onClose);
}

}  // namespace flashvol
