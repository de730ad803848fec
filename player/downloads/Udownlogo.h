#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "DIvezoZaz.h"
#include "DownloadPorts.h"
#include "DownloadWorker.h"
#include "SettingsFile.h"

// What the logo updater needs besides the downloads: the version address, the settings file that
// holds the stored tag (read and written from the worker), and the text fetch.
struct LogoServices {
    DownloadServices downloads;
    std::shared_ptr<SettingsFile> settings;
    std::shared_ptr<HttpTextPort> http;
    std::string host;  // the content server host
};

// What the logo updater asks of the player when the logo is up to date.
class LogoPlayer {
  public:
    virtual ~LogoPlayer() = default;
    // The check ended well: the movie at LogoMoviePath is the newest, to be shown again.
    virtual void LogoRefreshed() = 0;
};

// Checks the server's logo version and fetches the logo movie when it changed, then reports once.
// Frees itself when it ends; asking it to stop changes nothing.
class TlogoswfThread : public DownloadWorker<TlogoswfThread> {
  public:
    // Never runs when a callback is missing or the address or the file name is empty.
    static std::shared_ptr<TlogoswfThread> Create(std::string url, std::string fileName,
                                                  CompleteEvent onDownloadComplete,
                                                  FailEvent onDownloadFail, bool createSuspended,
                                                  LogoServices services);

    // The tag taken from the server's answer. Meaningful inside the reports only.
    const std::string& ServerTag() const { return serverTag_; }

  private:
    friend class DownloadWorker<TlogoswfThread>;
    TlogoswfThread(std::string url, std::string fileName, CompleteEvent complete, FailEvent fail,
                   LogoServices services);
    std::int32_t Fetch() override;

    std::string serverTag_;
    const LogoServices services_;
};

// Refreshes the logo movie from the content server once per start of the player. Use it on the
// user-interface thread only.
class TDownlogoswf {
  public:
    // `state` gives ProgramDir and takes the fallback LogoMoviePath; `player` shows the logo.
    TDownlogoswf(PlayerState& state, LogoPlayer& player, LogoServices services);
    // Detaches from a running check: its report reaches neither this object nor the player. It
    // does not wait for it.
    ~TDownlogoswf() = default;
    TDownlogoswf(const TDownlogoswf&) = delete;
    TDownlogoswf& operator=(const TDownlogoswf&) = delete;

    std::string SourceFile;
    std::string DestFile;

    // Nothing when either path is blank.
    void BeginDownload();

    std::shared_ptr<TlogoswfThread> CurrentThread() const { return download_.Get(); }

  private:
    void DownloadComplete();
    void DownloadFail();

    PlayerState& state_;
    LogoPlayer& player_;
    LogoServices services_;
    CurrentDownload<TlogoswfThread> download_;
};

// The address that answers the logo's version tag.
std::string LogoVersionAddress(const std::string& host);

// The longest version tag taken from the server.
constexpr std::size_t kLogoTagLimit = 64;

// The version tag in the server's answer: the answer without the blanks and line breaks around
// it. Anything but a short single line (an error page, several lines, a control character inside,
// more than kLogoTagLimit bytes) is no answer: the empty tag.
std::string LogoTagOf(const std::string& answer);
