#include "PendingLoadingPage.h"

#include <gtest/gtest.h>

namespace {

TEST(PendingLoadingPage, CompletionTakesThePageOnce) {
    PendingLoadingPage p;
    EXPECT_FALSE(p.TakePage());
    p.Wait("<body>", "http://h/a");
    EXPECT_EQ(p.TakePage(), std::optional<std::string>("<body>"));
    EXPECT_FALSE(p.TakePage());
    EXPECT_FALSE(p.TakeTarget());  // nothing waits any more: a later error opens nothing
}

TEST(PendingLoadingPage, FailedBlankDocumentOpensTheTargetOnce) {
    PendingLoadingPage p;
    p.Wait("<body>", "http://h/a");
    EXPECT_EQ(p.TakeTarget(), std::optional<std::string>("http://h/a"));
    EXPECT_FALSE(p.TakeTarget());
    EXPECT_FALSE(p.TakePage());  // nor is the page loaded into a later document
}

TEST(PendingLoadingPage, TheLatestPageWins) {
    PendingLoadingPage p;
    p.Wait("one", "http://h/1");
    p.Wait("two", "http://h/2");
    EXPECT_EQ(p.TakeTarget(), std::optional<std::string>("http://h/2"));
}

}  // namespace
