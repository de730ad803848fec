#include "WebBrowserWithUI.h"

const std::array<UISettingDef, 4> kPublishedUISettings = {{
    {"EnableScrollBars", &TEnhancedWebBrowserUI::EnableScrollBars},
    {"EnableFlatScrollBars", &TEnhancedWebBrowserUI::EnableFlatScrollBars},
    {"EnableContextMenu", &TEnhancedWebBrowserUI::EnableContextMenu},
    {"Enable3DBorder", &TEnhancedWebBrowserUI::Enable3DBorder},
}};

bool SetUISetting(TEnhancedWebBrowserUI& settings, std::string_view name, bool value) {
    constexpr std::string_view prefix = "UISettings.";
    if (name.substr(0, prefix.size()) == prefix) name.remove_prefix(prefix.size());
    for (const auto& s : kPublishedUISettings) {
        if (name == s.name) {
            settings.*s.field = value;
            return true;
        }
    }
    return false;
}

std::uint32_t HostInfoFlags(const TEnhancedWebBrowserUI& settings) {
    std::uint32_t flags = 0;
    if (!settings.EnableScrollBars) flags |= kDocHostUiFlagScrollNo;
    if (settings.EnableFlatScrollBars) flags |= kDocHostUiFlagFlatScrollBar;
    if (!settings.Enable3DBorder) flags |= kDocHostUiFlagNo3DBorder;
    return flags;
}

HostResult ContextMenuResult(const TEnhancedWebBrowserUI& settings) {
    return settings.EnableContextMenu ? HostResult::False : HostResult::Ok;
}
