// The version check, the periodic step and the update command, over fakes of their ports and the
// settings file in the portable INI form.
#include "TrayUpdate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "DownloadFakes.h"
#include "DrainReports.h"
#include "TempFolder.h"
#include "TrayFakes.h"
#include "WaitFor.h"

namespace {

using namespace trayfakes;
using fakes::FinishStep;
using Lines = std::vector<std::string>;

const std::string kHost = "127.0.0.1:8321";
const std::string kVersionRequest = "version request http://127.0.0.1:8321/toluad/getver.html";
const std::string kInstallerUrl = "http://127.0.0.1:8321/toluad/update.ex_";
const std::string kProgram = std::string("MZ\x90\0\x03", 5) + "a Windows program";

class TrayUpdateTest : public ::testing::Test {
  protected:
    TempFolder dir;
    // Natively the backslash is part of a file name: the tray's files stay in the test's folder.
    const std::string base = dir.File("Zorvane");
    const std::string installer = base + "\\update.exe";
    // Under Windows the same names are files of a folder, which has to be there.
    const bool folder = std::filesystem::create_directories(base);

    void Store(const char* key, const std::optional<std::string>& value) {
        if (value)
            IniFile(dir.File("Zorvane\\Variz.dat"), kTraySettingsBuffer)
                .Write("update", key, *value);
    }
    std::string Stored(const char* key) {
        return IniFile(dir.File("Zorvane\\Variz.dat"), 2048).Read("update", key, "(none)");
    }
    // Runs the workers' reports until the download thread has done everything.
    static bool Finish(const std::shared_ptr<DownloadUpdateThread>& thread,
                       SyncReportQueue& queue) {
        return !thread || testwait::DrainUntil(queue, [&] { return thread->Finished(); });
    }
    bool FinishDownload() { return Finish(update.CurrentThread(), *queue); }
    std::size_t Downloads() const {
        const auto calls = download->Calls();
        return std::count(calls.begin(), calls.end(), "quiet download " + kInstallerUrl);
    }

    Journal journal;
    FakeVersionSource version{journal};
    FakeTimers timers{journal};
    FakeMessages messages{journal};
    FakePrograms programs{journal};
    FakeEnding ending{journal};
    std::shared_ptr<SettingsFile> settings =
        std::make_shared<JournaledSettings>(dir.File("Zorvane\\Variz.dat"), journal);
    std::shared_ptr<SyncReportQueue> queue = std::make_shared<SyncReportQueue>();
    std::shared_ptr<fakes::ScriptedDownload> download = std::make_shared<fakes::ScriptedDownload>();
    TrayUpdate update{TrayUpdateServices{version,
                                         settings,
                                         {queue, download, std::make_shared<fakes::LocalFiles>()},
                                         timers,
                                         messages,
                                         programs,
                                         ending,
                                         kHost,
                                         base}};
};

TEST_F(TrayUpdateTest, CheckVersionComparesTheWholeTextAndWritesOnlyTheMarkOfNoInstaller) {
    const std::string v19 = "1.2.3.4.5.6.7.8.9.0";  // 19 characters: all of it is read
    const std::string v20 = v19 + "1";
    struct Case {
        const char* what;
        std::optional<std::string> down, childver;  // none: no key in the file
        std::string answer;
        VersionCheck result;
        Lines writes;
        std::string downAfter;
    } cases[] = {
        {"no answer", "0", "1.0.0.1", "", VersionCheck::NoAnswer, {}, "0"},
        {"no answer with an installer waiting",
         "1",
         "1.0.0.0",
         "",
         VersionCheck::NoAnswer,
         {},
         "1"},
        {"installer waiting", "1", "1.0.0.0", "1.0.0.1", VersionCheck::Pending, {}, "1"},
        {"installer waiting, same version",
         "1",
         "1.0.0.1",
         "1.0.0.1",
         VersionCheck::Pending,
         {},
         "1"},
        {"same version",
         "0",
         "1.0.0.1",
         "1.0.0.1",
         VersionCheck::UpToDate,
         {"write update down=0"},
         "0"},
        {"same version, no mark yet",
         std::nullopt,
         "1.0.0.1",
         "1.0.0.1",
         VersionCheck::UpToDate,
         {"write update down=0"},
         "0"},
        {"another version",
         "0",
         "1.0.0.0",
         "1.0.0.1",
         VersionCheck::Newer,
         {"write update down=0"},
         "0"},
        {"nothing installed recorded",
         std::nullopt,
         std::nullopt,
         "1.0.0.1",
         VersionCheck::Newer,
         {"write update down=0"},
         "0"},
        {"a mark other than 1 is replaced",
         "yes",
         "1.0.0.1",
         "1.0.0.1",
         VersionCheck::UpToDate,
         {"write update down=0"},
         "0"},
        {"versions differing in case",
         "0",
         "1.0.0.a",
         "1.0.0.A",
         VersionCheck::Newer,
         {"write update down=0"},
         "0"},
        {"trailing line break of the answer",
         "0",
         "1.0.0.1",
         "1.0.0.1\r\n",
         VersionCheck::Newer,
         {"write update down=0"},
         "0"},
        {"trailing blank of the answer",
         "0",
         "1.0.0.1",
         "1.0.0.1 ",
         VersionCheck::Newer,
         {"write update down=0"},
         "0"},
        {"19 characters", "0", v19, v19, VersionCheck::UpToDate, {"write update down=0"}, "0"},
        {"20 characters never match",
         "0",
         v20,
         v20,
         VersionCheck::Newer,
         {"write update down=0"},
         "0"},
        {"any other text is compared as it is",
         "0",
         "1.0.0.1",
         "<html>404</html>",
         VersionCheck::Newer,
         {"write update down=0"},
         "0"},
    };
    for (const auto& c : cases) {
        std::remove(dir.File("Zorvane\\Variz.dat").c_str());
        Store("down", c.down);
        Store("childver", c.childver);
        version.answer = c.answer;
        journal.Take();
        EXPECT_EQ(update.CheckVersion(), c.result) << c.what;
        Lines expected = {kVersionRequest};
        expected.insert(expected.end(), c.writes.begin(), c.writes.end());
        EXPECT_EQ(journal.Take(), expected) << c.what;
        EXPECT_EQ(Stored("down"), c.down || !c.writes.empty() ? c.downAfter : "(none)") << c.what;
        EXPECT_EQ(Stored("childver"), c.childver.value_or("(none)")) << c.what;
    }
    EXPECT_FALSE(update.Downloading());
    EXPECT_TRUE(download->Calls().empty());
}

TEST_F(TrayUpdateTest, OnlyANewerVersionMakesTheStepDownloadAndRestartItsTimer) {
    struct Case {
        const char* what;
        const char* down;
        std::string answer;
        Lines after;  // what follows the version request
    } cases[] = {
        {"no answer", "0", "", {}},
        {"up to date", "0", "1.0.0.1", {"write update down=0"}},
        // A waiting installer is never started by the timer.
        {"installer waiting", "1", "2.0", {}},
        {"newer", "0", "2.0", {"write update down=0", "kill timer 3", "set timer 3 600000"}},
    };
    for (const auto& c : cases) {
        Store("down", c.down);
        Store("childver", "1.0.0.1");
        version.answer = c.answer;
        journal.Take();
        update.UpdateStep();
        Lines expected = {kVersionRequest};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(journal.Take(), expected) << c.what;
    }
    // Only the last case started a download; it has not ended yet.
    EXPECT_TRUE(update.Downloading());
    EXPECT_TRUE(testwait::WaitUntil([&] { return Downloads() == 1; }));
    download->Push(kInstallerUrl, {FinishStep(fakes::kCannotConnect)});
    ASSERT_TRUE(FinishDownload());
}

TEST_F(TrayUpdateTest, AStepWhileTheInstallerStillDownloadsStartsNoSecondDownload) {
    Store("childver", "1.0.0.1");
    version.answer = "2.0";
    download->SetBody(kInstallerUrl, kProgram);
    update.UpdateStep();
    ASSERT_TRUE(update.Downloading());
    journal.Take();

    update.UpdateStep();
    EXPECT_EQ(journal.Take(), (Lines{kVersionRequest, "write update down=0", "kill timer 3",
                                     "set timer 3 600000"}));
    download->Push(kInstallerUrl, {FinishStep(kResultOk)});
    messages.answers = {false};
    ASSERT_TRUE(FinishDownload());
    EXPECT_EQ(Downloads(), 1u);
    EXPECT_EQ(journal.Take(), (Lines{"write update down=1", "confirm 更新下载完成，是否安装?"}));

    // Once it has ended, the next step may download again.
    Store("down", "0");
    update.UpdateStep();
    EXPECT_TRUE(testwait::WaitUntil([&] { return Downloads() == 2; }));
    download->Push(kInstallerUrl, {FinishStep(fakes::kCannotConnect)});
    ASSERT_TRUE(FinishDownload());
}

TEST_F(TrayUpdateTest, TheUpdateCommandAnswersEachResult) {
    struct Case {
        const char* what;
        const char* down;
        std::string answer;
        Lines expected;
    } cases[] = {
        {"no answer", "0", "", {kVersionRequest, "inform 网络不通，请稍后在试。"}},
        {"no answer with an installer waiting",
         "1",
         "",
         {kVersionRequest, "inform 网络不通，请稍后在试。"}},
        {"up to date",
         "0",
         "1.0.0.1",
         {kVersionRequest, "write update down=0", "inform 你安装的已经是最新版本。"}},
        // The waiting installer starts without a download and the tray ends.
        {"installer waiting",
         "1",
         "2.0",
         {kVersionRequest, "start " + base + "\\update.exe", "end"}},
    };
    for (const auto& c : cases) {
        Store("down", c.down);
        Store("childver", "1.0.0.1");
        version.answer = c.answer;
        journal.Take();
        update.OnUpdate();
        EXPECT_EQ(journal.Take(), c.expected) << c.what;
    }
    EXPECT_FALSE(update.Downloading());
    EXPECT_TRUE(download->Calls().empty());
}

TEST_F(TrayUpdateTest,
       TheUpdateCommandWithANewerVersionAsksTwiceAndSaysNothingUntilTheDownloadEnds) {
    Store("down", "0");
    Store("childver", "1.0.0.1");
    version.answer = "2.0";
    download->SetBody(kInstallerUrl, kProgram);
    update.OnUpdate();
    EXPECT_EQ(journal.Take(), (Lines{kVersionRequest, "write update down=0", kVersionRequest,
                                     "write update down=0", "kill timer 3", "set timer 3 600000"}));
    ASSERT_TRUE(update.Downloading());

    download->Push(kInstallerUrl, {FinishStep(kResultOk)});
    ASSERT_TRUE(FinishDownload());
    EXPECT_EQ(journal.Take(), (Lines{"write update down=1", "confirm 更新下载完成，是否安装?",
                                     "start " + installer, "end"}));
    EXPECT_EQ(fakes::ReadFile(installer), kProgram);
    EXPECT_EQ(Stored("down"), "1");
}

TEST_F(TrayUpdateTest, ADownloadEndingAfterTheUpdateIsGoneAsksNothing) {
    Store("childver", "1.0.0.1");
    version.answer = "2.0";
    download->SetBody(kInstallerUrl, kProgram);
    auto gone = std::make_unique<TrayUpdate>(
        TrayUpdateServices{version,
                           settings,
                           {queue, download, std::make_shared<fakes::LocalFiles>()},
                           timers,
                           messages,
                           programs,
                           ending,
                           kHost,
                           base});
    gone->UpdateStep();
    const auto thread = gone->CurrentThread();
    ASSERT_NE(thread, nullptr);
    gone.reset();
    journal.Take();
    download->Push(kInstallerUrl, {FinishStep(kResultOk)});
    // The worker still stores the installer and its mark; only the question has nobody to ask.
    ASSERT_TRUE(Finish(thread, *queue));
    EXPECT_EQ(journal.Take(), (Lines{"write update down=1"}));
    EXPECT_EQ(Stored("down"), "1");
}

}  // namespace
