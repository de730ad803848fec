#include "BesideWindow_win.h"

#include <memory>

#include "CallWithLimit.h"
#include "DownloadFile.h"
#include "HttpText_win.h"
#include "UrlDownload_win.h"
#include "WindowJobWait_win.h"

namespace net {

std::string TextBesideWindow(std::function<std::string()> fetch, std::chrono::milliseconds limit) {
    auto text = std::make_shared<std::string>();
    const bool ended = CallWithLimit([text, fetch = std::move(fetch)] { *text = fetch(); },
                                     MakeWindowJobWait(), limit);
    return ended ? std::move(*text) : std::string();
}

std::string HttpGetTextBesideWindow(const std::string& address, std::chrono::milliseconds limit) {
    return TextBesideWindow([address] { return ::HttpGetText(address); }, limit);
}

bool DownloadToFileBesideWindow(const std::string& address, const std::string& fileName,
                                std::chrono::milliseconds limit) {
    return DownloadToFileWithLimit(std::make_shared<WinUrlDownload>(),
                                   std::make_shared<WinDownloadFiles>(), address, fileName,
                                   MakeWindowJobWait(), limit);
}

}  // namespace net

std::string WindowHttpText::HttpGetText(const std::string& address) {
    return net::HttpGetTextBesideWindow(address);
}
