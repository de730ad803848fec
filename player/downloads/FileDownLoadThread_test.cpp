// The download thread and its monitor: the percentage rule, when reports are made, cancellation,
// the outcome, and the file that appears only when complete.
#include "FileDownLoadThread.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "DownloadFakes.h"
#include "DrainReports.h"
#include "TempFolder.h"
#include "WaitFor.h"

namespace {

using namespace fakes;

TEST(DownloadPercent, Table) {
    struct Case {
        std::uint32_t p, m;
        std::optional<std::uint32_t> percent;
    } cases[] = {
        // A maximum that is a multiple of 100 runs from 0 to 100.
        {5, 500, 1},
        {250, 500, 50},
        {500, 500, 100},
        // 150 bytes: the divisor is 1, so the value is the byte count.
        {1, 150, 1},
        {150, 150, 150},
        // 9 999 bytes: the divisor is 99, and the end reads 101.
        {98, 9999, 0},
        {99, 9999, 1},
        {9999, 9999, 101},
        // 1 000 000 bytes: exactly 100 at the end.
        {9999, 1000000, 0},
        {10000, 1000000, 1},
        {999999, 1000000, 99},
        {1000000, 1000000, 100},
        {4294967295u, 4294967295u, 100},
        // Nothing for a zero progress or maximum.
        {0, 0, std::nullopt},
        {0, 500, std::nullopt},
        {500, 0, std::nullopt},
        // Below 100 bytes: the plain share instead of a division by zero.
        {1, 1, 100},
        {1, 3, 33},
        {50, 99, 50},
        {99, 99, 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DownloadPercent(c.p, c.m), c.percent) << c.p << " of " << c.m;
}

// Stands in for the thread: records the reports, answers as the test says.
class RecordingOwner : public MonitorOwner {
  public:
    bool ReportProgress(std::uint32_t progress, std::uint32_t progressMax) override {
        reports.push_back(progress);
        EXPECT_EQ(progressMax, 100u);
        return delivered;
    }
    bool StopRequested() const override { return terminated; }
    std::vector<std::uint32_t> reports;
    bool delivered = true;
    bool terminated = false;
};

TEST(DownLoadMonitor, ReportsEachChangeOnceStartingAfterZero) {
    RecordingOwner owner;
    TDownLoadMonitor monitor(&owner);
    // 0 matches the start value; 15 bytes of 1000 is still 1; a step back is a change too.
    for (std::uint32_t p : {5u, 10u, 15u, 15u, 20u, 20u, 10u, 1000u, 1000u})
        EXPECT_EQ(monitor.OnProgress(p, 1000), kResultOk);
    EXPECT_EQ(owner.reports, (std::vector<std::uint32_t>{1, 2, 1, 100}));
}

TEST(DownLoadMonitor, FromTenThousandBytesOnNoReportPassesHundredAndTheLastIsHundred) {
    for (std::uint32_t m :
         {10000u, 10001u, 10099u, 10199u, 19999u, 99999u, 1000000u, 1234567u, 4294967295u}) {
        RecordingOwner owner;
        TDownLoadMonitor monitor(&owner);
        const std::uint32_t step = std::max<std::uint32_t>(1, m / 5000);
        for (std::uint64_t p = 0; p < m; p += step)
            monitor.OnProgress(static_cast<std::uint32_t>(p), m);
        monitor.OnProgress(m, m);
        ASSERT_FALSE(owner.reports.empty()) << m;
        EXPECT_EQ(owner.reports.back(), 100u) << m;
        EXPECT_LE(*std::max_element(owner.reports.begin(), owner.reports.end()), 100u) << m;
        EXPECT_TRUE(std::adjacent_find(owner.reports.begin(), owner.reports.end()) ==
                    owner.reports.end())
            << "a value reported twice in a row for " << m;
    }
}

TEST(DownLoadMonitor, StopRequestTakesEffectAfterTheNextChangedReport) {
    struct Call {
        std::uint32_t p;
        bool terminateBefore;
        std::optional<std::uint32_t> report;
        std::int32_t answer;
    };
    struct Case {
        const char* name;
        bool delivered;
        std::vector<Call> calls;
    } cases[] = {
        {"stop request",
         true,
         {{100, false, 10, kResultOk},
          {105, true, std::nullopt, kResultOk},  // same percentage: the download goes on
          {400, false, 40, kResultAbort},        // delivered, then abandoned
          {900, false, std::nullopt, kResultAbort}}},
        {"stop request at the last change",
         true,
         {{500, true, 50, kResultAbort}, {1000, false, std::nullopt, kResultAbort}}},
        {"report that could not run",
         false,
         {{100, false, 10, kResultAbort}, {200, false, std::nullopt, kResultAbort}}},
    };
    for (const auto& c : cases) {
        RecordingOwner owner;
        owner.delivered = c.delivered;
        TDownLoadMonitor monitor(&owner);
        for (const auto& call : c.calls) {
            owner.terminated = owner.terminated || call.terminateBefore;
            const auto before = owner.reports.size();
            EXPECT_EQ(monitor.OnProgress(call.p, 1000), call.answer) << c.name << " at " << call.p;
            if (call.report) {
                ASSERT_EQ(owner.reports.size(), before + 1) << c.name << " at " << call.p;
                EXPECT_EQ(owner.reports.back(), *call.report) << c.name;
            } else {
                EXPECT_EQ(owner.reports.size(), before) << c.name << " at " << call.p;
            }
        }
    }
}

TEST(DownLoadMonitor, WithoutAThreadReportsNothing) {
    TDownLoadMonitor monitor(nullptr);
    EXPECT_EQ(monitor.OnProgress(500, 1000), kResultOk);
}

// What the three callbacks received, in order.
struct Event {
    enum Kind { Progress, Complete, Fail } kind;
    std::int64_t value = 0;  // the percentage or the reason
    bool operator==(const Event& o) const { return kind == o.kind && value == o.value; }
};
std::ostream& operator<<(std::ostream& os, const Event& e) {
    return os << (e.kind == Event::Progress   ? "progress "
                  : e.kind == Event::Complete ? "complete"
                                              : "fail ")
              << (e.kind == Event::Complete ? "" : std::to_string(e.value));
}
Event P(std::int64_t v) {
    return {Event::Progress, v};
}
Event Done() {
    return {Event::Complete, 0};
}
Event Failed(std::int64_t v) {
    return {Event::Fail, v};
}

class DownloadThreadTest : public ::testing::Test {
  protected:
    std::shared_ptr<TFileDownLoadThread> Make(const std::string& url, const std::string& file,
                                              bool suspended = false) {
        return TFileDownLoadThread::Create(
            url, file,
            [this](TFileDownLoadThread& sender, std::uint32_t p, std::uint32_t m) {
                EXPECT_EQ(m, 100u);
                EXPECT_EQ(sender.Progress(), p);
                events.push_back(P(p));
            },
            [this](TFileDownLoadThread& sender) {
                EXPECT_EQ(sender.Result(), kResultOk);
                events.push_back(Done());
            },
            [this](TFileDownLoadThread& sender, std::int32_t reason) {
                EXPECT_EQ(sender.Result(), reason);
                events.push_back(Failed(reason));
            },
            suspended, Services());
    }
    DownloadServices Services() { return {queue, download, std::make_shared<LocalFiles>()}; }
    bool Finish(const std::shared_ptr<TFileDownLoadThread>& t) {
        return testwait::DrainUntil(*queue, [&] { return t->Finished(); });
    }
    bool EventCount(std::size_t n) {
        return testwait::DrainUntil(*queue, [&] { return events.size() >= n; });
    }

    TempFolder dir;
    std::shared_ptr<SyncReportQueue> queue = std::make_shared<SyncReportQueue>();
    std::shared_ptr<ScriptedDownload> download = std::make_shared<ScriptedDownload>();
    std::vector<Event> events;
    const std::string url = "http://127.0.0.1:8321/video/12-1.swf";
};

TEST_F(DownloadThreadTest, MegabyteDownloadReportsRisingPercentagesThenCompletesWithTheBytes) {
    std::string body(1000000, '\0');
    for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7 + i / 251);
    download->SetBody(url, body);
    std::vector<Step> steps;
    for (std::uint32_t p = 0; p <= 1000000; p += 16384) steps.push_back(ProgressStep(p, 1000000));
    steps.push_back(ProgressStep(1000000, 1000000));
    steps.push_back(FinishStep(kResultOk));
    download->Push(url, steps);

    const auto dest = dir.File("12-1.swf");
    auto t = Make(url, dest);
    ASSERT_TRUE(Finish(t));

    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.back(), Done());
    std::vector<std::int64_t> percents;
    for (std::size_t i = 0; i + 1 < events.size(); ++i) {
        ASSERT_EQ(events[i].kind, Event::Progress) << i;
        percents.push_back(events[i].value);
    }
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_TRUE(std::adjacent_find(percents.begin(), percents.end()) == percents.end());
    EXPECT_EQ(percents.back(), 100);
    const auto got = ReadFile(dest);
    EXPECT_TRUE(got == body) << "the destination holds " << got.size() << " other bytes";

    // The cache entry goes first; the bytes went to a file of their own beside the destination,
    // which is gone now.
    EXPECT_EQ(download->Calls(), (std::vector<std::string>{"delete " + url, "download " + url}));
    const auto written = download->FilesWritten();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_NE(written[0], dest);
    EXPECT_EQ(fs::path(written[0]).parent_path(), fs::path(dest).parent_path());
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"12-1.swf"}));
}

TEST_F(DownloadThreadTest, FailureReportsOnceAndLeavesTheDestinationAsItWas) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<Event> events;
    } cases[] = {
        {"no connection", {FinishStep(kCannotConnect)}, {Failed(-2146697212)}},
        {"cut after some data",
         {ProgressStep(300, 1000), FinishStep(kResultFail)},
         {P(30), Failed(kResultFail)}},
    };
    for (const auto& c : cases) {
        for (bool existed : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (existed ? ", file there before" : ""));
            events.clear();
            const auto dest = dir.File("12-1.swf");
            fs::remove(dest);
            if (existed) WriteFile(dest, "older episode");
            download->SetBody(url, std::string(1000, 'x'));
            download->Push(url, c.steps);
            auto t = Make(url, dest);
            ASSERT_TRUE(Finish(t));
            EXPECT_EQ(events, c.events);
            if (existed) {
                EXPECT_EQ(dir.Names(), (std::vector<std::string>{"12-1.swf"}));
                EXPECT_EQ(ReadFile(dest), "older episode");
            } else {
                EXPECT_TRUE(dir.Names().empty());
            }
        }
    }
}

TEST_F(DownloadThreadTest, StopRequestGivesOneMoreProgressThenAbortOrTheRealOutcome) {
    struct Case {
        const char* name;
        std::vector<Step> afterStop;
        std::vector<Event> events;
    } cases[] = {
        {"next change aborts",
         {ProgressStep(105, 1000), ProgressStep(400, 1000), ProgressStep(900, 1000),
          FinishStep(kResultOk)},
         {P(10), P(40), Failed(-2147467260)}},
        {"no further change", {ProgressStep(100, 1000), FinishStep(kResultOk)}, {P(10), Done()}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        events.clear();
        const auto dest = dir.File("12-1.swf");
        WriteFile(dest, "older episode");
        const std::string u = url + "?" + c.name;
        download->SetBody(u, "new");
        const auto answered = download->SinkAnswers().size();
        download->Push(u, {ProgressStep(100, 1000)});
        auto t = Make(u, dest);
        ASSERT_TRUE(EventCount(1));
        // A request made while the report runs counts at that very report; wait until it is past.
        ASSERT_TRUE(download->WaitForAnswers(answered + 1));
        t->Terminate();
        download->Push(u, c.afterStop);
        ASSERT_TRUE(Finish(t));
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(ReadFile(dest), c.events.back() == Done() ? "new" : "older episode");
        EXPECT_EQ(dir.Names(), (std::vector<std::string>{"12-1.swf"}));
    }
    // The platform heard the abort once and was not called again.
    const auto answers = download->SinkAnswers();
    EXPECT_EQ(std::count(answers.begin(), answers.end(), kResultAbort), 1);
}

TEST_F(DownloadThreadTest, ThreadWithAMissingPartNeverRuns) {
    const auto dest = dir.File("a.swf");
    const TFileDownLoadThread::ProgressEvent progress = [this](auto&, auto p, auto) {
        events.push_back(P(p));
    };
    const TFileDownLoadThread::CompleteEvent complete = [this](auto&) { events.push_back(Done()); };
    const TFileDownLoadThread::FailEvent fail = [this](auto&, auto r) {
        events.push_back(Failed(r));
    };
    struct Case {
        const char* name;
        std::string url, file;
        bool progress, complete, fail;
    } cases[] = {
        {"no progress callback", url, dest, false, true, true},
        {"no completion callback", url, dest, true, false, true},
        {"no failure callback", url, dest, true, true, false},
        {"empty address", "", dest, true, true, true},
        {"empty file name", url, "", true, true, true},
    };
    download->Push(url, {FinishStep(kResultOk)});
    for (const auto& c : cases) {
        for (bool suspended : {false, true}) {
            auto t = TFileDownLoadThread::Create(c.url, c.file, c.progress ? progress : nullptr,
                                                 c.complete ? complete : nullptr,
                                                 c.fail ? fail : nullptr, suspended, Services());
            t->Resume();
            EXPECT_FALSE(t->Runnable()) << c.name;
            queue->WaitAndRunPending(std::chrono::milliseconds(20));
            EXPECT_FALSE(t->Finished()) << c.name;
        }
    }
    EXPECT_TRUE(download->Calls().empty());
    EXPECT_TRUE(events.empty());
}

TEST_F(DownloadThreadTest, SuspendedThreadWaitsForResume) {
    const auto dest = dir.File("a.swf");
    download->Push(url, {FinishStep(kResultOk)});
    auto t = Make(url, dest, true);
    queue->WaitAndRunPending(std::chrono::milliseconds(20));
    EXPECT_TRUE(download->Calls().empty());
    t->Resume();
    t->Resume();
    ASSERT_TRUE(Finish(t));
    EXPECT_EQ(events, (std::vector<Event>{Done()}));
    EXPECT_EQ(download->Calls().size(), 2u);  // the cache entry and one download, not two
}

TEST_F(DownloadThreadTest, WhenTheUserInterfaceSideIsGoneTheDownloadStopsWithoutReports) {
    const auto dest = dir.File("12-1.swf");
    download->Push(url, {ProgressStep(100, 1000)});
    auto t = Make(url, dest);
    ASSERT_TRUE(EventCount(1));
    queue->Close();
    download->Push(url, {ProgressStep(500, 1000), ProgressStep(1000, 1000), FinishStep(kResultOk)});
    ASSERT_TRUE(testwait::WaitUntil([&] { return t->Finished(); }))
        << "the worker waits for a closed user-interface side";
    EXPECT_EQ(events, (std::vector<Event>{P(10)}));
    EXPECT_EQ(download->SinkAnswers().back(), kResultAbort);
    EXPECT_TRUE(dir.Names().empty());
}

TEST_F(DownloadThreadTest, DestinationThatCannotBeReplacedIsAFailure) {
    // A folder stands where the file should go.
    const auto dest = dir.File("12-1.swf");
    fs::create_directories(fs::path(dest) / "inside");
    download->Push(url, {FinishStep(kResultOk)});
    auto t = Make(url, dest);
    ASSERT_TRUE(Finish(t));
    EXPECT_EQ(events, (std::vector<Event>{Failed(kResultFail)}));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"12-1.swf"}));
    EXPECT_TRUE(fs::is_directory(dest));
}

}  // namespace
