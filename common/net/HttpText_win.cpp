#include "HttpText_win.h"

#include <windows.h>
#include <wininet.h>

#include <utility>

#include "Handles_win.h"

namespace {

void CloseInternetHandle(HINTERNET h) {
    InternetCloseHandle(h);
}
using UniqueInternet = UniqueResource<HINTERNET, CloseInternetHandle, nullptr>;

class WinInetRequest : public InternetRequest {
  public:
    explicit WinInetRequest(UniqueInternet h) : h_(std::move(h)) {}
    ReadResult Read(char* buffer, std::uint32_t size) override {
        DWORD read = 0;
        const BOOL ok = InternetReadFile(h_.get(), buffer, size, &read);
        return {ok != FALSE, static_cast<std::uint32_t>(read)};
    }
    std::optional<std::uint32_t> StatusCode() override {
        DWORD status = 0;
        DWORD size = sizeof status;
        if (!HttpQueryInfoA(h_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                            &size, nullptr))
            return std::nullopt;  // not an HTTP answer, or none at all
        return static_cast<std::uint32_t>(status);
    }

  private:
    UniqueInternet h_;
};

class WinInetSession : public InternetSession {
  public:
    explicit WinInetSession(UniqueInternet h) : h_(std::move(h)) {}
    std::unique_ptr<InternetRequest> OpenUrl(const std::string& address,
                                             std::uint32_t flags) override {
        UniqueInternet url(
            InternetOpenUrlA(h_.get(), address.c_str(), nullptr, 0, static_cast<DWORD>(flags), 0));
        if (!url) return nullptr;
        return std::make_unique<WinInetRequest>(std::move(url));
    }

  private:
    UniqueInternet h_;
};

}  // namespace

std::unique_ptr<InternetSession> WinInetPort::Open(const std::string& agent) {
    UniqueInternet service(
        InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!service) return nullptr;
    return std::make_unique<WinInetSession>(std::move(service));
}

std::string HttpGetText(const std::string& address) {
    WinInetPort port;
    return HttpGetText(port, address);
}
