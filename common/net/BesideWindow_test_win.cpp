// Fetches on a window's thread: the window goes on answering while the fetch runs beside it, and
// a fetch past its limit is given up and leaves nothing behind (demo server: ctest fixture).
#include "BesideWindow_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <future>
#include <string>
#include <thread>

#include "DemoServer_win.h"
#include "DownloadFile.h"
#include "DownloadTestFiles_win.h"
#include "MessageWindow_win.h"
#include "PumpMessages_win.h"
#include "TempFolder.h"
#include "TextConv_win.h"
#include "WaitFor.h"

namespace {

namespace ds = demo_server;
using namespace std::chrono_literals;
using downloadtest::ReadBytes;
using downloadtest::WriteBytes;

constexpr UINT kPosted = WM_APP, kSent = WM_APP + 1;

TEST(BesideWindow, TheWindowAnswersSentMessagesWhileInputAndPostedWorkWaitForTheEnd) {
    std::atomic<int> sent{0}, posted{0};
    MessageWindow window([&](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg == kSent) ++sent;
        if (msg == kPosted) ++posted;
        result = 0;
        return msg == kSent || msg == kPosted;
    });
    const HWND hwnd = window.Handle();
    std::promise<void> gate;
    std::shared_future<void> opened = gate.get_future().share();
    std::atomic<bool> answered{false};
    // Another program's part: it sends, posts, and only then lets the fetch end.
    std::thread other([&] {
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(hwnd, kSent, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
        PostMessageW(hwnd, kPosted, 0, 0);
        gate.set_value();
    });
    const std::string text = net::TextBesideWindow([opened] {
        opened.wait();
        return std::string("text");
    });
    other.join();
    EXPECT_EQ(text, "text");
    EXPECT_TRUE(answered);
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(posted, 0) << "posted work ran in the middle of the wait";
    testwait::Pump();
    EXPECT_EQ(posted, 1);
}

TEST(BesideWindow, AFetchPastItsLimitIsGivenUpWhileItStillRuns) {
    auto gate = std::make_shared<std::promise<void>>();
    std::shared_future<void> opened = gate->get_future().share();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    EXPECT_EQ(net::TextBesideWindow(
                  [opened, finished] {
                      opened.wait();
                      *finished = true;
                      return std::string("late");
                  },
                  100ms),
              "");
    EXPECT_FALSE(*finished);
    gate->set_value();
    EXPECT_TRUE(testwait::WaitUntil([&] { return finished->load(); }));
}

class BesideWindowServer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(ds::Host().empty()) << "run through ctest";
        ASSERT_TRUE(ds::Reset());
    }
    void TearDown() override { ds::Reset(); }
    std::string Destination() const {
        return WideToAnsi((folder_.Path() / "Avatar.jpg").wstring());
    }
    bool LeftoversBeside() const {
        for (const auto& e : std::filesystem::directory_iterator(folder_.Path()))
            if (net::IsDownloadLeftover(e.path().string())) return true;
        return false;
    }
    TempFolder folder_;
};

TEST_F(BesideWindowServer, TextAndDownloadArriveAsOnTheirOwnThread) {
    const std::string token = ds::UniqueToken();
    EXPECT_EQ(net::HttpGetTextBesideWindow(ds::Url("/toluad/getver.html?token=" + token)),
              "1.0.0.1");
    std::string served;
    ASSERT_TRUE(ds::Get("/images/avatar.jpg", &served));
    EXPECT_TRUE(net::DownloadToFileBesideWindow(ds::Url("/images/avatar.jpg"), Destination()));
    EXPECT_EQ(ReadBytes(Destination()), served);
    EXPECT_FALSE(LeftoversBeside());
}

TEST_F(BesideWindowServer, ADownloadGivenUpLeavesTheFileAsItWasWhenItEndsLater) {
    WriteBytes(Destination(), "the picture before");
    // Never in the platform's cache: the request reaches the server.
    const std::string token = ds::UniqueToken();
    ASSERT_TRUE(ds::SetFault("/images/avatar.jpg", "delay=3&times=1"));
    EXPECT_FALSE(net::DownloadToFileBesideWindow(ds::Url("/images/avatar.jpg?token=" + token),
                                                 Destination(), 500ms));
    EXPECT_TRUE(testwait::WaitUntil([&] { return ds::LogLinesWith(token).size() == 1; }));
    // The server answers after its delay, and the download ends unwatched.
    Sleep(4500);
    EXPECT_EQ(ReadBytes(Destination()), "the picture before");
    EXPECT_FALSE(LeftoversBeside());
}

}  // namespace
