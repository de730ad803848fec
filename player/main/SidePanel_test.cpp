#include "SidePanel.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct Step {
    const char* what;
    std::function<void(SidePanel&)> act;
    SideLayer layer;
    bool navigateFailed;
};

void Walk(const std::vector<Step>& steps) {
    SidePanel side;
    EXPECT_EQ(side.Layer(), SideLayer::Cover);
    for (const auto& s : steps) {
        s.act(side);
        EXPECT_EQ(side.Layer(), s.layer) << s.what;
        EXPECT_EQ(side.NavigateFailed(), s.navigateFailed) << s.what;
    }
}

const auto Complete = [](SidePanel& s) { s.DocumentComplete(); };
const auto Error = [](SidePanel& s) { EXPECT_TRUE(s.NavigateError()); };
const auto Navigate = [](SidePanel& s) { s.PlayerNavigates(); };
const auto History = [](SidePanel& s) { s.ShowHistory(); };
const auto Study = [](SidePanel& s) { s.ShowSitePage(); };

TEST(SidePanel, PageCompletesOnline) {
    Walk({{"start page requested", Navigate, SideLayer::Cover, false},
          {"loading page completes", Complete, SideLayer::SitePage, false},
          {"history button", History, SideLayer::History, false},
          {"study button", Study, SideLayer::SitePage, false}});
}

TEST(SidePanel, FailedNavigationFallsBackToHistoryUntilThePlayerNavigates) {
    Walk({{"start page requested", Navigate, SideLayer::Cover, false},
          {"loading page completes", Complete, SideLayer::SitePage, false},
          {"start page fails", Error, SideLayer::SitePage, true},
          {"a frame completes", Complete, SideLayer::History, true},
          {"study button shows the page layer anyway", Study, SideLayer::SitePage, true},
          {"another document still falls back", Complete, SideLayer::History, true},
          {"log-in button navigates", Navigate, SideLayer::History, false},
          {"loading page completes", Complete, SideLayer::SitePage, false}});
}

TEST(SidePanel, ErrorBeforeAnyDocumentLeavesTheCoverUntilCompletion) {
    Walk({{"error", Error, SideLayer::Cover, true},
          {"history button", History, SideLayer::History, true},
          {"completion", Complete, SideLayer::History, true}});
}

}  // namespace
