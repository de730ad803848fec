#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// Dispatch identifiers of the movie control's properties.
namespace FlashDispId {
constexpr int Movie = 102;
constexpr int Quality = 105;
constexpr int Loop = 106;
constexpr int FrameNum = 107;
constexpr int ScaleMode = 120;
constexpr int AlignMode = 121;
constexpr int BackgroundColor = 123;
constexpr int Playing = 125;
constexpr int WMode = 133;
constexpr int SAlign = 134;
constexpr int Menu = 135;
constexpr int Base = 136;
constexpr int Scale = 137;
constexpr int DeviceFont = 138;
constexpr int EmbedMovie = 139;
constexpr int BGColor = 140;
constexpr int Quality2 = 141;
constexpr int SWRemote = 159;
constexpr int FlashVars = 170;
constexpr int AllowScriptAccess = 171;
constexpr int MovieData = 190;
constexpr int SeamlessTabbing = 192;
constexpr int Profile = 194;
constexpr int ProfileAddress = 195;
constexpr int ProfilePort = 196;
constexpr int AllowNetworking = 201;
constexpr int AllowFullScreen = 202;
}  // namespace FlashDispId

// A property value: booleans (16-bit on the wire), 32-bit integers, or wide texts.
using FlashValue = std::variant<bool, std::int32_t, std::u16string>;

enum class FlashPropertyKind { Bool, Int, Text };
// The kind of a known property; unknown identifiers count as integers.
FlashPropertyKind KindOfFlashProperty(int dispId);
// The value a property has before anything is set.
FlashValue DefaultFlashValue(int dispId);

// Raised when a control call fails.
class MovieControlError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What the control tells its host.
class MovieControlEvents {
  public:
    virtual ~MovieControlEvents() = default;
    // Raised on the user-interface thread; the handler may replace the control's movie.
    virtual void OnFSCommand(const std::u16string& command, const std::u16string& args) = 0;
};

// The movie control as the player uses it: the registered ActiveX control when there is one, the
// built-in one otherwise. Every call runs on the user-interface thread; a failing call throws
// MovieControlError.
class MovieControl {
  public:
    virtual ~MovieControl() = default;

    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void LoadMovie(int layer, const std::u16string& url) = 0;
    virtual void SetVariable(const std::u16string& name, const std::u16string& value) = 0;

    virtual FlashValue GetProperty(int dispId) = 0;
    virtual void SetProperty(int dispId, const FlashValue& value) = 0;

    // Largest saved state, in bytes (the low 32 bits of what the control reports).
    virtual std::uint32_t SaveStateSizeMax() = 0;
    // Saves the state into `buffer` from offset 0; the buffer keeps its size, bytes past what
    // the control wrote stay as they were. Clears the control's dirty flag.
    virtual void SaveState(std::vector<std::uint8_t>& buffer) = 0;
    // Loads a saved state or a load image; the control's previous movie is dropped.
    virtual void LoadState(const std::vector<std::uint8_t>& image) = 0;

    // Null detaches the handler.
    virtual void SetEvents(MovieControlEvents* events) = 0;
};

// Typed property access. Booleans and integers convert as automation does (true is -1); a
// text read as another kind, or another kind read as text, gives zero or empty.
bool GetBoolProperty(MovieControl& control, int dispId);
std::int32_t GetIntProperty(MovieControl& control, int dispId);
std::u16string GetTextProperty(MovieControl& control, int dispId);
