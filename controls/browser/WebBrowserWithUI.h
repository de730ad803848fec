#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

// What the document host's user-interface handler decides for one browser control: the display
// switches and the answers they give. The Windows binding forwards IDocHostUIHandler here.

// The platform's answers: S_OK and S_FALSE.
enum class HostResult : std::int32_t { Ok = 0, False = 1 };

// The four display switches of one browser control, at their construction defaults.
struct TEnhancedWebBrowserUI {
    bool EnableFlatScrollBars = false;
    bool Enable3DBorder = true;
    bool EnableContextMenu = true;
    bool EnableScrollBars = true;
};

// The switches as the form stores them, in published order, under "UISettings.<name>".
struct UISettingDef {
    const char* name;
    bool TEnhancedWebBrowserUI::*field;
};
extern const std::array<UISettingDef, 4> kPublishedUISettings;

// Sets a switch by its name or by its property path; false for an unknown name.
bool SetUISetting(TEnhancedWebBrowserUI& settings, std::string_view name, bool value);

// Host information flags.
constexpr std::uint32_t kDocHostUiFlagNo3DBorder = 0x4;
constexpr std::uint32_t kDocHostUiFlagScrollNo = 0x8;
constexpr std::uint32_t kDocHostUiFlagFlatScrollBar = 0x80;

// The flags GetHostInfo reports: the record is otherwise all zero besides its size.
std::uint32_t HostInfoFlags(const TEnhancedWebBrowserUI& settings);

// ShowContextMenu: S_FALSE lets the browser show its own menu, S_OK shows none.
HostResult ContextMenuResult(const TEnhancedWebBrowserUI& settings);

// Every other handler method does nothing and answers S_FALSE; an output pointer that the
// method must clear (GetDropTarget, FilterDataObject) is cleared when given.
constexpr HostResult kHostDefaultResult = HostResult::False;

// OnGetExternal: (Sender, var ppDispatch). `Ref` is a counted, nullable reference
// (ComPtr<IDispatch> on Windows).
template <typename Sender, typename Ref>
using TGetExternalEvent = std::function<void(Sender& sender, Ref& dispatch)>;

// GetExternal: the output is emptied first (releasing what it held), then the handler, if set, may
// fill it. S_OK with an object, S_FALSE without.
template <typename Sender, typename Ref>
HostResult GetExternal(Sender& sender, const TGetExternalEvent<Sender, Ref>& onGetExternal,
                       Ref& out) {
    out = Ref();
    if (onGetExternal) onGetExternal(sender, out);
    return out ? HostResult::Ok : HostResult::False;
}
