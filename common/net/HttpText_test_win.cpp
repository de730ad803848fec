// HttpGetText through WinInet against the demo content server (ctest fixture DemoServer).
#include "HttpText_win.h"

#include <gtest/gtest.h>

#include <string>

#include "DemoServer_win.h"
#include "DownloadTestFiles_win.h"

namespace {

namespace ds = demo_server;
using downloadtest::ServerBytes;

class HttpTextWin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(ds::Host().empty()) << "needs the DemoServer fixture: run it through ctest";
    }
    void TearDown() override { EXPECT_TRUE(ds::Reset()); }
};

TEST_F(HttpTextWin, BodiesOfAnyLengthArriveWhole) {
    for (std::size_t n : {0u, 1u, 1023u, 1024u, 1025u, 5000u, 70000u}) {
        const auto url = ds::Url("/__test/bytes?kind=text&n=" + std::to_string(n) +
                                 "&token=" + ds::UniqueToken());
        EXPECT_EQ(HttpGetText(url), ServerBytes(n, true)) << n;
    }
}

TEST_F(HttpTextWin, BytesComeAsTheServerSentThem) {
    EXPECT_EQ(HttpGetText(ds::Url("/plus/play.php?aid=101")),
              "/media/101/1.swf\r\n/media/101/2.swf\r\n/media/101/3.swf\r\n");
    const std::string gbk = "\xD1\xA7\xCF\xB0 7\r\n\xFF";
    ASSERT_TRUE(ds::SetBody("/images/getlogo.html", gbk));
    EXPECT_EQ(HttpGetText(ds::Url("/images/getlogo.html")), gbk);
}

TEST_F(HttpTextWin, AZeroByteCutsItsRead) {
    // A short body comes in one read, so everything after the zero byte is gone.
    ASSERT_TRUE(ds::SetBody("/images/getlogo.html", std::string("8\0tail", 6)));
    EXPECT_EQ(HttpGetText(ds::Url("/images/getlogo.html")), "8");
}

TEST_F(HttpTextWin, AnErrorStatusGivesEmptyTextThoughThePageHasABody) {
    for (int status : {400, 404, 500, 503}) {
        const std::string path = "/toluad/getver.html?token=" + ds::UniqueToken();
        ASSERT_TRUE(ds::SetFault(path, "status=" + std::to_string(status)));
        EXPECT_EQ(HttpGetText(ds::Url(path)), "") << status;
        EXPECT_EQ(ds::LogLinesWith(path.substr(path.find("token="))).size(), 1u) << status;
    }
    // The site's own 404, not only a fault of the test server.
    EXPECT_EQ(HttpGetText(ds::Url("/no/such/page.html")), "");
}

TEST_F(HttpTextWin, ABodyOverOneMebibyteGivesEmptyText) {
    auto fetch = [](std::size_t n) {
        return HttpGetText(ds::Url("/__test/bytes?kind=text&n=" + std::to_string(n) +
                                   "&token=" + ds::UniqueToken()));
    };
    EXPECT_EQ(fetch(kHttpTextLimit), ServerBytes(kHttpTextLimit, true));
    EXPECT_EQ(fetch(kHttpTextLimit + 1), "");
    EXPECT_EQ(fetch(8 * kHttpTextLimit), "");
}

TEST_F(HttpTextWin, NoAnswerGivesEmptyText) {
    const std::string cut = "/toluad/getver.html?token=" + ds::UniqueToken();
    ASSERT_TRUE(ds::SetFault(cut, "cut_after_bytes=-1"));
    const std::string empty = "/toluad/getver.html?token=" + ds::UniqueToken();
    ASSERT_TRUE(ds::SetFault(empty, "empty_body=1"));
    for (const std::string& url : {std::string("http://127.0.0.1:1/toluad/getver.html"),
                                   std::string("no address at all"), ds::Url(cut), ds::Url(empty)})
        EXPECT_EQ(HttpGetText(url), "") << url;
}

TEST_F(HttpTextWin, AsksAsMyAppAndAlwaysFromTheServer) {
    // An answer the server lets clients keep for an hour: the second fetch must still reach it.
    // WinInet sends no header for the reload flag, and Wine never answers this call from its
    // cache, so here it is the agent that shows; on Windows a missing reload flag shows too.
    const std::string path = "/images/getlogo.html?token=" + ds::UniqueToken();
    ASSERT_TRUE(ds::SetFault(path, "cache_max_age=3600"));
    EXPECT_EQ(HttpGetText(ds::Url(path)), "1");
    EXPECT_EQ(HttpGetText(ds::Url(path)), "1");
    const auto lines = ds::LogLinesWith(path.substr(path.find("token=")));
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines)
        EXPECT_NE(line.find("\"User-Agent\": \"MyApp\""), std::string::npos) << line;
}

}  // namespace
