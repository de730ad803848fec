#pragma once
#include <chrono>
#include <functional>
#include <string>

#include "DownloadPorts.h"

namespace net {

// How long a window's thread waits for the server before it gives a fetch up: far longer than a
// short text or a picture takes, and an end to a server that has stopped answering, which the
// platform's own time limits do not always bring.
constexpr std::chrono::milliseconds kWindowFetchLimit{30000};

// Fetches for a window's thread. Each runs on a thread of its own while the window keeps painting
// and answering (WindowJobWait), and fails once `limit` has passed.

// The text that `fetch` gives, or empty text.
std::string TextBesideWindow(std::function<std::string()> fetch,
                             std::chrono::milliseconds limit = kWindowFetchLimit);

// HttpGetText (WinInet).
std::string HttpGetTextBesideWindow(const std::string& address,
                                    std::chrono::milliseconds limit = kWindowFetchLimit);

// net::DownloadToFile. A download given up is dropped when it ends later, unless it was already
// putting its file in place.
bool DownloadToFileBesideWindow(const std::string& address, const std::string& fileName,
                                std::chrono::milliseconds limit = kWindowFetchLimit);

}  // namespace net

// HttpGetTextBesideWindow behind the text port, for the user-interface thread.
class WindowHttpText : public HttpTextPort {
  public:
    std::string HttpGetText(const std::string& address) override;
};
