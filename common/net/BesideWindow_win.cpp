#include "BesideWindow_win.h"

#include <atomic>
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
    if (address.empty() || fileName.empty()) return false;
    auto abandoned = std::make_shared<std::atomic<bool>>(false);
    auto done = std::make_shared<std::atomic<bool>>(false);
    const bool ended = CallWithLimit(
        [address, fileName, abandoned, done] {
            WinUrlDownload download;
            WinDownloadFiles files;
            // Checked once the bytes are in: a download nobody waits for replaces nothing.
            *done = DownloadReplacing(files, fileName, [&](const std::string& partial) {
                        const auto result = download.Download(address, partial);
                        return *abandoned ? kResultAbort : result;
                    }) == kResultOk;
        },
        MakeWindowJobWait(), limit);
    if (!ended) *abandoned = true;
    return ended && *done;
}

}  // namespace net

std::string WindowHttpText::HttpGetText(const std::string& address) {
    return net::HttpGetTextBesideWindow(address);
}
