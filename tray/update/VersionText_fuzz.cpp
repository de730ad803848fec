// Any answer of the server as the version text: it is the answer's first bytes up to the read
// limit, and the check's result and what it writes follow from it and the installed version
// alone. The input is the installed version, a zero byte, and the server's answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "FuzzCheck.h"
#include "TrayUpdate.h"

namespace {

struct OneRead : InternetPort {
    std::string body;
    struct Request : InternetRequest {
        const std::string& body;
        explicit Request(const std::string& b) : body(b) {}
        ReadResult Read(char* buffer, std::uint32_t size) override {
            const auto n = std::min<std::size_t>(size, body.size());
            std::memcpy(buffer, body.data(), n);
            return {true, static_cast<std::uint32_t>(n)};
        }
        std::optional<std::uint32_t> StatusCode() override { return 200; }
    };
    struct Session : InternetSession {
        const std::string& body;
        explicit Session(const std::string& b) : body(b) {}
        std::unique_ptr<InternetRequest> OpenUrl(const std::string&, const UrlRequest&) override {
            return std::make_unique<Request>(body);
        }
    };
    std::unique_ptr<InternetSession> Open(const std::string&, InternetAccess) override {
        return std::make_unique<Session>(body);
    }
};

struct Source : VersionSource {
    OneRead net;
    std::string FetchVersionText(const std::string& address) override {
        return ::FetchVersionText(net, address);
    }
};

// Keys in memory, values cut to the tray's buffer as the platform cuts them.
struct MemorySettings : SettingsFile {
    std::map<std::string, std::string> values;
    int writes = 0;
    std::string Read(const std::string&, const std::string& key,
                     const std::string& def) const override {
        const auto it = values.find(key);
        return (it == values.end() ? def : it->second).substr(0, kTraySettingsBuffer - 1);
    }
    bool Write(const std::string&, const std::string& key, const std::string& value) override {
        ++writes;
        values[key] = value;
        return true;
    }
    const std::string& Path() const override {
        static const std::string path = "Variz.dat";
        return path;
    }
};

struct Nothing : TrayTimers, TrayMessages, TrayPrograms, TrayEnding {
    void SetTimer(unsigned, unsigned) override {}
    void KillTimer(unsigned) override {}
    void Inform(const std::string&) override {}
    bool Confirm(const std::string&) override { return false; }
    void StartProgram(const std::string&) override {}
    void OpenAddress(const std::string&) override {}
    void EndTray() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto zero = input.find('\0');
    const std::string installed = zero == std::string::npos ? std::string() : input.substr(0, zero);
    const std::string answer = zero == std::string::npos ? input : input.substr(zero + 1);

    Source source;
    source.net.body = answer;
    const std::string text = source.FetchVersionText("http://h/toluad/getver.html");
    FUZZ_CHECK(text == answer.substr(0, kVersionReadLimit));

    auto settings = std::make_shared<MemorySettings>();
    settings->values["childver"] = installed;
    Nothing nothing;
    TrayUpdate update({source, settings, {}, nothing, nothing, nothing, nothing, "h", "C:\\V"});
    const auto result = update.CheckVersion();
    if (text.empty()) {
        FUZZ_CHECK(result == VersionCheck::NoAnswer && settings->writes == 0);
        return 0;
    }
    const bool same = installed.substr(0, kTraySettingsBuffer - 1) == text;
    FUZZ_CHECK(result == (same ? VersionCheck::UpToDate : VersionCheck::Newer));
    FUZZ_CHECK(settings->writes == 1 && settings->values["down"] == "0");
    FUZZ_CHECK(settings->values["childver"] == installed);
    return 0;
}
