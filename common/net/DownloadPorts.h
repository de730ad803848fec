#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SyncReport.h"

// Platform result codes as the download reports carry them.
constexpr std::int32_t kResultOk = 0;                                          // S_OK
constexpr std::int32_t kResultAbort = static_cast<std::int32_t>(0x80004004u);  // E_ABORT
constexpr std::int32_t kResultFail = static_cast<std::int32_t>(0x80004005u);   // E_FAIL

// What the platform's download calls back while the data arrives.
class DownloadProgressSink {
  public:
    virtual ~DownloadProgressSink() = default;
    // kResultOk to go on, kResultAbort to have the platform abandon the download.
    virtual std::int32_t OnProgress(std::uint32_t progress, std::uint32_t progressMax) = 0;
};

// The platform's URL download into a file, with its internet cache. Addresses and file names are
// bytes of the ANSI code page. Both downloads run on the calling thread and return the platform's
// result code (kResultOk when the file is complete).
class UrlDownload {
  public:
    virtual ~UrlDownload() = default;
    // Forgets any cached copy of the address, so that the next download fetches it fresh.
    virtual void DeleteCacheEntry(const std::string& url) = 0;
    // Reports progress to `sink` on the calling thread.
    virtual std::int32_t DownloadWithProgress(const std::string& url, const std::string& fileName,
                                              DownloadProgressSink& sink) = 0;
    // No progress reporting.
    virtual std::int32_t Download(const std::string& url, const std::string& fileName) = 0;
};

// The few file operations around a download: it goes into a file of its own beside the
// destination, which is replaced only by a complete file. Paths are bytes of the ANSI code page.
class DownloadFiles {
  public:
    virtual ~DownloadFiles() = default;
    // Moves `from` over `to`, replacing a file that is there; the result code.
    virtual std::int32_t Replace(const std::string& from, const std::string& to) = 0;
    // Removes the file if it is there.
    virtual void Remove(const std::string& path) = 0;
    // The paths of the files directly in `folder` (no folders), each usable with Remove; empty
    // when the folder cannot be read.
    virtual std::vector<std::string> ListFiles(const std::string& folder) = 0;
};

// A short text over HTTP: the response body, or empty text on any failure.
class HttpTextPort {
  public:
    virtual ~HttpTextPort() = default;
    virtual std::string HttpGetText(const std::string& address) = 0;
};

// What a download thread keeps for its whole run; a thread may outlive the component that started
// it, so it shares these rather than borrowing them.
struct DownloadServices {
    std::shared_ptr<SyncReport> report;  // the user-interface thread
    std::shared_ptr<UrlDownload> download;
    std::shared_ptr<DownloadFiles> files;
};

// True for a path that is empty or holds only blanks and control characters.
inline bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}
