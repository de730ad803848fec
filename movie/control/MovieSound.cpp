#include "MovieSound.h"

#include <cmath>
#include <utility>

#include "SoundDecode.h"

namespace {

// A timeline's stream from a frame on: each frame's block, decoded when the mixer needs it; a
// frame without a block is a frame of silence, so the stream keeps the pace of the frames.
class FrameStreamFeed : public SoundFeed {
  public:
    FrameStreamFeed(const std::vector<SwfFrame>& frames, std::size_t first,
                    const SwfStreamHead& head, double framesPerSecond,
                    std::unique_ptr<Mp3Decoder> mp3)
        : frames_(frames),
          next_(first),
          decoder_(head.stream, std::move(mp3), head.samplesPerFrame),
          silence_(static_cast<std::size_t>(std::lround(decoder_.Rate() / framesPerSecond))) {}

    std::uint32_t Rate() const override { return decoder_.Rate(); }
    int Channels() const override { return decoder_.Channels(); }
    bool Next(std::vector<std::int16_t>& samples) override {
        if (next_ >= frames_.size()) return false;
        const SwfFrame& f = frames_[next_++];
        if (f.hasStreamBlock)
            decoder_.Block(f.streamBlock.data(), f.streamBlock.size(), samples);
        else
            samples.resize(samples.size() + silence_ * static_cast<std::size_t>(Channels()), 0);
        return true;
    }

  private:
    const std::vector<SwfFrame>& frames_;
    std::size_t next_;
    StreamDecoder decoder_;
    std::size_t silence_;
};

double FramesPerSecond(const SwfMovie& movie) {
    const double fps = movie.FramesPerSecond();
    return fps > 0 ? fps : 12;
}

}  // namespace

MovieSound::MovieSound(const MovieSoundParts& parts)
    : mixer_(parts.mixer), output_(parts.output), makeMp3_(parts.makeMp3), now_(parts.now) {}

MovieSound::~MovieSound() {
    Clear();
}

bool MovieSound::Playable() const {
    return mixer_ && movie_ && (!output_ || output_->Available());
}

void MovieSound::Start(const SwfMovie& movie) {
    Clear();
    movie_ = &movie;
}

void MovieSound::Clear() {
    if (mixer_) mixer_->StopAll();
    if (output_) output_->Flush();
    streams_.clear();
    decoded_.clear();
    clock_.Stop();
    root_ = nullptr;
    movie_ = nullptr;
}

void MovieSound::Pause(bool paused) {
    if (output_) output_->Pause(paused);
}

void MovieSound::Play(const SwfStartSound& start) {
    if (start.info.syncStop) {
        mixer_->StopSound(start.soundId);
        return;
    }
    if (start.info.noMultiple && mixer_->SoundPlaying(start.soundId)) return;
    auto decoded = decoded_.find(start.soundId);
    if (decoded == decoded_.end()) {
        const auto sound = movie_->sounds.find(start.soundId);
        if (sound == movie_->sounds.end()) return;
        const SwfSound& s = sound->second;
        const auto mp3 = s.format.codec == SoundCodec::Mp3 && makeMp3_ ? makeMp3_() : nullptr;
        auto pcm = std::make_shared<const PcmSound>(
            DecodeSound(s.format, s.data.data(), s.data.size(), s.sampleCount, mp3.get()));
        decoded = decoded_.emplace(start.soundId, std::move(pcm)).first;
    }
    if (mixer_->StartEvent(start.soundId, decoded->second, start.info) && output_) output_->Wake();
}

MovieSound::Streams::iterator MovieSound::EndStream(Streams::iterator it) {
    mixer_->Stop(it->second.voice);
    if (it->first == root_) {
        clock_.Stop();
        root_ = nullptr;
    }
    return streams_.erase(it);
}

void MovieSound::StartStream(const Clip& clip, bool root) {
    const auto frame = static_cast<std::size_t>(clip.frame);
    const double fps = FramesPerSecond(*movie_);
    const bool mp3 = clip.stream->stream.codec == SoundCodec::Mp3 && makeMp3_;
    auto feed = std::make_unique<FrameStreamFeed>(*clip.frames, frame, *clip.stream, fps,
                                                  mp3 ? makeMp3_() : nullptr);
    const std::uint32_t rate = feed->Rate();
    const SoundMixer::Voice voice = mixer_->StartStream(std::move(feed));
    if (!voice) return;
    streams_[&clip] = {clip.weak_from_this(), voice, clip.frame};
    if (root) {
        root_ = &clip;
        // A second without the sound moving on gives the pictures back to the timer.
        clock_.Start(clip.frame, rate / fps, static_cast<int>(std::ceil(fps)), fps);
        if (now_) streamStart_ = now_();
    }
    if (output_) output_->Wake();
}

void MovieSound::FrameEntered(const Clip& clip, bool root) {
    if (!Playable() || !clip.frames || clip.frame < 0 || clip.frame >= clip.FrameCount()) return;
    const SwfFrame& frame = (*clip.frames)[static_cast<std::size_t>(clip.frame)];
    for (const SwfStartSound& start : frame.sounds) Play(start);

    const auto it = streams_.find(&clip);
    if (it != streams_.end()) {
        // Playing on keeps the stream that runs ahead; a jump starts it where the frame is.
        // A stream that has played all its blocks stays ended until the clip jumps.
        if (clip.frame == it->second.lastFrame + 1 && it->second.clip.lock().get() == &clip) {
            it->second.lastFrame = clip.frame;
            return;
        }
        EndStream(it);
    }
    if (clip.stream && frame.hasStreamBlock) StartStream(clip, root);
}

void MovieSound::ButtonTransition(std::uint16_t buttonId, int transition) {
    if (!Playable() || transition < 0 || transition >= SwfButtonSounds::Count) return;
    const auto it = movie_->buttonSounds.find(buttonId);
    if (it == movie_->buttonSounds.end()) return;
    const SwfStartSound& start = it->second.transitions[transition];
    if (start.soundId != 0) Play(start);
}

void MovieSound::Settle(const Timeline& timeline, bool held) {
    if (!mixer_ || held) return;
    for (auto it = streams_.begin(); it != streams_.end();) {
        const std::shared_ptr<const Clip> clip = it->second.clip.lock();
        // A clip's own stop or its removal ends its stream.
        if (clip && clip->playing && (it->first != root_ || clip.get() == &timeline.Root()))
            ++it;
        else
            it = EndStream(it);
    }
}

int MovieSound::FramesDue(const Timeline& timeline) {
    const auto it = root_ ? streams_.find(root_) : streams_.end();
    if (it == streams_.end() || !clock_.Running()) return 1;
    if (!mixer_->Active(it->second.voice)) {
        // All of it has been mixed: the frames still due follow the timer.
        clock_.Stop();
        return 1;
    }
    return clock_.Step(timeline.CurrentFrame(), mixer_->Heard(it->second.voice),
                       now_ ? now_() - streamStart_ : -1);
}
