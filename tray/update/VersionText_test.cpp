// The version request: how it asks, and what of the answer becomes the version text.
#include "VersionText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

// A fake internet service: answers from a script and journals what it was asked.
struct FakeInternet : InternetPort {
    bool serviceOpens = true;
    bool addressOpens = true;
    bool readOk = true;
    std::optional<std::uint32_t> status = 200;
    std::string body;  // a read delivers as much of it as it asks for
    std::vector<std::string> journal;

    struct Request : InternetRequest {
        FakeInternet& net;
        std::size_t at = 0;
        explicit Request(FakeInternet& n) : net(n) {}
        ~Request() override { net.journal.push_back("close request"); }
        ReadResult Read(char* buffer, std::uint32_t size) override {
            net.journal.push_back("read " + std::to_string(size));
            const auto n = std::min<std::size_t>(size, net.body.size() - at);
            std::memcpy(buffer, net.body.data() + at, n);
            at += n;
            return {net.readOk, static_cast<std::uint32_t>(n)};
        }
        std::optional<std::uint32_t> StatusCode() override {
            net.journal.push_back("status");
            return net.status;
        }
    };
    struct Session : InternetSession {
        FakeInternet& net;
        explicit Session(FakeInternet& n) : net(n) {}
        ~Session() override { net.journal.push_back("close session"); }
        std::unique_ptr<InternetRequest> OpenUrl(const std::string& address,
                                                 const UrlRequest& request) override {
            char flags[16];
            std::snprintf(flags, sizeof flags, "%08X", request.flags);
            net.journal.push_back("open url " + address + " " + flags + " [" + request.headers +
                                  "] " + std::to_string(request.context));
            if (!net.addressOpens) return nullptr;
            return std::make_unique<Request>(net);
        }
    };
    std::unique_ptr<InternetSession> Open(const std::string& agent,
                                          InternetAccess access) override {
        journal.push_back("open service " + agent +
                          (access == InternetAccess::Direct ? " direct" : " preconfigured"));
        if (!serviceOpens) return nullptr;
        return std::make_unique<Session>(*this);
    }
};

const std::string kAddress = "http://127.0.0.1:8321/toluad/getver.html";

TEST(FetchVersionText, AsksDirectlyWithItsHeaderAndContextAndReadsOnce) {
    EXPECT_EQ(VersionAddress("127.0.0.1:8321"), kAddress);
    FakeInternet net;
    net.body = std::string(300, 'v');
    FetchVersionText(net, kAddress);
    EXPECT_EQ(net.journal, (std::vector<std::string>{
                               "open service MyApp direct",
                               "open url " + kAddress + " 80000002 [Accept: */*\r\n\r\n] 1",
                               "status", "read 100", "close request", "close session"}));
}

TEST(FetchVersionText, TheBytesOfTheOneReadAreTheText) {
    const std::string hundred(100, '7');
    struct Case {
        const char* what;
        std::string body;
        bool readOk;
        std::string text;
    } cases[] = {
        {"a version", "1.0.0.1", true, "1.0.0.1"},
        {"line break and blank stay", "1.0.0.1\r\n ", true, "1.0.0.1\r\n "},
        {"code page bytes stay", "\xB0\xE6\xB1\xBE 2", true, "\xB0\xE6\xB1\xBE 2"},
        {"a zero byte stays", std::string("1.0\0x", 5), true, std::string("1.0\0x", 5)},
        {"exactly the limit", hundred, true, hundred},
        {"the rest of a longer body is never read", hundred + "tail", true, hundred},
        {"empty body", "", true, ""},
        {"a failed read is no answer", "1.0.0.1", false, ""},
    };
    for (const auto& c : cases) {
        FakeInternet net;
        net.body = c.body;
        net.readOk = c.readOk;
        EXPECT_EQ(FetchVersionText(net, kAddress), c.text) << c.what;
        EXPECT_EQ(std::count(net.journal.begin(), net.journal.end(), "read 100"), 1) << c.what;
    }
}

TEST(FetchVersionText, AnErrorPageIsNoAnswer) {
    struct Case {
        std::optional<std::uint32_t> status;
        std::string text;
    } cases[] = {{200, "1.0.0.2"}, {203, "1.0.0.2"}, {404, ""}, {500, ""}, {std::nullopt, ""}};
    for (const auto& c : cases) {
        FakeInternet net;
        net.body = "1.0.0.2";
        net.status = c.status;
        EXPECT_EQ(FetchVersionText(net, kAddress), c.text) << c.status.value_or(0);
    }
}

TEST(FetchVersionText, NoServiceOrNoAddressIsNoAnswerAndClosesWhatWasOpen) {
    FakeInternet noService;
    noService.serviceOpens = false;
    noService.body = "1.0";
    EXPECT_EQ(FetchVersionText(noService, kAddress), "");
    EXPECT_EQ(noService.journal, (std::vector<std::string>{"open service MyApp direct"}));

    FakeInternet noAddress;
    noAddress.addressOpens = false;
    noAddress.body = "1.0";
    EXPECT_EQ(FetchVersionText(noAddress, kAddress), "");
    ASSERT_EQ(noAddress.journal.size(), 3u);
    EXPECT_EQ(noAddress.journal.back(), "close session");
}

}  // namespace
