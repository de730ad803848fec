#pragma once
#include <memory>
#include <string>

#include "DownloadPorts.h"
#include "DownloadUpdate.h"
#include "SettingsFile.h"
#include "TrayPorts.h"
#include "VersionText.h"

// The answer of a version check.
enum class VersionCheck {
    NoAnswer = 0,  // the server's version text is empty
    UpToDate = 1,  // the installed version is the server's
    Newer = 2,     // the server has another version
    Pending = 3,   // an installer is downloaded and waits to be run
};

constexpr const char* kNoAnswerMessage = "网络不通，请稍后在试。";
constexpr const char* kUpToDateMessage = "你安装的已经是最新版本。";
constexpr const char* kInstallQuestion = "更新下载完成，是否安装?";

// Everything the update needs; all of it is required. The settings file and the download services
// are shared with the download's worker thread.
struct TrayUpdateServices {
    VersionSource& version;
    std::shared_ptr<SettingsFile> settings;  // section "update": "childver" and "down"
    DownloadServices downloads;              // reports run on the user-interface thread
    TrayTimers& timers;
    TrayMessages& messages;
    TrayPrograms& programs;
    TrayEnding& ending;
    std::string host;           // the content server host
    std::string baseDirectory;  // where the installer goes
};

// The update check and install of the tray's main window: the periodic step, the menu's update
// command, and the installer download with its question. Use it on the user-interface thread; the
// download runs on a worker of its own and reports back here.
class TrayUpdate {
  public:
    explicit TrayUpdate(TrayUpdateServices services);
    // A download that still runs reports to nobody.
    ~TrayUpdate() = default;
    TrayUpdate(const TrayUpdate&) = delete;
    TrayUpdate& operator=(const TrayUpdate&) = delete;

    // Asks the server for its version and compares it with the installed one; records that no
    // installer waits ("down" = "0") whenever it got that far.
    VersionCheck CheckVersion();
    // The periodic step: a newer version starts the installer download.
    void UpdateStep();
    // Starts the installer download, unless one runs already.
    void StartDownload();
    // The menu's update command.
    void OnUpdate();

    bool Downloading() const { return download_.Get() != nullptr; }
    std::shared_ptr<DownloadUpdateThread> CurrentThread() const { return download_.Get(); }

  private:
    void DownloadComplete();

    TrayUpdateServices s_;
    CurrentDownload<DownloadUpdateThread> download_;
};
