// The installer download: only a complete Windows program replaces the installer, and only then is
// it marked pending.
#include "DownloadUpdate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DownloadFakes.h"
#include "DrainReports.h"
#include "TempFolder.h"
#include "TrayFakes.h"

namespace {

using namespace fakes;

const std::string kUrl = "http://127.0.0.1:8321/toluad/update.ex_";
const std::string kProgram = std::string("MZ\x90\0\x03", 5) + "a Windows program";
const std::string kErrorPage = "<html><head><title>404</title></head><body>Not Found</body></html>";

TEST(IsWindowsProgram, LooksAtTheFirstTwoBytes) {
    TempFolder dir;
    struct Case {
        const char* what;
        std::string bytes;
        bool program;
    } cases[] = {
        {"a program", kProgram, true},
        {"the signature alone", "MZ", true},
        {"empty", "", false},
        {"one byte", "M", false},
        {"lower case", "mz program", false},
        {"the other order", "ZM program", false},
        {"an error page", kErrorPage, false},
    };
    for (const auto& c : cases) {
        WriteFile(dir.File("update.exe"), c.bytes);
        EXPECT_EQ(IsWindowsProgram(dir.File("update.exe")), c.program) << c.what;
    }
    EXPECT_FALSE(IsWindowsProgram(dir.File("missing.exe")));
}

TEST(DownloadInstaller, OnlyACompleteProgramReplacesTheInstaller) {
    struct Case {
        const char* what;
        std::string body;
        std::int32_t platform;  // the download's own result
        std::int32_t result;
    } cases[] = {
        {"a program", kProgram, kResultOk, kResultOk},
        {"the server cannot be reached", kProgram, kCannotConnect, kCannotConnect},
        {"an error page that came as success", kErrorPage, kResultOk, kResultNotProgram},
        {"an empty answer", "", kResultOk, kResultNotProgram},
        {"an answer that lost its start", kProgram.substr(1), kResultOk, kResultNotProgram},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const auto installer = dir.File("update.exe");
        WriteFile(installer, "the installer of before");
        ScriptedDownload download;
        LocalFiles files;
        download.SetBody(kUrl, c.body);
        download.Push(kUrl, {ProgressStep(2, 4), FinishStep(c.platform)});
        EXPECT_EQ(DownloadInstaller(download, files, kUrl, installer), c.result) << c.what;
        // Fresh from the server, into a file of its own beside the installer.
        EXPECT_EQ(download.Calls(),
                  (std::vector<std::string>{"delete " + kUrl, "quiet download " + kUrl}))
            << c.what;
        ASSERT_EQ(download.FilesWritten().size(), 1u);
        EXPECT_NE(download.FilesWritten()[0], installer) << c.what;
        EXPECT_EQ(ReadFile(installer),
                  c.result == kResultOk ? c.body : std::string("the installer of before"))
            << c.what;
        EXPECT_EQ(dir.Names(), (std::vector<std::string>{"update.exe"})) << c.what;
    }
}

TEST(DownloadUpdateThread, MarksTheInstallerPendingOnlyAfterASuccessAndReportsOnce) {
    for (const bool success : {true, false}) {
        TempFolder dir;
        trayfakes::Journal journal;
        auto settings =
            std::make_shared<trayfakes::JournaledSettings>(dir.File("Variz.dat"), journal);
        auto queue = std::make_shared<SyncReportQueue>();
        auto download = std::make_shared<ScriptedDownload>();
        download->SetBody(kUrl, success ? kProgram : kErrorPage);
        download->Push(kUrl, {FinishStep(kResultOk)});
        auto thread = DownloadUpdateThread::Create(
            kUrl, dir.File("update.exe"), [&](DownloadUpdateThread&) { journal.Add("complete"); },
            [&](DownloadUpdateThread&, std::int32_t reason) {
                journal.Add("fail " + std::to_string(reason));
            },
            false, {queue, download, std::make_shared<LocalFiles>()}, settings);
        ASSERT_TRUE(testwait::DrainUntil(*queue, [&] { return thread->Finished(); }));
        EXPECT_EQ(journal.Lines(),
                  success ? (std::vector<std::string>{"write update down=1", "complete"})
                          : (std::vector<std::string>{"fail " + std::to_string(kResultNotProgram)}))
            << success;
    }
}

TEST(DownloadUpdateThread, NeverRunsWithoutWhatItNeeds) {
    auto queue = std::make_shared<SyncReportQueue>();
    auto download = std::make_shared<ScriptedDownload>();
    trayfakes::Journal journal;
    TempFolder dir;
    auto settings = std::make_shared<trayfakes::JournaledSettings>(dir.File("Variz.dat"), journal);
    const auto complete = [](DownloadUpdateThread&) {};
    const auto fail = [](DownloadUpdateThread&, std::int32_t) {};
    const DownloadServices services{queue, download, std::make_shared<LocalFiles>()};
    EXPECT_TRUE(
        DownloadUpdateThread::Create(kUrl, "u.exe", complete, fail, true, services, settings)
            ->Runnable());
    EXPECT_FALSE(
        DownloadUpdateThread::Create(kUrl, "u.exe", complete, fail, true, services, nullptr)
            ->Runnable());
    EXPECT_FALSE(DownloadUpdateThread::Create(kUrl, "u.exe", complete, fail, true,
                                              {queue, nullptr, services.files}, settings)
                     ->Runnable());
    EXPECT_FALSE(DownloadUpdateThread::Create("", "u.exe", complete, fail, true, services, settings)
                     ->Runnable());
    EXPECT_FALSE(
        DownloadUpdateThread::Create(kUrl, "u.exe", nullptr, fail, true, services, settings)
            ->Runnable());
}

TEST(InstallerAddresses, ComeFromTheHostAndTheBaseDirectory) {
    EXPECT_EQ(InstallerAddress("www.example.org"), "http://www.example.org/toluad/update.ex_");
    EXPECT_EQ(InstallerPath("C:\\Program Files\\Variz"), "C:\\Program Files\\Variz\\update.exe");
}

}  // namespace
