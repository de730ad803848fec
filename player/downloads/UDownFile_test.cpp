// The download component: its paths, its events, a download replaced by the next one, and its
// destruction while a download runs.
#include "UDownFile.h"

#include <gtest/gtest.h>

#include "DownloadFakes.h"
#include "DrainReports.h"
#include "TempFolder.h"
#include "WaitFor.h"

namespace {

using namespace fakes;

class DownFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        down = std::make_unique<TDownFile>(
            DownloadServices{queue, download, std::make_shared<LocalFiles>()});
        Listen(*down);
    }
    void Listen(TDownFile& d) {
        d.OnDownProcess = [this](std::uint32_t p, std::uint32_t m) {
            EXPECT_EQ(m, 100u);
            events.push_back("progress " + std::to_string(p));
        };
        d.OnDownComplete = [this] { events.push_back("complete"); };
        d.OnDownFail = [this](std::int32_t r) { events.push_back("fail " + std::to_string(r)); };
    }
    std::shared_ptr<TFileDownLoadThread> Start(const std::string& url, const std::string& dest) {
        down->SourceFile = url;
        down->DestFile = dest;
        down->BeginDownload();
        return down->CurrentThread();
    }
    bool Finish(const std::shared_ptr<TFileDownLoadThread>& t) {
        return testwait::DrainUntil(*queue, [&] { return t->Finished(); });
    }
    bool EventCount(std::size_t n) {
        return testwait::DrainUntil(*queue, [&] { return events.size() >= n; });
    }

    TempFolder dir;
    std::shared_ptr<SyncReportQueue> queue = std::make_shared<SyncReportQueue>();
    std::shared_ptr<ScriptedDownload> download = std::make_shared<ScriptedDownload>();
    std::unique_ptr<TDownFile> down;
    std::vector<std::string> events;
};

TEST_F(DownFileTest, BlankPathStartsNothing) {
    struct Case {
        std::string source, dest;
    } cases[] = {
        {"", "C:\\Variz\\cache\\1-1.swf"},
        {"http://h/1.swf", ""},
        {"http://h/1.swf", "   "},
        {" \t", "C:\\Variz\\cache\\1-1.swf"},
    };
    for (const auto& c : cases) {
        down->SourceFile = c.source;
        down->DestFile = c.dest;
        down->BeginDownload();
        EXPECT_EQ(down->CurrentThread(), nullptr) << "'" << c.source << "' '" << c.dest << "'";
    }
    queue->WaitAndRunPending(std::chrono::milliseconds(20));
    EXPECT_TRUE(download->Calls().empty());
    EXPECT_TRUE(events.empty());
}

TEST_F(DownFileTest, EventsArriveInOrderAndTheFinishedDownloadIsForgotten) {
    const std::string url = "http://h/v/7-2.swf";
    download->SetBody(url, "episode 7-2");
    download->Push(url, {ProgressStep(500, 2000), ProgressStep(2000, 2000), FinishStep(kResultOk)});
    // Paths go to the thread as they are, blanks and all.
    auto t = Start(url, dir.File(" 7-2.swf"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->URL(), url);
    ASSERT_TRUE(Finish(t));
    EXPECT_EQ(events, (std::vector<std::string>{"progress 25", "progress 100", "complete"}));
    EXPECT_EQ(ReadFile(dir.File(" 7-2.swf")), "episode 7-2");
    EXPECT_EQ(down->CurrentThread(), nullptr);
    down.reset();  // nothing left to stop
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(DownFileTest, FailedDownloadRaisesOnDownFailOnceAndNeverComplete) {
    const std::string url = "http://h/v/404.swf";
    download->Push(url, {FinishStep(kCannotConnect)});
    auto t = Start(url, dir.File("404.swf"));
    ASSERT_TRUE(Finish(t));
    EXPECT_EQ(events, (std::vector<std::string>{"fail -2146697212"}));
    EXPECT_FALSE(fs::exists(dir.File("404.swf")));
}

TEST_F(DownFileTest, EventWithoutAHandlerIsSkipped) {
    const std::string url = "http://h/v/1.swf";
    down->OnDownProcess = nullptr;
    down->OnDownFail = nullptr;
    download->Push(url, {ProgressStep(50, 100), FinishStep(kResultOk)});
    auto t = Start(url, dir.File("1.swf"));
    ASSERT_TRUE(Finish(t));
    EXPECT_EQ(events, (std::vector<std::string>{"complete"}));
}

TEST_F(DownFileTest, SecondBeginDownloadReplacesTheFirstAndBothReachTheSameHandlers) {
    struct Case {
        const char* name;
        std::vector<Step> firstAfterSecondStarts;
        std::vector<std::string> firstEvents;
        bool firstFileWritten;
    } cases[] = {
        {"first aborts at its next change",
         {ProgressStep(105, 1000), ProgressStep(300, 1000), FinishStep(kResultOk)},
         {"progress 10", "progress 30", "fail -2147467260"},
         false},
        {"first ends before it changes again",
         {FinishStep(kResultOk)},
         {"progress 10", "complete"},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        events.clear();
        const std::string a = std::string("http://h/a.swf?") + c.name, b = a + "&b";
        const auto fileA = dir.File("a.swf"), fileB = dir.File("b.swf");
        fs::remove(fileA);
        fs::remove(fileB);
        download->SetBody(a, "episode a");
        download->SetBody(b, "episode b");

        const auto answered = download->SinkAnswers().size();
        download->Push(a, {ProgressStep(100, 1000)});
        auto first = Start(a, fileA);
        ASSERT_TRUE(EventCount(1));
        ASSERT_TRUE(download->WaitForAnswers(answered + 1));  // past its look at the stop request
        auto second = Start(b, fileB);
        ASSERT_NE(first, second);
        EXPECT_TRUE(first->Terminated());

        download->Push(a, c.firstAfterSecondStarts);
        ASSERT_TRUE(Finish(first));
        std::vector<std::string> expected = c.firstEvents;
        EXPECT_EQ(events, expected);
        // The first one's end does not forget the download that runs now.
        EXPECT_EQ(down->CurrentThread(), second);

        download->Push(b, {ProgressStep(1000, 1000), FinishStep(kResultOk)});
        ASSERT_TRUE(Finish(second));
        expected.insert(expected.end(), {"progress 100", "complete"});
        EXPECT_EQ(events, expected);
        EXPECT_EQ(down->CurrentThread(), nullptr);
        EXPECT_EQ(fs::exists(fileA), c.firstFileWritten);
        EXPECT_EQ(ReadFile(fileB), "episode b");
    }
}

TEST_F(DownFileTest, DestroyedComponentHearsNothingMoreAndItsDownloadStops) {
    // Destroyed while the worker fetches, and while a report waits for the user-interface thread.
    for (bool reportWaiting : {false, true}) {
        SCOPED_TRACE(reportWaiting ? "report waiting" : "fetching");
        events.clear();
        SetUp();
        const std::string url = std::string("http://h/gone.swf?") + (reportWaiting ? "w" : "f");
        const auto dest = dir.File("gone.swf");
        WriteFile(dest, "older episode");
        download->Push(url, {ProgressStep(100, 1000)});
        auto t = Start(url, dest);
        ASSERT_TRUE(EventCount(1));
        const int entered = download->SinkCalls();
        if (reportWaiting) {
            download->Push(url, {ProgressStep(200, 1000)});
            ASSERT_TRUE(testwait::WaitUntil([&] { return download->SinkCalls() > entered; }));
        }
        down.reset();
        EXPECT_TRUE(t->Terminated());
        download->Push(url,
                       {ProgressStep(600, 1000), ProgressStep(1000, 1000), FinishStep(kResultOk)});
        ASSERT_TRUE(Finish(t));
        EXPECT_EQ(events, (std::vector<std::string>{"progress 10"}));
        EXPECT_EQ(ReadFile(dest), "older episode");
        EXPECT_EQ(dir.Names(), (std::vector<std::string>{"gone.swf"}));
    }
}

}  // namespace
