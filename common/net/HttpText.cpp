#include "HttpText.h"

#include <algorithm>

std::string HttpGetText(InternetPort& port, const std::string& address) {
    constexpr std::uint32_t kChunk = 1024;
    std::string result;
    const auto session = port.Open(kHttpTextAgent);
    if (!session) return result;
    // Declared after the session, so it is closed first.
    const auto request = session->OpenUrl(address, kInternetFlagReload);
    if (!request) return result;
    char buffer[kChunk + 2];
    for (;;) {
        // The success flag is not looked at: a failed read delivers nothing and ends the loop.
        const auto count = std::min(request->Read(buffer, kChunk).count, kChunk);
        if (count == 0) break;
        buffer[count] = '\0';
        result += buffer;  // up to its first zero byte
    }
    return result;
}
