// The downloads on the platform's URL monikers against the demo content server, with their reports
// arriving through the message loop of this (user-interface) thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DemoServer_win.h"
#include "DownloadTestFiles_win.h"
#include "ProfileFile_win.h"
#include "PumpMessages_win.h"
#include "SyncReport_win.h"
#include "TempFolder.h"
#include "TextConv_win.h"
#include "UDownFile.h"
#include "Udownlogo.h"
#include "UrlDownload_win.h"

namespace {

using downloadtest::ReadBytes;
using downloadtest::ServerBytes;
using downloadtest::WriteBytes;
using testwait::PumpUntil;

// Downloads and reports take their time under Wine.
constexpr DWORD kDownloadWait = 30000;

class DownloadsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (demo_server::Host().empty()) GTEST_SKIP() << "no demo server (run through ctest)";
        // A folder name in the ANSI code page's double-byte characters, as a user's may be.
        dir_ = WideToAnsi(temp_.Path().wstring()) + "\\" + kFolderName + "\\";
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
    }
    void TearDown() override {
        if (!demo_server::Host().empty()) {
            EXPECT_TRUE(demo_server::Reset());
        }
    }
    std::vector<std::string> Names() const { return temp_.Names(AnsiToWide(kFolderName)); }
    // A download of `n` server bytes under an address of its own.
    std::string BytesPath(std::size_t n) {
        return "/__test/bytes?n=" + std::to_string(n) + "&token=" + demo_server::UniqueToken();
    }
    void Listen(TDownFile& down) {
        down.OnDownProcess = [this](std::uint32_t p, std::uint32_t m) {
            EXPECT_EQ(m, 100u);
            EXPECT_EQ(GetCurrentThreadId(), ui_);
            progress_.push_back(p);
        };
        down.OnDownComplete = [this] { ++completions_; };
        down.OnDownFail = [this](std::int32_t reason) { failures_.push_back(reason); };
    }
    bool Ended() const { return completions_ + failures_.size() > 0; }

    static constexpr const char* kFolderName = "variz_\xCF\xC2\xD4\xD8";
    const DWORD ui_ = GetCurrentThreadId();
    TempFolder temp_;
    std::string dir_;
    SyncReportWindow reports_;
    std::vector<std::uint32_t> progress_;
    int completions_ = 0;
    std::vector<std::int32_t> failures_;
};

TEST_F(DownloadsTest, MegabyteThroughASlowTrickleReportsRisingPercentagesAndCompletes) {
    const auto path = BytesPath(1000000);
    ASSERT_TRUE(demo_server::SetFault(path, "trickle_bytes_per_second=400000"));
    TDownFile down(WindowsDownloadServices(reports_.Reporter()));
    Listen(down);
    down.SourceFile = demo_server::Url(path);
    down.DestFile = dir_ + "12-1.swf";
    down.BeginDownload();
    ASSERT_TRUE(PumpUntil([&] { return Ended() && !down.CurrentThread(); }, kDownloadWait));

    EXPECT_EQ(completions_, 1);
    EXPECT_TRUE(failures_.empty());
    ASSERT_GE(progress_.size(), 3u) << "a trickle gives several progress reports";
    EXPECT_TRUE(std::is_sorted(progress_.begin(), progress_.end()));
    EXPECT_TRUE(std::adjacent_find(progress_.begin(), progress_.end()) == progress_.end());
    EXPECT_EQ(progress_.back(), 100u);
    const auto got = ReadBytes(down.DestFile);
    EXPECT_EQ(got.size(), 1000000u);
    EXPECT_TRUE(got == ServerBytes(1000000)) << "the file holds other bytes";
    EXPECT_EQ(Names(), (std::vector<std::string>{"12-1.swf"}));
}

TEST_F(DownloadsTest, MissingFileAndUnreachableServerFailOnceAndLeaveNoFile) {
    const auto missing = BytesPath(1000);
    ASSERT_TRUE(demo_server::SetFault(missing, "status=404"));
    struct Case {
        const char* name;
        std::string url;
    } cases[] = {
        {"404", demo_server::Url(missing)},
        // A port of this machine where nothing listens.
        {"unreachable", "http://127.0.0.1:9/video/1-1.swf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        progress_.clear();
        failures_.clear();
        completions_ = 0;
        TDownFile down(WindowsDownloadServices(reports_.Reporter()));
        Listen(down);
        down.SourceFile = c.url;
        down.DestFile = dir_ + "1-1.swf";
        down.BeginDownload();
        ASSERT_TRUE(PumpUntil([&] { return Ended() && !down.CurrentThread(); }, kDownloadWait));
        // Nothing more arrives afterwards.
        testwait::PumpFor(200);
        EXPECT_EQ(completions_, 0);
        ASSERT_EQ(failures_.size(), 1u);
        EXPECT_LT(failures_[0], 0) << "a failure code";
        EXPECT_TRUE(Names().empty());
    }
}

TEST_F(DownloadsTest, StopMidDownloadEndsInAbortWithTheDestinationUntouched) {
    const auto path = BytesPath(1000000);
    ASSERT_TRUE(demo_server::SetFault(path, "trickle_bytes_per_second=100000"));
    const auto dest = dir_ + "12-1.swf";
    WriteBytes(dest, "older episode");
    TDownFile down(WindowsDownloadServices(reports_.Reporter()));
    Listen(down);
    down.SourceFile = demo_server::Url(path);
    down.DestFile = dest;
    down.BeginDownload();
    auto thread = down.CurrentThread();
    ASSERT_TRUE(PumpUntil([&] { return !progress_.empty() || Ended(); }, kDownloadWait));
    ASSERT_FALSE(Ended()) << "the trickle was too fast to stop";
    const auto reportsBefore = progress_.size();
    thread->Terminate();
    ASSERT_TRUE(PumpUntil([&] { return thread->Finished(); }, kDownloadWait));

    EXPECT_EQ(completions_, 0);
    EXPECT_EQ(failures_, (std::vector<std::int32_t>{-2147467260}));
    // The report that was running when the request came may already have seen it.
    EXPECT_LE(progress_.size(), reportsBefore + 1);
    EXPECT_LT(progress_.back(), 100u);
    EXPECT_EQ(ReadBytes(dest), "older episode");
    EXPECT_EQ(Names(), (std::vector<std::string>{"12-1.swf"}));
}

TEST_F(DownloadsTest, ClosedWindowMidDownloadHearsNothingAndTheWorkerDoesNotWait) {
    const auto path = BytesPath(1000000);
    ASSERT_TRUE(demo_server::SetFault(path, "trickle_bytes_per_second=100000"));
    const auto dest = dir_ + "12-1.swf";
    WriteBytes(dest, "older episode");
    auto window = std::make_unique<SyncReportWindow>();
    auto down = std::make_unique<TDownFile>(WindowsDownloadServices(window->Reporter()));
    Listen(*down);
    down->SourceFile = demo_server::Url(path);
    down->DestFile = dest;
    down->BeginDownload();
    auto thread = down->CurrentThread();
    ASSERT_TRUE(PumpUntil([&] { return !progress_.empty(); }, kDownloadWait));
    const auto seen = progress_;

    // The main window goes: first its components, then its report window.
    down.reset();
    window.reset();
    ASSERT_TRUE(PumpUntil([&] { return thread->Finished(); }, kDownloadWait));
    EXPECT_EQ(progress_, seen);
    EXPECT_EQ(completions_, 0);
    EXPECT_TRUE(failures_.empty());
    EXPECT_EQ(ReadBytes(dest), "older episode");
    EXPECT_EQ(Names(), (std::vector<std::string>{"12-1.swf"}));
}

class RecordingPlayer : public LogoPlayer {
  public:
    void LogoRefreshed() override { ++stops; }
    int stops = 0;
};

// One start of the player's logo refresh against the demo server, with Variz.dat in the test's
// folder.
class LogoUpdateTest : public DownloadsTest {
  protected:
    void SetUp() override {
        DownloadsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        settings_ = std::make_shared<ProfileFile>(dir_ + "Variz.dat", kPlayerSettingsBuffer);
        dest_ = dir_ + "web_logo1.swf";
        WriteBytes(dest_, "old logo");
        state_.ProgramDir = dir_;
    }
    void Start() {
        state_.LogoMoviePath = dest_;
        TDownlogoswf logo(state_, player_,
                          LogoServices{WindowsDownloadServices(reports_.Reporter()), settings_,
                                       std::make_shared<WinHttpText>(), demo_server::Host()});
        logo.SourceFile = demo_server::Url(logoPath_);
        logo.DestFile = dest_;
        logo.BeginDownload();
        auto thread = logo.CurrentThread();
        ASSERT_NE(thread, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return thread->Finished(); }, kDownloadWait));
        EXPECT_EQ(logo.CurrentThread(), nullptr);
    }
    // Requests of the logo movie so far.
    std::size_t LogoRequests() const {
        return demo_server::LogLinesWith(logoPath_.substr(logoPath_.find("token="))).size();
    }

    const std::string logoPath_ = BytesPath(5000);
    std::shared_ptr<ProfileFile> settings_;
    std::string dest_;
    PlayerState state_;
    RecordingPlayer player_;
};

TEST_F(LogoUpdateTest, NewTagIsStoredInVarizDatOnlyAfterASuccessfulDownload) {
    ASSERT_TRUE(settings_->Write("system", "logoswf", "7"));
    ASSERT_TRUE(demo_server::SetBody("/images/getlogo.html", "8"));

    // The server fails the logo once: the stored tag stays and the shipped logo takes over.
    ASSERT_TRUE(demo_server::SetFault(logoPath_, "status=500&times=1"));
    Start();
    EXPECT_EQ(settings_->Read("system", "logoswf", ""), "7");
    EXPECT_EQ(state_.LogoMoviePath, dir_ + "web\\logo.swf");
    EXPECT_EQ(player_.stops, 0);
    EXPECT_EQ(ReadBytes(dest_), "old logo");

    // The next start gets it.
    Start();
    EXPECT_EQ(settings_->Read("system", "logoswf", ""), "8");
    EXPECT_EQ(state_.LogoMoviePath, dest_);
    EXPECT_EQ(player_.stops, 1);
    EXPECT_TRUE(ReadBytes(dest_) == ServerBytes(5000));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Variz.dat", "web_logo1.swf"}));
}

TEST_F(LogoUpdateTest, ErrorPageForTheTagCountsAsNoAnswer) {
    ASSERT_TRUE(demo_server::SetFault("/images/getlogo.html", "status=404"));
    Start();
    // Nothing stored and no tag: nothing to fetch, and the logo on disk shows again.
    EXPECT_EQ(LogoRequests(), 0u);
    EXPECT_EQ(player_.stops, 1);
    EXPECT_EQ(settings_->Read("system", "logoswf", "<none>"), "<none>");
    EXPECT_EQ(ReadBytes(dest_), "old logo");
    EXPECT_EQ(Names(), (std::vector<std::string>{"web_logo1.swf"}));
}

TEST_F(LogoUpdateTest, TagWithALineBreakIsStoredWithoutItAndFetchedOnce) {
    ASSERT_TRUE(settings_->Write("system", "logoswf", "7"));
    ASSERT_TRUE(demo_server::SetBody("/images/getlogo.html", "9\r\n"));
    Start();
    EXPECT_EQ(settings_->Read("system", "logoswf", ""), "9");
    EXPECT_EQ(LogoRequests(), 1u);
    Start();
    EXPECT_EQ(LogoRequests(), 1u) << "the unchanged tag fetched the logo again";
    EXPECT_EQ(player_.stops, 2);
    EXPECT_TRUE(ReadBytes(dest_) == ServerBytes(5000));
}

}  // namespace
