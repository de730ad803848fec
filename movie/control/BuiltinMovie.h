#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MovieControl.h"
#include "MovieSound.h"
#include "PixelImage.h"
#include "StagePainter.h"
#include "SwfReader.h"
#include "Timeline.h"

// The movie control of our own, used when no registered control exists: it reads a subset of
// SWF (see SwfReader.h), plays the timelines at the movie's frame rate, runs their actions, keeps
// movie variables, raises FSCommand and draws each frame with its own rasteriser. This is its
// portable core; the window, the timer and the presenting of the frame belong to the platform,
// which reaches the core through the two ports below.

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PixelRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

enum class TextAlign { Left, Right, Center, Justify };

// Where the built-in control paints.
class MovieCanvas {
  public:
    virtual ~MovieCanvas() = default;
    virtual void FillRect(const PixelRect& rect, Rgb color) = 0;
    // The frame, opaque, at the top left corner.
    virtual void DrawPicture(const PixelImage& picture) = 0;
    // One line of text at the top of `box`, aligned within it and clipped to it.
    virtual void DrawText(const PixelRect& box, const std::u16string& line, Rgb color,
                          int pixelHeight, TextAlign align) = 0;
};

// What the built-in control asks of its window.
class BuiltinMovieHost {
  public:
    virtual ~BuiltinMovieHost() = default;
    virtual void Invalidate() = 0;
    // From now on call Tick every `intervalMs` milliseconds; 0 stops the calls.
    virtual void SetFrameTimer(unsigned intervalMs) = 0;
};

class BuiltinMovie : public MovieControl, private Timeline::Events {
  public:
    // Pictures inside movies decode through `decoder`; without one they are left out. Sounds go
    // through `sound`, whose parts outlive the control; without them the movie is silent.
    explicit BuiltinMovie(BuiltinMovieHost& host, ImageDecoder* decoder = nullptr,
                          const MovieSoundParts& sound = {});

    void Play() override;
    void Stop() override;
    // Layer 0 with an empty address or "http://" clears the movie; other addresses cannot be
    // fetched by this control and are skipped.
    void LoadMovie(int layer, const std::u16string& url) override;
    // "_root.loadint" and "loadint" name the same variable.
    void SetVariable(const std::u16string& name, const std::u16string& value) override;
    FlashValue GetProperty(int dispId) override;
    void SetProperty(int dispId, const FlashValue& value) override;
    std::uint32_t SaveStateSizeMax() override;
    void SaveState(std::vector<std::uint8_t>& buffer) override;
    // Accepts its own saved state and the load image. A state it cannot read, or a movie that is
    // no SWF, throws MovieControlError and leaves the control as it was.
    void LoadState(const std::vector<std::uint8_t>& image) override;
    void SetEvents(MovieControlEvents* events) override { events_ = events; }

    // One frame of the timeline: the host's timer calls it.
    void Tick();
    void Paint(MovieCanvas& canvas, int width, int height);
    // The frame as Paint presents it: the background and everything drawn by the rasteriser.
    const PixelImage& Render(int width, int height);

    // The pointer in client pixels: buttons show their states and run their actions.
    void PointerMove(int x, int y);
    void PointerDown(int x, int y);
    void PointerUp(int x, int y);
    // Whether the pointer is over a button (the window shows a hand).
    bool OverButton() const { return !over_.clip.expired(); }

    bool HasMovie() const { return movie_ != nullptr; }
    const SwfMovie* Movie() const { return movie_.get(); }
    int CurrentFrame() const { return movie_ ? timeline_.CurrentFrame() : -1; }
    bool IsPlaying() const { return movie_ && timeline_.Playing(); }
    const Timeline& Timelines() const { return timeline_; }
    // The variable's value, empty when it has none.
    std::u16string Variable(const std::u16string& name) const;
    // The timer interval for the movie's frame rate.
    unsigned FrameIntervalMs() const;

  private:
    struct Command {
        std::u16string command, args;
    };

    void OnGetUrl(const std::u16string& url, const std::u16string& target) override;
    void OnFrameEntered(const Clip& clip) override;
    void Clear();
    void Start(std::unique_ptr<SwfMovie> movie, std::vector<std::uint8_t> bytes);
    void Changed();
    void FirePending();
    bool Prop(int dispId) const;
    bool Animated() const;
    Rgb Background() const;
    Matrix2D StageToDevice(int width, int height) const;
    std::vector<std::uint8_t> StateBytes() const;

    struct ButtonRef {
        std::weak_ptr<const Clip> clip;
        std::uint16_t depth = 0;
        bool Same(const ButtonRef& o) const {
            return !clip.owner_before(o.clip) && !o.clip.owner_before(clip) && depth == o.depth &&
                   !clip.expired();
        }
    };
    ButtonRef ButtonAt(int x, int y);
    void Transition(const ButtonRef& b, std::uint8_t state, std::uint16_t condition);

    BuiltinMovieHost& host_;
    ImageDecoder* decoder_;
    MovieControlEvents* events_ = nullptr;

    std::unique_ptr<SwfMovie> movie_;
    std::vector<std::uint8_t> movieBytes_;  // kept for a state saved with EmbedMovie set
    MovieSound sound_;                      // after the movie: its sounds end before the movie goes
    Timeline timeline_{*this};
    std::map<int, FlashValue> props_;  // those set; the rest have their defaults
    StagePainter painter_;
    PixelImage picture_;
    std::vector<StagePainter::Field> fields_;

    std::vector<Command> pending_;  // FSCommands of the frame just entered
    unsigned generation_ = 0;       // grows with every movie change, so a handler that loads
                                    // another movie stops the old movie's commands
    unsigned timer_ = 0;
    bool halted_ = false;         // stopped by the player: no timeline moves
    int width_ = 0, height_ = 0;  // of the last frame drawn, where the pointer is
    bool dirty_ = true;           // something changed since that frame was drawn
    ButtonRef over_, pressed_;
};
