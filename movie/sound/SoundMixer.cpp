#include "SoundMixer.h"

#include <algorithm>
#include <cmath>

namespace {
// A stream drops what it has played once this much gathered, so its buffer stays small.
constexpr std::size_t kStreamKeep = 8192;
}  // namespace

struct SoundMixer::VoiceState {
    Voice id = 0;
    std::uint16_t soundId = 0;
    // An event sound plays the part [begin, end) of its frames, `loops` times.
    std::shared_ptr<const PcmSound> sound;
    SoundPlayInfo info;
    std::size_t begin = 0, end = 0;
    unsigned loopsLeft = 1;
    // A stream: the frames fetched but not yet played through.
    std::unique_ptr<SoundFeed> feed;
    std::vector<std::int16_t> buffer;
    bool feedEnded = false;

    const std::int16_t* samples = nullptr;  // the sound's or the buffer's
    std::size_t frameCount = 0;
    int channels = 1;
    double step = 1;  // source frames per output frame
    double pos = 0;   // source frame
    std::uint64_t startOut = 0, produced = 0;
    bool done = false;

    void Refresh() {
        if (feed) {
            samples = buffer.data();
            frameCount = buffer.size() / static_cast<std::size_t>(channels);
        }
    }

    // Whether frame `i` (and the one after it, for streams) can be read; fetches stream blocks.
    bool Ensure(std::size_t i) {
        if (!feed) return i < end;
        while (!feedEnded && i + 1 >= frameCount) {
            if (buffer.size() >= kStreamKeep * 2 && pos >= kStreamKeep) {
                const auto drop = static_cast<std::size_t>(pos) - 1;
                buffer.erase(buffer.begin(),
                             buffer.begin() + static_cast<std::ptrdiff_t>(drop * channels));
                pos -= static_cast<double>(drop);
                i -= drop;
            }
            if (!feed->Next(buffer)) feedEnded = true;
            buffer.resize(buffer.size() - buffer.size() % static_cast<std::size_t>(channels));
            Refresh();
        }
        return i < frameCount;
    }

    int Sample(std::size_t i, int channel) const {
        return samples[i * static_cast<std::size_t>(channels) +
                       static_cast<std::size_t>(std::min(channel, channels - 1))];
    }

    // The next output frame's two channels; false when the voice has ended.
    bool Next(int& left, int& right) {
        for (;;) {
            std::size_t i = static_cast<std::size_t>(pos);
            if (feed) {
                if (!Ensure(i)) return false;
                i = static_cast<std::size_t>(pos);  // Ensure may drop what was played
            } else if (i >= end) {
                if (--loopsLeft == 0) return false;
                pos -= static_cast<double>(end - begin);
                continue;
            }
            const double frac = pos - static_cast<double>(i);
            std::size_t j = i + 1;
            if (!feed && j >= end) j = loopsLeft > 1 ? begin : i;
            if (feed && j >= frameCount) j = i;
            left =
                static_cast<int>(std::lround(Sample(i, 0) + (Sample(j, 0) - Sample(i, 0)) * frac));
            right =
                static_cast<int>(std::lround(Sample(i, 1) + (Sample(j, 1) - Sample(i, 1)) * frac));
            pos += step;
            return true;
        }
    }
};

int EnvelopeLevel(const std::vector<SoundEnvelopePoint>& envelope, std::uint64_t pos44,
                  int channel) {
    if (envelope.empty()) return 32768;
    const auto level = [channel](const SoundEnvelopePoint& p) {
        return static_cast<int>(channel == 0 ? p.left : p.right);
    };
    if (pos44 <= envelope.front().pos44) return level(envelope.front());
    for (std::size_t k = 1; k < envelope.size(); ++k) {
        const SoundEnvelopePoint& a = envelope[k - 1];
        const SoundEnvelopePoint& b = envelope[k];
        if (pos44 >= b.pos44) continue;
        if (b.pos44 <= a.pos44) return level(b);
        const double t = static_cast<double>(pos44 - a.pos44) / (b.pos44 - a.pos44);
        return static_cast<int>(std::lround(level(a) + (level(b) - level(a)) * t));
    }
    return level(envelope.back());
}

SoundMixer::SoundMixer() = default;
SoundMixer::~SoundMixer() = default;

SoundMixer::Voice SoundMixer::Add(std::unique_ptr<VoiceState> v) {
    std::lock_guard<std::mutex> hold(lock_);
    v->id = next_++;
    if (next_ == 0) next_ = 1;
    v->startOut = mixed_;
    const Voice id = v->id;
    voices_.push_back(std::move(v));
    return id;
}

SoundMixer::Voice SoundMixer::StartEvent(std::uint16_t soundId,
                                         std::shared_ptr<const PcmSound> sound,
                                         const SoundPlayInfo& info) {
    if (!sound || sound->channels < 1 || sound->channels > 2 || sound->rate == 0 ||
        sound->Frames() == 0)
        return 0;
    auto v = std::make_unique<VoiceState>();
    const std::size_t frames = sound->Frames();
    const auto toFrames = [&](std::uint32_t pos44) {
        return static_cast<std::size_t>(static_cast<std::uint64_t>(pos44) * sound->rate / kRate);
    };
    v->begin = info.hasIn ? std::min(frames, toFrames(info.inPoint)) : 0;
    v->end = info.hasOut ? std::min(frames, toFrames(info.outPoint)) : frames;
    if (v->end <= v->begin) return 0;
    v->soundId = soundId;
    v->info = info;
    v->loopsLeft = std::max<unsigned>(1, info.loops);
    v->channels = sound->channels;
    v->samples = sound->samples.data();
    v->frameCount = frames;
    v->step = static_cast<double>(sound->rate) / kRate;
    v->pos = static_cast<double>(v->begin);
    v->sound = std::move(sound);
    return Add(std::move(v));
}

SoundMixer::Voice SoundMixer::StartStream(std::unique_ptr<SoundFeed> feed) {
    if (!feed || feed->Rate() == 0 || feed->Channels() < 1 || feed->Channels() > 2) return 0;
    auto v = std::make_unique<VoiceState>();
    v->channels = feed->Channels();
    v->step = static_cast<double>(feed->Rate()) / kRate;
    v->feed = std::move(feed);
    return Add(std::move(v));
}

SoundMixer::VoiceState* SoundMixer::Find(Voice voice) const {
    for (const auto& v : voices_)
        if (v->id == voice) return v.get();
    return nullptr;
}

void SoundMixer::Stop(Voice voice) {
    std::unique_ptr<VoiceState> gone;  // destroyed after the lock is released
    std::lock_guard<std::mutex> hold(lock_);
    const auto it = std::find_if(voices_.begin(), voices_.end(),
                                 [voice](const auto& v) { return v->id == voice; });
    if (it == voices_.end()) return;
    gone = std::move(*it);
    voices_.erase(it);
}

void SoundMixer::StopSound(std::uint16_t soundId) {
    std::lock_guard<std::mutex> hold(lock_);
    voices_.erase(
        std::remove_if(voices_.begin(), voices_.end(),
                       [soundId](const auto& v) { return !v->feed && v->soundId == soundId; }),
        voices_.end());
}

void SoundMixer::StopAll() {
    std::vector<std::unique_ptr<VoiceState>> gone;
    std::lock_guard<std::mutex> hold(lock_);
    gone.swap(voices_);
}

bool SoundMixer::Active(Voice voice) const {
    std::lock_guard<std::mutex> hold(lock_);
    return voice != 0 && Find(voice) != nullptr;
}

bool SoundMixer::AnyActive() const {
    std::lock_guard<std::mutex> hold(lock_);
    return !voices_.empty();
}

bool SoundMixer::SoundPlaying(std::uint16_t soundId) const {
    std::lock_guard<std::mutex> hold(lock_);
    return std::any_of(voices_.begin(), voices_.end(),
                       [soundId](const auto& v) { return !v->feed && v->soundId == soundId; });
}

double SoundMixer::Heard(Voice voice) const {
    std::lock_guard<std::mutex> hold(lock_);
    const VoiceState* v = Find(voice);
    if (!v || played_ <= v->startOut) return 0;
    return static_cast<double>(std::min(played_ - v->startOut, v->produced)) * v->step;
}

void SoundMixer::Played(std::uint64_t frames) {
    std::lock_guard<std::mutex> hold(lock_);
    played_ = std::min(frames, mixed_);
}

std::uint64_t SoundMixer::Mixed() const {
    std::lock_guard<std::mutex> hold(lock_);
    return mixed_;
}

void SoundMixer::Mix(std::int16_t* out, std::size_t frames) {
    std::vector<std::unique_ptr<VoiceState>> ended;
    std::lock_guard<std::mutex> hold(lock_);
    sum_.assign(frames * 2, 0);
    for (auto& v : voices_) {
        // A voice started after the last call begins with this one.
        if (v->produced == 0) v->startOut = mixed_;
        const bool shaped = !v->info.envelope.empty();
        for (std::size_t n = 0; n < frames; ++n) {
            int left = 0, right = 0;
            if (!v->Next(left, right)) {
                v->done = true;
                break;
            }
            if (shaped) {
                left = left * EnvelopeLevel(v->info.envelope, v->produced, 0) / 32768;
                right = right * EnvelopeLevel(v->info.envelope, v->produced, 1) / 32768;
            }
            sum_[2 * n] += left;
            sum_[2 * n + 1] += right;
            ++v->produced;
        }
    }
    for (std::size_t n = 0; n < frames * 2; ++n)
        out[n] = static_cast<std::int16_t>(std::clamp(sum_[n], -32768, 32767));
    mixed_ += frames;
    for (auto it = voices_.begin(); it != voices_.end();) {
        if ((*it)->done) {
            ended.push_back(std::move(*it));
            it = voices_.erase(it);
        } else {
            ++it;
        }
    }
}
