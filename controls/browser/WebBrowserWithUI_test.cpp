#include "WebBrowserWithUI.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(EnhancedWebBrowserUI, HostInfoFlagsAndContextMenu) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, bool>> set;  // from the construction defaults
        std::uint32_t flags;
        HostResult contextMenu;
    } cases[] = {
        {"construction defaults", {}, 0x0, HostResult::False},
        {"all four False, as the main window sets them",
         {{"EnableScrollBars", false},
          {"EnableFlatScrollBars", false},
          {"EnableContextMenu", false},
          {"Enable3DBorder", false}},
         0xC,
         HostResult::Ok},
        {"flat scroll bars on", {{"EnableFlatScrollBars", true}}, 0x80, HostResult::False},
        {"no scroll bars", {{"EnableScrollBars", false}}, 0x8, HostResult::False},
        {"no border", {{"Enable3DBorder", false}}, 0x4, HostResult::False},
        {"no context menu", {{"EnableContextMenu", false}}, 0x0, HostResult::Ok},
        {"flat and no scroll bars, no border",
         {{"EnableFlatScrollBars", true}, {"EnableScrollBars", false}, {"Enable3DBorder", false}},
         0x8C,
         HostResult::False},
    };
    for (const auto& c : cases) {
        TEnhancedWebBrowserUI ui;
        for (const auto& [name, value] : c.set) ASSERT_TRUE(SetUISetting(ui, name, value));
        EXPECT_EQ(HostInfoFlags(ui), c.flags) << c.what;
        EXPECT_EQ(ContextMenuResult(ui), c.contextMenu) << c.what;
    }
}

TEST(EnhancedWebBrowserUI, EachPublishedNameSetsItsOwnSwitch) {
    const auto fields = [](const TEnhancedWebBrowserUI& u) {
        return std::vector<bool>{u.EnableScrollBars, u.EnableFlatScrollBars, u.EnableContextMenu,
                                 u.Enable3DBorder};
    };
    const std::vector<std::string> published = {"EnableScrollBars", "EnableFlatScrollBars",
                                                "EnableContextMenu", "Enable3DBorder"};
    ASSERT_EQ(kPublishedUISettings.size(), published.size());
    for (std::size_t i = 0; i < published.size(); ++i) {
        EXPECT_EQ(kPublishedUISettings[i].name, published[i]);
        for (const std::string& name : {published[i], "UISettings." + published[i]}) {
            TEnhancedWebBrowserUI ui;
            auto expected = fields(ui);
            expected[i] = !expected[i];
            EXPECT_TRUE(SetUISetting(ui, name, expected[i]));
            EXPECT_EQ(fields(ui), expected) << name;
        }
    }
    TEnhancedWebBrowserUI ui;
    const auto before = fields(ui);
    for (const char* name :
         {"EnableScroll", "uisettings.EnableScrollBars", "enablescrollbars", "UISettings.", ""})
        EXPECT_FALSE(SetUISetting(ui, name, false)) << name;
    EXPECT_EQ(fields(ui), before);
}

struct FakeBrowser {
    int id;
};
using Bridge = std::shared_ptr<int>;
using GetExternalEvent = TGetExternalEvent<FakeBrowser, Bridge>;

TEST(GetExternal, ThreeOutcomes) {
    FakeBrowser browser{7};
    const Bridge bridge = std::make_shared<int>(42);  // the main window's reference

    // No handler: the page gets nothing, and what the output held is released.
    {
        auto stale = std::make_shared<int>(1);
        std::weak_ptr<int> watch = stale;
        Bridge out = std::move(stale);
        EXPECT_EQ(GetExternal(browser, GetExternalEvent(), out), HostResult::False);
        EXPECT_FALSE(out);
        EXPECT_TRUE(watch.expired());
    }
    // A handler that leaves the reference empty: nothing either; it sees the control and an
    // already emptied output.
    {
        Bridge out = std::make_shared<int>(1);
        int calls = 0;
        const GetExternalEvent leaveEmpty = [&](FakeBrowser& sender, Bridge& d) {
            ++calls;
            EXPECT_EQ(&sender, &browser);
            EXPECT_FALSE(d);
        };
        EXPECT_EQ(GetExternal(browser, leaveEmpty, out), HostResult::False);
        EXPECT_EQ(calls, 1);
        EXPECT_FALSE(out);
    }
    // The main window's handler hands out a counted copy of its bridge.
    {
        Bridge out;
        const GetExternalEvent handOut = [&](FakeBrowser&, Bridge& d) { d = bridge; };
        EXPECT_EQ(GetExternal(browser, handOut, out), HostResult::Ok);
        EXPECT_EQ(out, bridge);
        EXPECT_EQ(bridge.use_count(), 2);
    }
    EXPECT_EQ(bridge.use_count(), 1);
}

}  // namespace
