#pragma once

// The platform's output: it pulls the mixer on a thread of its own.
class MovieSoundOutput {
  public:
    virtual ~MovieSoundOutput() = default;
    // False once the device could not be opened or failed: no sound starts then.
    virtual bool Available() const = 0;
    // The mixer has voices: pull it (again).
    virtual void Wake() = 0;
    virtual void Pause(bool paused) = 0;
    // Drops what the device still holds, so sounds that ended go silent at once.
    virtual void Flush() = 0;
};
