#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "DownloadWorker.h"
#include "FileDownLoadThread.h"

using TDLProcessEvent = std::function<void(std::uint32_t Progress, std::uint32_t ProgressMax)>;
using TDLCompleteEvent = std::function<void()>;
using TDLFailEvent = std::function<void(std::int32_t Reason)>;

// Downloads an episode into the cache: set the two paths, BeginDownload, and the events arrive on
// the user-interface thread. Use it on the user-interface thread only.
class TDownFile {
  public:
    explicit TDownFile(DownloadServices services);
    // Asks a running download to stop and detaches from it and from every superseded one: none of
    // their reports reaches this object or its events afterwards. It does not wait for them.
    ~TDownFile() = default;
    TDownFile(const TDownFile&) = delete;
    TDownFile& operator=(const TDownFile&) = delete;

    std::string SourceFile;
    std::string DestFile;
    TDLProcessEvent OnDownProcess;
    TDLCompleteEvent OnDownComplete;
    TDLFailEvent OnDownFail;

    // Starts downloading SourceFile into DestFile; a running download is told to stop and keeps
    // reporting to the same events until it has. Nothing when either path is blank.
    void BeginDownload();

    // The download that runs, or null.
    std::shared_ptr<TFileDownLoadThread> CurrentThread() const { return download_.Get(); }

  private:
    void DownloadProgress(std::uint32_t progress, std::uint32_t progressMax);
    void DownloadComplete();
    void DownloadFail(std::int32_t reason);

    DownloadServices services_;
    CurrentDownload<TFileDownLoadThread> download_;
};
