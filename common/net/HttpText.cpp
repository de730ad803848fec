#include "HttpText.h"

#include <algorithm>

std::string HttpGetText(InternetPort& port, const std::string& address) {
    constexpr std::uint32_t kChunk = 1024;
    const auto session = port.Open(kHttpTextAgent, InternetAccess::Preconfigured);
    if (!session) return {};
    // Declared after the session, so it is closed first.
    const auto request = session->OpenUrl(address, UrlRequest{kInternetFlagReload, {}, 0});
    if (!request) return {};
    // An error page is not the text that was asked for; nor is an answer we cannot tell from one.
    const auto status = request->StatusCode();
    if (!status || *status >= 400) return {};
    std::string result;
    std::uint32_t total = 0;  // bytes read, zero bytes included
    char buffer[kChunk + 2];
    for (;;) {
        // The success flag is not looked at: a failed read delivers nothing and ends the loop.
        const auto count = std::min(request->Read(buffer, kChunk).count, kChunk);
        if (count == 0) break;
        total += count;
        if (total > kHttpTextLimit) return {};
        buffer[count] = '\0';
        result += buffer;  // up to its first zero byte
    }
    return result;
}
