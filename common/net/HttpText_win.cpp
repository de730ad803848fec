#include "HttpText_win.h"

#include <windows.h>
#include <wininet.h>

#include <utility>

#include "Handles_win.h"

static_assert(kInternetFlagReload == INTERNET_FLAG_RELOAD);
static_assert(kInternetFlagTransferBinary == INTERNET_FLAG_TRANSFER_BINARY);

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
                                             const UrlRequest& request) override {
        const bool headers = !request.headers.empty();
        // A header length of all ones has the platform take it from the terminator.
        UniqueInternet url(InternetOpenUrlA(
            h_.get(), address.c_str(), headers ? request.headers.c_str() : nullptr,
            headers ? static_cast<DWORD>(-1) : 0, static_cast<DWORD>(request.flags),
            static_cast<DWORD_PTR>(request.context)));
        if (!url) return nullptr;
        return std::make_unique<WinInetRequest>(std::move(url));
    }

  private:
    UniqueInternet h_;
};

}  // namespace

std::unique_ptr<InternetSession> WinInetPort::Open(const std::string& agent,
                                                   InternetAccess access) {
    const DWORD type =
        access == InternetAccess::Direct ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PRECONFIG;
    UniqueInternet service(InternetOpenA(agent.c_str(), type, nullptr, nullptr, 0));
    if (!service) return nullptr;
    return std::make_unique<WinInetSession>(std::move(service));
}

std::string HttpGetText(const std::string& address) {
    WinInetPort port;
    return HttpGetText(port, address);
}
