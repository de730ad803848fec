#include "HttpText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

struct ScriptedRead {
    bool ok;
    std::string bytes;
};

// A fake internet service: answers from a script and writes what it was asked into a journal.
struct FakeInternet : InternetPort {
    bool serviceOpens = true;
    bool addressOpens = true;
    std::optional<std::uint32_t> status = 200;
    std::vector<ScriptedRead> reads;  // then every further read delivers nothing
    std::vector<std::string> journal;
    UrlRequest lastRequest{1, "unset", 1};

    struct Request : InternetRequest {
        FakeInternet& net;
        std::size_t next = 0;
        explicit Request(FakeInternet& n) : net(n) {}
        ~Request() override { net.journal.push_back("close request"); }
        ReadResult Read(char* buffer, std::uint32_t size) override {
            net.journal.push_back("read " + std::to_string(size));
            if (next >= net.reads.size()) return {true, 0};
            const auto& r = net.reads[next++];
            std::memcpy(buffer, r.bytes.data(), r.bytes.size());
            return {r.ok, static_cast<std::uint32_t>(r.bytes.size())};
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
            net.lastRequest = request;
            char f[16];
            std::snprintf(f, sizeof f, "%08X", request.flags);
            net.journal.push_back("open url " + address + " " + f);
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

TEST(HttpGetText, AssemblesTheChunks) {
    const std::string a(1024, 'a'), b(1024, 'b'), c(100, 'c');
    struct Case {
        const char* what;
        std::vector<ScriptedRead> reads;
        std::string expected;
    } cases[] = {
        {"empty body", {}, ""},
        {"one short read", {{true, "hello"}}, "hello"},
        {"full chunks and a short one", {{true, a}, {true, b}, {true, c}}, a + b + c},
        {"reads shorter than a chunk", {{true, "ab"}, {true, "cd"}}, "abcd"},
        {"zero byte cuts the rest of its chunk",
         {{true, std::string("abc\0def", 7)}, {true, "ghi"}},
         "abcghi"},
        {"zero byte first", {{true, std::string("\0xyz", 4)}, {true, "tail"}}, "tail"},
        {"zero byte at the end of a full chunk",
         {{true, std::string(1023, 'a') + '\0'}, {true, c}},
         std::string(1023, 'a') + c},
        {"bytes of a failed read count", {{false, "xy"}, {true, "z"}}, "xyz"},
        {"a failed read without bytes ends", {{false, ""}, {true, "never"}}, ""},
        {"an empty read ends", {{true, "a"}, {true, ""}, {true, "b"}}, "a"},
        {"bytes stay as they came",
         {{true, "\xD1\xA7\r\n/media/1.swf\xFF"}},
         "\xD1\xA7\r\n/media/1.swf\xFF"},
    };
    for (const auto& cs : cases) {
        FakeInternet net;
        net.reads = cs.reads;
        EXPECT_EQ(HttpGetText(net, "http://h/x"), cs.expected) << cs.what;
    }
}

TEST(HttpGetText, AsksWithTheAgentReloadFlagAndChunkSize) {
    FakeInternet net;
    net.reads = {{true, std::string(1024, 'a')}, {true, "b"}};
    HttpGetText(net, "http://127.0.0.1:8321/plus/play.php?aid=101");
    EXPECT_EQ(net.journal,
              (std::vector<std::string>{
                  "open service MyApp preconfigured",
                  "open url http://127.0.0.1:8321/plus/play.php?aid=101 80000000", "status",
                  "read 1024", "read 1024", "read 1024", "close request", "close session"}));
    EXPECT_EQ(net.lastRequest.headers, "");
    EXPECT_EQ(net.lastRequest.context, 0u);
}

TEST(HttpGetText, OpeningFailuresGiveEmptyTextAndCloseWhatWasOpen) {
    FakeInternet noService;
    noService.serviceOpens = false;
    noService.reads = {{true, "unused"}};
    EXPECT_EQ(HttpGetText(noService, "http://h/"), "");
    EXPECT_EQ(noService.journal, (std::vector<std::string>{"open service MyApp preconfigured"}));

    FakeInternet noAddress;
    noAddress.addressOpens = false;
    noAddress.reads = {{true, "unused"}};
    EXPECT_EQ(HttpGetText(noAddress, "http://h/"), "");
    EXPECT_EQ(noAddress.journal,
              (std::vector<std::string>{"open service MyApp preconfigured",
                                        "open url http://h/ 80000000", "close session"}));
}

TEST(HttpGetText, ErrorStatusOrNoStatusIsAFailureAndItsBodyIsNotRead) {
    struct Case {
        std::optional<std::uint32_t> status;
        bool answered;
    } cases[] = {
        {200, true},  {204, true},  {302, true},  {399, true},  {400, false},
        {404, false}, {410, false}, {500, false}, {503, false}, {std::nullopt, false},
    };
    for (const auto& c : cases) {
        const std::string what = c.status ? std::to_string(*c.status) : "no status";
        FakeInternet net;
        net.status = c.status;
        net.reads = {{true, "<html>the page</html>"}};
        EXPECT_EQ(HttpGetText(net, "http://h/x"), c.answered ? "<html>the page</html>" : "")
            << what;
        const std::vector<std::string> closing = {"close request", "close session"};
        EXPECT_TRUE(std::equal(closing.rbegin(), closing.rend(), net.journal.rbegin())) << what;
        const bool read = std::count(net.journal.begin(), net.journal.end(), "read 1024") > 0;
        EXPECT_EQ(read, c.answered) << what;
    }
}

TEST(HttpGetText, BodyOverTheLimitIsAFailureAndReadingStopsThere) {
    const std::string chunk(1024, 'a');
    const std::size_t chunksInLimit = kHttpTextLimit / chunk.size();
    auto chunks = [&](std::size_t n) { return std::vector<ScriptedRead>(n, {true, chunk}); };
    struct Case {
        const char* what;
        std::vector<ScriptedRead> reads;
        bool answered;
        std::size_t readsMade;  // the last one delivers nothing when the body ends in time
    } cases[] = {
        {"exactly the limit", chunks(chunksInLimit), true, chunksInLimit + 1},
        {"one byte over",
         [&] {
             auto r = chunks(chunksInLimit);
             r.push_back({true, "b"});
             return r;
         }(),
         false, chunksInLimit + 1},
        {"endless", chunks(3 * chunksInLimit), false, chunksInLimit + 1},
        // The limit counts the bytes that came, not the text that a zero byte left of them.
        {"zero bytes over the limit",
         [&] {
             auto r = chunks(chunksInLimit);
             r.push_back({true, std::string(1, '\0')});
             return r;
         }(),
         false, chunksInLimit + 1},
    };
    for (const auto& c : cases) {
        FakeInternet net;
        net.reads = c.reads;
        const auto text = HttpGetText(net, "http://h/x");
        if (c.answered) {
            EXPECT_EQ(text.size(), kHttpTextLimit) << c.what;
        } else {
            EXPECT_EQ(text, "") << c.what;
        }
        EXPECT_EQ(std::count(net.journal.begin(), net.journal.end(), "read 1024"),
                  static_cast<std::ptrdiff_t>(c.readsMade))
            << c.what;
        EXPECT_EQ(net.journal.back(), "close session") << c.what;
    }
}

}  // namespace
