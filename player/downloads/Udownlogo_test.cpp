// The logo updater: the version check, the download, the stored tag, and what the player is told.
#include "Udownlogo.h"

#include <gtest/gtest.h>

#include <optional>

#include "DownloadFakes.h"
#include "DownloadFile.h"
#include "DrainReports.h"
#include "IniFile.h"
#include "TempFolder.h"

namespace {

using namespace fakes;

class CountingPlayer : public LogoPlayer {
  public:
    void LogoRefreshed() override { ++stops; }
    int stops = 0;
};

const std::string kHost = "127.0.0.1:8321";
// What a server answers for a page it does not have.
const std::string kErrorPage =
    "<html><head><title>404</title></head>\r\n<body><h3>Not Found</h3></body></html>\r\n";
const std::string kLogoUrl = "http://127.0.0.1:8321/images/logo1.swf";

class LogoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state.ProgramDir = "C:\\Variz\\";
        state.LogoMoviePath = "C:\\Variz\\web\\logo1.swf";
        dest = dir.File("logo1.swf");
        WriteFile(dest, "old logo");
        download->SetBody(kLogoUrl, "new logo");
    }
    std::unique_ptr<TDownlogoswf> Make(std::shared_ptr<HttpTextPort> http) {
        auto logo = std::make_unique<TDownlogoswf>(
            state, player,
            LogoServices{{queue, download, std::make_shared<LocalFiles>()}, settings, http, kHost});
        logo->SourceFile = kLogoUrl;
        logo->DestFile = dest;
        return logo;
    }
    bool Finish(const std::shared_ptr<TlogoswfThread>& t) {
        return testwait::DrainUntil(*queue, [&] { return t->Finished(); });
    }

    TempFolder dir;
    std::string dest;
    PlayerState state;
    CountingPlayer player;
    std::shared_ptr<SettingsFile> settings =
        std::make_shared<IniFile>(dir.File("Variz.dat"), kPlayerSettingsBuffer);
    std::shared_ptr<SyncReportQueue> queue = std::make_shared<SyncReportQueue>();
    std::shared_ptr<ScriptedDownload> download = std::make_shared<ScriptedDownload>();
};

TEST_F(LogoTest, VersionCheckDecidesTheDownloadAndTheTagIsStoredOnlyAfterSuccess) {
    struct Case {
        const char* name;
        std::optional<std::string> stored;  // none: no key in the file
        std::string answer;                 // the server's body; empty when unreachable
        std::optional<std::int32_t> download;
        std::string storedAfter;
        bool completion;
    } cases[] = {
        {"same tag", "7", "7", std::nullopt, "7", true},
        {"new tag", "7", "8", kResultOk, "8", true},
        {"no tag and no server", std::nullopt, "", std::nullopt, "", true},
        {"new tag, download fails", "7", "8", kCannotConnect, "7", false},
        {"tag differing in case only", "abc", "ABC", kResultOk, "ABC", true},
        {"stored tag and no server", "7", "", kResultOk, "", true},
        // An answer that is no tag counts as no server.
        {"error page, nothing stored", std::nullopt, kErrorPage, std::nullopt, "", true},
        {"error page, tag stored", "7", kErrorPage, kResultOk, "", true},
        {"answer of several lines", "7", "8\r\n9\r\n", kResultOk, "", true},
        {"tag too long", std::nullopt, std::string(65, '8'), std::nullopt, "", true},
        {"longest tag", std::nullopt, std::string(64, '8'), kResultOk, std::string(64, '8'), true},
        {"new tag with a line break", "7", "8\r\n", kResultOk, "8", true},
        {"same tag with a line break", "8", "8\r\n", std::nullopt, "8", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        fs::remove(dir.File("Variz.dat"));
        if (c.stored) {
            ASSERT_TRUE(settings->Write("system", "logoswf", *c.stored));
        }
        player.stops = 0;
        const auto callsBefore = download->Calls().size();
        if (c.download) download->Push(kLogoUrl, {FinishStep(*c.download)});
        auto http = std::make_shared<FakeHttpText>(c.answer);

        auto logo = Make(http);
        logo->BeginDownload();
        auto t = logo->CurrentThread();
        ASSERT_NE(t, nullptr);
        ASSERT_TRUE(Finish(t));

        EXPECT_EQ(http->Asked(),
                  (std::vector<std::string>{"http://127.0.0.1:8321/images/getlogo.html"}));
        const auto calls = download->Calls();
        const std::vector<std::string> made(calls.begin() + callsBefore, calls.end());
        const auto expectedCalls =
            c.download
                ? std::vector<std::string>{"delete " + kLogoUrl, "quiet download " + kLogoUrl}
                : std::vector<std::string>{};
        EXPECT_EQ(made, expectedCalls);
        EXPECT_EQ(settings->Read("system", "logoswf", "<none>"),
                  c.stored || c.download ? c.storedAfter : "<none>");
        EXPECT_EQ(ReadFile(dest), c.download == kResultOk ? "new logo" : "old logo");
        EXPECT_EQ(player.stops, c.completion ? 1 : 0);
        EXPECT_EQ(state.LogoMoviePath,
                  c.completion ? "C:\\Variz\\web\\logo1.swf" : "C:\\Variz\\web\\logo.swf");
        EXPECT_EQ(logo->CurrentThread(), nullptr);
        for (const auto& name : dir.Names())
            EXPECT_FALSE(net::IsDownloadLeftover(name)) << "a partial file was left";
    }
}

TEST(LogoTagOf, AShortSingleLineOrNothing) {
    struct Case {
        std::string answer, tag;
    } cases[] = {
        {"7", "7"},
        {"8\r\n", "8"},
        {" \t8 \n\n", "8"},
        {"\r\n", ""},
        {"", ""},
        {"v 1.2", "v 1.2"},
        {"\xD1\xA7\xCF\xB0 7", "\xD1\xA7\xCF\xB0 7"},  // the code page's characters
        {std::string(64, 'a'), std::string(64, 'a')},
        {" " + std::string(64, 'a') + "\r\n", std::string(64, 'a')},
        {std::string(65, 'a'), ""},
        {"8\r\n9", ""},
        {"8\n9", ""},
        {"8\t9", ""},
        {std::string("8\0", 2), ""},
        {"8\x7F", ""},
        {kErrorPage, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(LogoTagOf(c.answer), c.tag) << "'" << c.answer << "'";
}

TEST_F(LogoTest, TagWithALineBreakIsStoredWithoutItAndTheNextStartDownloadsNothing) {
    ASSERT_TRUE(settings->Write("system", "logoswf", "7"));
    download->Push(kLogoUrl, {FinishStep(kResultOk)});
    for (int start = 0; start < 2; ++start) {
        auto logo = Make(std::make_shared<FakeHttpText>("8\r\n"));
        logo->BeginDownload();
        ASSERT_TRUE(Finish(logo->CurrentThread()));
        EXPECT_EQ(settings->Read("system", "logoswf", ""), "8");
    }
    EXPECT_EQ(download->Calls(),
              (std::vector<std::string>{"delete " + kLogoUrl, "quiet download " + kLogoUrl}));
    EXPECT_EQ(player.stops, 2);
}

TEST_F(LogoTest, RefusedTagWriteEndsWithoutAReportButTheEndIsSignalled) {
    settings = std::make_shared<IniFile>(dir.File("missing/Variz.dat"), kPlayerSettingsBuffer);
    download->Push(kLogoUrl, {FinishStep(kResultOk)});
    auto logo = Make(std::make_shared<FakeHttpText>("8"));
    logo->BeginDownload();
    auto t = logo->CurrentThread();
    ASSERT_TRUE(Finish(t));
    EXPECT_EQ(player.stops, 0);
    EXPECT_EQ(state.LogoMoviePath, "C:\\Variz\\web\\logo1.swf");
    EXPECT_EQ(logo->CurrentThread(), nullptr);
}

TEST_F(LogoTest, BlankPathsStartNothing) {
    auto http = std::make_shared<FakeHttpText>("8");
    auto logo = Make(http);
    for (auto blank : {std::string(), std::string("  ")}) {
        logo->SourceFile = blank;
        logo->DestFile = dest;
        logo->BeginDownload();
        EXPECT_EQ(logo->CurrentThread(), nullptr);
        logo->SourceFile = kLogoUrl;
        logo->DestFile = blank;
        logo->BeginDownload();
        EXPECT_EQ(logo->CurrentThread(), nullptr);
    }
    queue->WaitAndRunPending(std::chrono::milliseconds(20));
    EXPECT_TRUE(http->Asked().empty());
}

TEST_F(LogoTest, ThreadWithAMissingPartNeverRuns) {
    const TlogoswfThread::CompleteEvent complete = [](TlogoswfThread&) {};
    const TlogoswfThread::FailEvent fail = [](TlogoswfThread&, std::int32_t) {};
    auto http = std::make_shared<FakeHttpText>("8");
    const LogoServices services{
        {queue, download, std::make_shared<LocalFiles>()}, settings, http, kHost};
    struct Case {
        std::string url, file;
        bool complete, fail;
    } cases[] = {
        {kLogoUrl, dest, false, true},
        {kLogoUrl, dest, true, false},
        {"", dest, true, true},
        {kLogoUrl, "", true, true},
    };
    for (const auto& c : cases) {
        auto t = TlogoswfThread::Create(c.url, c.file, c.complete ? complete : nullptr,
                                        c.fail ? fail : nullptr, false, services);
        t->Resume();
        EXPECT_FALSE(t->Runnable());
    }
    queue->WaitAndRunPending(std::chrono::milliseconds(20));
    EXPECT_TRUE(http->Asked().empty());
}

TEST_F(LogoTest, StopRequestChangesNothing) {
    // A second start asks the first check to stop; both still run to their ends and report.
    ASSERT_TRUE(settings->Write("system", "logoswf", "8"));
    auto http = std::make_shared<FakeHttpText>("8", true);
    auto logo = Make(http);
    logo->BeginDownload();
    auto first = logo->CurrentThread();
    logo->BeginDownload();
    auto second = logo->CurrentThread();
    EXPECT_TRUE(first->Terminated());
    http->Open();
    ASSERT_TRUE(Finish(first));
    ASSERT_TRUE(Finish(second));
    EXPECT_EQ(player.stops, 2);
    EXPECT_EQ(http->Asked().size(), 2u);
}

TEST_F(LogoTest, ReportOfACheckOutlivingItsComponentReachesNobody) {
    // The main window closes while the version check still waits for the server.
    for (bool userInterfaceGone : {false, true}) {
        SCOPED_TRACE(userInterfaceGone ? "report side closed too" : "component only");
        SetUp();
        fs::remove(dir.File("Variz.dat"));
        ASSERT_TRUE(settings->Write("system", "logoswf", "7"));
        player.stops = 0;
        download->Push(kLogoUrl, {FinishStep(kCannotConnect)});
        auto http = std::make_shared<FakeHttpText>("8", true);
        auto logo = Make(http);
        logo->BeginDownload();
        auto t = logo->CurrentThread();
        logo.reset();
        if (userInterfaceGone) queue->Close();
        http->Open();
        ASSERT_TRUE(Finish(t));
        EXPECT_EQ(player.stops, 0);
        EXPECT_EQ(state.LogoMoviePath, "C:\\Variz\\web\\logo1.swf");
        EXPECT_EQ(settings->Read("system", "logoswf", ""), "7");
    }
}

}  // namespace
