#pragma once
// The movie's timelines as they play: the main timeline and every movie clip on it, each with its
// frame, its display list and its variables. Frames run their actions through the action machine
// after the display lists have changed; buttons follow the pointer and run theirs.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Actions.h"
#include "SwfReader.h"

struct Clip;

struct DisplayObject {
    std::uint16_t characterId = 0;
    SwfMatrix matrix;
    SwfCxform cxform;
    std::uint16_t ratio = 0;
    std::u16string name;
    std::uint16_t clipDepth = 0;  // a mask over the depths above it up to this one
    bool visible = true;
    std::shared_ptr<Clip> clip;  // a movie clip's own timeline
    std::uint8_t buttonState = SwfButtonRecord::Up;
};

struct Clip : std::enable_shared_from_this<Clip> {
    const std::vector<SwfFrame>* frames = nullptr;
    const SwfStreamHead* stream = nullptr;  // its stream sound's format, when it has one
    int frame = -1;
    bool playing = true;
    int nesting = 0;  // 0 for the main timeline
    Clip* parent = nullptr;
    std::map<std::uint16_t, DisplayObject> display;  // by depth
    std::map<std::u16string, ActionValue> variables;

    int FrameCount() const { return frames ? static_cast<int>(frames->size()) : 0; }
};

// Limits that keep a hostile movie from freezing or filling the player.
constexpr int kMaxClipNesting = 32;
constexpr std::size_t kMaxDisplayObjects = 1u << 16;  // over every display list
constexpr std::size_t kMaxActionsPerTick = 200000;
constexpr std::size_t kMaxActionBlocksPerTick = 4096;  // frames that go to frames, in a loop
constexpr std::size_t kMaxVariables = 4096;            // per clip

class Timeline {
  public:
    class Events {
      public:
        virtual ~Events() = default;
        // A GetURL action; FSCommands come this way as "FSCommand:..." addresses.
        virtual void OnGetUrl(const std::u16string& url, const std::u16string& target) = 0;
        // `clip` has entered its frame (`clip.frame`): by playing on, by a jump, or placed anew.
        // Its sounds start here.
        virtual void OnFrameEntered(const Clip& clip) { (void)clip; }
    };

    explicit Timeline(Events& events) : events_(events) {}

    // Enters the first frame of `movie` (which outlives the timeline's use of it).
    void Start(const SwfMovie& movie);
    void Clear();
    bool HasMovie() const { return movie_ != nullptr; }
    const SwfMovie* Movie() const { return movie_; }

    // One frame: the main timeline moves on when it plays (to the first frame again when
    // `loop`, else it stops at its last), every movie clip moves on, then the actions run.
    void Tick(bool loop);
    void GotoFrame(int frame, bool play);
    void SetPlaying(bool playing) { root_->playing = playing; }
    bool Playing() const { return root_->playing; }
    int CurrentFrame() const { return root_->frame; }

    // Variables of the main timeline by the player's names ("_root.loadint", "loadint").
    void SetVariable(const std::u16string& path, const std::u16string& value);
    std::u16string Variable(const std::u16string& path) const;
    // A variable as a field bound to it sees it, from the field's clip.
    std::u16string FieldText(const Clip& clip, const std::u16string& path) const;

    // A button on `clip` at `depth` shows `state` (SwfButtonRecord::Up, Over or Down).
    void SetButtonState(const Clip& clip, std::uint16_t depth, std::uint8_t state);
    // Runs the actions of that button for a transition (SwfButtonCondition).
    void RunButtonActions(const Clip& clip, std::uint16_t depth, std::uint16_t condition);

    const Clip& Root() const { return *root_; }
    // The main timeline's own placement: actions may move, fade or hide it.
    const DisplayObject& RootObject() const { return rootObject_; }
    std::size_t DisplayObjects() const { return objects_; }

  private:
    friend class TimelineActions;
    struct Pending {
        std::weak_ptr<Clip> clip;  // gone when the clip was removed before its actions ran
        const std::vector<std::uint8_t>* bytes = nullptr;
    };

    void Enter(Clip& clip, int frame);
    void Goto(Clip& clip, int frame);
    void Apply(Clip& clip, const SwfFrame& frame, std::map<std::uint16_t, DisplayObject>* reuse);
    void Place(Clip& clip, const SwfPlace& p, std::map<std::uint16_t, DisplayObject>* reuse);
    void Remove(Clip& clip, std::uint16_t depth);
    std::shared_ptr<Clip> NewClip(Clip& parent, std::uint16_t characterId);
    void AdvanceClips(Clip& clip);
    void RunPending();
    // The main timeline's object, or the one in the parent's display list that holds `clip`.
    DisplayObject* ObjectOf(Clip& clip);
    void Queue(Clip& clip, const std::vector<std::uint8_t>& bytes);
    std::size_t Count(const DisplayObject& o) const;

    Events& events_;
    const SwfMovie* movie_ = nullptr;
    std::shared_ptr<Clip> root_ = std::make_shared<Clip>();
    DisplayObject rootObject_;  // the main timeline's properties
    std::vector<Pending> pending_;
    std::size_t objects_ = 0;
    std::size_t actionsThisTick_ = 0;
    unsigned names_ = 0;
};
