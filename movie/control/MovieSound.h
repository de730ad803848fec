#pragma once
// The built-in control's sounds: event sounds that frames and buttons start, each timeline's
// stream read ahead from the movie as the output needs it, and the clock that the main timeline
// follows while its stream plays.
#include <cstdint>
#include <map>
#include <memory>

#include "Mp3Decoder.h"
#include "SoundMixer.h"
#include "SoundOutput.h"
#include "StreamClock.h"
#include "SwfReader.h"
#include "Timeline.h"

// What the built-in control's sound goes through. Without a mixer the movie is silent and its
// timelines follow the timer; without an output the mixer's owner pulls it; without an MP3 decoder
// MP3 sounds are silence.
struct MovieSoundParts {
    SoundMixer* mixer = nullptr;
    MovieSoundOutput* output = nullptr;
    std::unique_ptr<Mp3Decoder> (*makeMp3)() = nullptr;
    // Seconds of a steady clock; with it the pictures never race a device that plays too fast.
    double (*now)() = nullptr;
};

class MovieSound {
  public:
    explicit MovieSound(const MovieSoundParts& parts);
    ~MovieSound();
    MovieSound(const MovieSound&) = delete;
    MovieSound& operator=(const MovieSound&) = delete;

    // A movie starts; it outlives its sounds (Clear ends them).
    void Start(const SwfMovie& movie);
    // Every sound ends at once.
    void Clear();
    void Pause(bool paused);

    // Starts the sounds of the frame `clip` has entered; a jump ends its stream first.
    void FrameEntered(const Clip& clip, bool root);
    // The sound of a button's transition (SwfButtonSounds' order).
    void ButtonTransition(std::uint16_t buttonId, int transition);
    // Ends the streams of clips that stopped or are gone; nothing while the player holds the movie.
    void Settle(const Timeline& timeline, bool held);
    // Frames the main timeline moves on at this tick: one, or as its stream sound says.
    int FramesDue(const Timeline& timeline);

  private:
    struct Stream {
        std::weak_ptr<const Clip> clip;
        SoundMixer::Voice voice = 0;
        int lastFrame = -1;
    };

    bool Playable() const;
    void Play(const SwfStartSound& start);
    void StartStream(const Clip& clip, bool root);
    using Streams = std::map<const Clip*, Stream>;
    // Ends the stream and forgets it; the next one.
    Streams::iterator EndStream(Streams::iterator it);

    SoundMixer* mixer_;
    MovieSoundOutput* output_;
    std::unique_ptr<Mp3Decoder> (*makeMp3_)();
    double (*now_)();
    double streamStart_ = 0;  // when the main timeline's stream started, by `now_`
    const SwfMovie* movie_ = nullptr;
    Streams streams_;
    std::map<std::uint16_t, std::shared_ptr<const PcmSound>> decoded_;
    const Clip* root_ = nullptr;
    StreamClock clock_;
};
