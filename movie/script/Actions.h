#pragma once
// The actions of frames and buttons: a stack machine over the subset that cartoons use (timeline
// control, variables, clip properties, arithmetic, comparison, logic, strings, branches). An
// action it does not know ends its block quietly; a cap on the actions run per block keeps a
// looping block from freezing the player.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ActionValue {
    enum Kind : std::uint8_t { Undefined, Null, Bool, Number, String, Clip } kind = Undefined;
    double number = 0;    // Number, and Bool as 0 or 1
    std::u16string text;  // String, and a Clip's target path

    static ActionValue Of(double v) {
        ActionValue a;
        a.kind = Number;
        a.number = v;
        return a;
    }
    static ActionValue Of(bool v) {
        ActionValue a;
        a.kind = Bool;
        a.number = v ? 1 : 0;
        return a;
    }
    static ActionValue Of(std::u16string v) {
        ActionValue a;
        a.kind = String;
        a.text = std::move(v);
        return a;
    }
    // Without it a literal would choose the Bool form.
    static ActionValue Of(const char16_t* v) { return Of(std::u16string(v)); }
    static ActionValue ClipAt(std::u16string path) {
        ActionValue a;
        a.kind = Clip;
        a.text = std::move(path);
        return a;
    }

    double ToNumber(int version) const;
    std::u16string ToText(int version) const;
    bool ToBool(int version) const;
};

// The movie-clip properties by their index in GetProperty and SetProperty.
namespace ClipProperty {
constexpr int X = 0, Y = 1, XScale = 2, YScale = 3, CurrentFrame = 4, TotalFrames = 5, Alpha = 6,
              Visible = 7, Width = 8, Height = 9, Rotation = 10, Target = 11, FramesLoaded = 12,
              Name = 13;
// The property's index by its name ("_x"), or -1.
int ByName(const std::u16string& name);
}  // namespace ClipProperty

// What the actions act on. Targets are paths as movies write them ("/", "_root.a.b", "../c",
// "" for the current target); frames are counted from 0.
class ActionHost {
  public:
    virtual ~ActionHost() = default;
    // Timeline control of the current target (SetTarget changes it).
    virtual void SetTarget(const std::u16string& path) = 0;
    virtual void Stop() = 0;
    virtual void Play() = 0;
    virtual void NextFrame() = 0;
    virtual void PrevFrame() = 0;
    virtual void GotoFrame(int frame, bool play) = 0;
    virtual void GotoLabel(const std::u16string& label, bool play) = 0;
    virtual void GetUrl(const std::u16string& url, const std::u16string& target) = 0;
    // Variables by name, a path ending in a name ("/a:v", "_root.v"), or a clip ("_root.a").
    virtual ActionValue GetVariable(const std::u16string& path) = 0;
    virtual void SetVariable(const std::u16string& path, const ActionValue& value) = 0;
    virtual ActionValue GetProperty(const std::u16string& target, int index) = 0;
    virtual void SetProperty(const std::u16string& target, int index, const ActionValue& value) = 0;
    // A clip method (play, stop, gotoAndPlay, gotoAndStop, nextFrame, prevFrame) on a target;
    // false when there is no such clip or method.
    virtual bool CallClipMethod(const std::u16string& target, const std::u16string& method,
                                const std::vector<ActionValue>& args) = 0;
};

constexpr std::size_t kMaxActionsPerBlock = 100000;

struct ActionRun {
    std::size_t executed = 0;
    bool capped = false;   // the cap ended the block
    bool unknown = false;  // an action it does not know ended the block
};

// Runs one block of action records. `version` is the movie's SWF version.
ActionRun RunActions(const std::uint8_t* data, std::size_t size, int version, ActionHost& host);
inline ActionRun RunActions(const std::vector<std::uint8_t>& bytes, int version, ActionHost& host) {
    return RunActions(bytes.data(), bytes.size(), version, host);
}
