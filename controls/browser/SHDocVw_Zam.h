#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

// The tables of the WebBrowser control wrapper: its 34 events by dispatch id and its published
// dispatch properties, and the event fields that incoming events are handed to.

// The events in table order; the value is the position of the event's field.
enum class EWBEvent : std::size_t {
    StatusTextChange,
    ProgressChange,
    CommandStateChange,
    DownloadBegin,
    DownloadComplete,
    TitleChange,
    PropertyChange,
    BeforeNavigate2,
    NewWindow2,
    NavigateComplete2,
    DocumentComplete,
    Quit,
    Visible,
    ToolBar,
    MenuBar,
    StatusBar,
    FullScreen,
    TheaterMode,
    AddressBar,
    WindowSetResizable,
    WindowSetLeft,
    WindowSetTop,
    WindowSetWidth,
    WindowSetHeight,
    WindowClosing,
    ClientToHostWindow,
    SetSecureLockIcon,
    FileDownload,
    NavigateError,
    PrintTemplateInstantiation,
    PrintTemplateTeardown,
    UpdatePageStatus,
    PrivacyImpactedStateChange,
    NewWindow3,
};
constexpr std::size_t kEWBEventCount = 34;

enum class EWBType { WideString, Integer, UInt32, WordBool, Variant, Dispatch };

// One parameter after the sender. `var` ones go back to the control: the dispatch arguments carry
// them by reference.
struct EWBParam {
    const char* name;
    EWBType type;
    bool var;
};

struct EWBEventDef {
    EWBEvent event;
    const char* field;  // the event property
    const char* type;   // its handler type; "" for a plain notification
    std::int32_t dispId;
    std::size_t paramCount;
    std::array<EWBParam, 7> params;  // in declared order; dispatch arguments come in reverse
};
extern const std::array<EWBEventDef, kEWBEventCount> kEWBEvents;

// The event with this dispatch id, or null.
const EWBEventDef* FindEWBEvent(std::int32_t dispId);

// Index into the dispatch arguments (which the platform passes last parameter first) of the
// declared parameter `param` of an event.
constexpr std::size_t DispArgIndex(const EWBEventDef& def, std::size_t param) {
    return def.paramCount - 1 - param;
}

// The control's properties read and written through its dispatch interface.
struct EWBPropertyDef {
    const char* name;
    EWBType type;
    std::int32_t dispId;
    bool writable;
};
extern const std::array<EWBPropertyDef, 14> kEWBProperties;
const EWBPropertyDef* FindEWBProperty(std::string_view name);
constexpr std::int32_t kDispIdDocument = 203;

// The 34 event fields. `Args` is what the binding hands over for one event (on Windows, a view of
// the dispatch parameters together with the sender); a handler reads and, for var parameters,
// writes it.
template <typename Args>
class TEWBEventFields {
  public:
    using Handler = std::function<void(Args& args)>;

    Handler& operator[](EWBEvent e) { return fields_[static_cast<std::size_t>(e)]; }
    // Adds a handler that runs after the one the field already holds, so that several parts of a
    // program can hear the same event of one control.
    void Append(EWBEvent e, Handler next) {
        Handler& field = (*this)[e];
        if (!field) {
            field = std::move(next);
            return;
        }
        field = [first = std::move(field), then = std::move(next)](Args& args) {
            first(args);
            then(args);
        };
    }
    const Handler& operator[](EWBEvent e) const { return fields_[static_cast<std::size_t>(e)]; }

    // Hands an incoming event to its field. False, and nothing happens, for an id that is no
    // event of the table or whose field is unset: the event is dropped.
    bool Raise(std::int32_t dispId, Args& args) const {
        const EWBEventDef* def = FindEWBEvent(dispId);
        if (!def) return false;
        const Handler& handler = (*this)[def->event];
        if (!handler) return false;
        handler(args);
        return true;
    }

  private:
    std::array<Handler, kEWBEventCount> fields_;
};
