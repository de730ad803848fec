#include "VersionText.h"

#include <algorithm>

#include "TextFormat.h"

std::string VersionAddress(const std::string& host) {
    return FormatS("http://%s/toluad/getver.html", host);
}

std::string FetchVersionText(InternetPort& port, const std::string& address) {
    const auto session = port.Open(kVersionAgent, InternetAccess::Direct);
    if (!session) return {};
    // Declared after the session, so it is closed first.
    const auto request =
        session->OpenUrl(address, UrlRequest{kInternetFlagReload | kInternetFlagTransferBinary,
                                             kVersionHeaders, kVersionContext});
    if (!request) return {};
    // An error page is no version: taken for one, it would make every failing server look newer
    // and have the installer fetched and offered again.
    const auto status = request->StatusCode();
    if (!status || *status >= 400) return {};
    char buffer[kVersionReadLimit];
    const auto read = request->Read(buffer, kVersionReadLimit);
    // What a failed read delivered is no answer.
    if (!read.ok) return {};
    return std::string(buffer, std::min(read.count, kVersionReadLimit));
}
