// The notice popup's place above the taskbar and the page's "app:" links.
#include "Notice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(NoticePlacement, SitsAboveTheTaskbarAtTheRightEdge) {
    struct Case {
        const char* what;
        std::optional<TRect> taskbar;
        TRect place;
    } cases[] = {
        // 10 pixels from the right edge and 10 above the taskbar.
        {"taskbar at the bottom", TRect{0, 770, 1280, 800}, TRect{980, 580, 1270, 760}},
        {"taskbar at the bottom, off the screen's origin", TRect{-2, 760, 1282, 802},
         TRect{980, 568, 1270, 748}},
        {"no taskbar: 20 pixels assumed", std::nullopt, TRect{980, 590, 1270, 770}},
        // Docked at a side, the taskbar is as high as the screen: the popup goes above the top.
        {"taskbar at the left", TRect{0, 0, 60, 800}, TRect{980, -190, 1270, -10}},
        {"taskbar at the top", TRect{0, 0, 1280, 30}, TRect{980, 580, 1270, 760}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NoticePlacement(1280, 800, TaskbarHeight(c.taskbar)), c.place) << c.what;
    }
    EXPECT_EQ(NoticePlacement(800, 600, 28), (TRect{500, 382, 790, 562}));
}

TEST(AppLinkOf, TheSchemeInAnyCaseCancelsAndGivesTheRest) {
    struct Case {
        std::u16string address;
        std::optional<std::u16string> link;
    } cases[] = {
        {u"app:open", u"open"},
        {u"APP:open", u"open"},
        {u"App:Open?x=1", u"Open?x=1"},
        {u"aPp:", u""},
        {u"app:app:x", u"app:x"},
        {u"http://127.0.0.1:8321/a/zodivodedozi/", std::nullopt},
        {u"about:blank", std::nullopt},
        {u"app", std::nullopt},
        {u"", std::nullopt},
        {u" app:open", std::nullopt},
        {u"apps:open", std::nullopt},
        {u"app\uFF1Aopen", std::nullopt},  // a full-width colon is no colon
        {u"\u0130pp:open", std::nullopt},  // nor a dotted capital I an "a"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AppLinkOf(c.address), c.link) << std::string(c.address.begin(), c.address.end());
    }
}

TEST(NoticeAddress, IsTheServersNoticePage) {
    EXPECT_EQ(NoticeAddress("www.example.org"), "http://www.example.org/toluad/getNotice.html");
}

}  // namespace
