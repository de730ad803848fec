// The version request through WinInet and the installer download through URL monikers, against
// the demo content server (ctest fixture DemoServer).
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "DemoServer_win.h"
#include "DownloadTestFiles_win.h"
#include "DownloadUpdate.h"
#include "TempFolder.h"
#include "UrlDownload_win.h"
#include "VersionText_win.h"

namespace {

namespace ds = demo_server;
using downloadtest::ReadBytes;
using downloadtest::ServerBytes;
using downloadtest::WriteBytes;

class TrayUpdateWin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(ds::Host().empty()) << "needs the DemoServer fixture: run it through ctest";
    }
    void TearDown() override { EXPECT_TRUE(ds::Reset()); }
    static std::string Fetch(const std::string& path) {
        WinVersionSource source;
        return source.FetchVersionText(ds::Url(path));
    }
};

TEST_F(TrayUpdateWin, TheVersionRequestIsTheTraysAndItsAnswerIsTheFirstBytesOfTheBody) {
    const auto token = ds::UniqueToken();
    EXPECT_EQ(Fetch("/toluad/getver.html?token=" + token), "1.0.0.1");
    const auto asked = ds::LogLinesWith(token);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("\"User-Agent\": \"MyApp\""), std::string::npos) << asked[0];
    // Wine joins the header with its own default, which is the same.
    EXPECT_TRUE(std::regex_search(asked[0], std::regex(R"re("Accept": "\*/\*(, \*/\*)*")re")))
        << asked[0];

    const std::string longer = ServerBytes(150, true);
    ASSERT_TRUE(ds::SetBody("/toluad/getver.html", longer));
    EXPECT_EQ(Fetch("/toluad/getver.html"), longer.substr(0, 100));
    ASSERT_TRUE(ds::SetBody("/toluad/getver.html", "2.0\r\n"));
    EXPECT_EQ(Fetch("/toluad/getver.html"), "2.0\r\n");
    ASSERT_TRUE(ds::SetBody("/toluad/getver.html", ""));
    EXPECT_EQ(Fetch("/toluad/getver.html"), "");
}

TEST_F(TrayUpdateWin, AnErrorPageOrNoServerIsNoAnswer) {
    for (const char* status : {"status=404", "status=500"}) {
        const std::string path = "/toluad/getver.html?token=" + ds::UniqueToken();
        ASSERT_TRUE(ds::SetFault(path, status));
        EXPECT_EQ(Fetch(path), "") << status;
    }
    EXPECT_EQ(WinVersionSource().FetchVersionText("http://127.0.0.1:9/toluad/getver.html"), "");
}

TEST_F(TrayUpdateWin, OnlyACompleteProgramBecomesTheInstaller) {
    const std::string program = "MZ" + ServerBytes(20000);
    struct Case {
        const char* what;
        std::string body;
        const char* fault;
        bool installed;
    } cases[] = {
        {"a program", program, nullptr, true},
        {"an error status", program, "status=404", false},
        {"a server error", program, "status=503", false},
        {"a connection reset before the answer", program, "cut_after_bytes=-1", false},
        {"a page that came as success", "<html><body>Sorry</body></html>", nullptr, false},
    };
    // A body cut short after its headers is left out: Wine's download then never returns.
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string installer = dir.File("update.exe");
        WriteBytes(installer, "the installer of before");
        const std::string path = "/toluad/update.ex_?token=" + ds::UniqueToken();
        ASSERT_TRUE(ds::SetBody(path, c.body));
        if (c.fault) {
            ASSERT_TRUE(ds::SetFault(path, c.fault));
        }
        WinUrlDownload download;
        WinDownloadFiles files;
        const auto result = DownloadInstaller(download, files, ds::Url(path), installer);
        EXPECT_EQ(result == kResultOk, c.installed) << c.what << " " << std::hex << result;
        EXPECT_TRUE(ReadBytes(installer) == (c.installed ? c.body : "the installer of before"))
            << c.what;
        EXPECT_EQ(dir.Names(), (std::vector<std::string>{"update.exe"})) << c.what;
    }
}

}  // namespace
