#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "DownloadPorts.h"
#include "DownloadWorker.h"

// The percentage reported for `progress` bytes of `progressMax`: progress div (progressMax div
// 100). Only roughly a percentage: with a maximum that is no multiple of 100 it can pass 100 near
// the end (up to 150 for 150 bytes), from 10 000 bytes on it never does. Below 100 bytes the inner
// division would be by zero: there it is the true percentage, 100 at the end. Nothing for a zero
// progress or maximum.
std::optional<std::uint32_t> DownloadPercent(std::uint32_t progress, std::uint32_t progressMax);

// What the monitor needs of the thread it belongs to.
class MonitorOwner {
  public:
    virtual ~MonitorOwner() = default;
    // Runs the progress report on the user-interface thread and waits for it; false when it
    // could not run there.
    virtual bool ReportProgress(std::uint32_t progress, std::uint32_t progressMax) = 0;
    // The thread has been asked to stop.
    virtual bool StopRequested() const = 0;
};

// Watches one download for its thread: turns the platform's progress into percentages, reports
// each change, and abandons the download once the thread has been asked to stop.
class TDownLoadMonitor : public DownloadProgressSink {
  public:
    explicit TDownLoadMonitor(MonitorOwner* thread) : thread_(thread) {}
    std::int32_t OnProgress(std::uint32_t progress, std::uint32_t progressMax) override;

    bool Aborting() const { return abort_; }

  private:
    std::uint32_t lastReported_ = 0;
    std::uint32_t maximum_ = 100;
    bool abort_ = false;
    MonitorOwner* thread_;
};

// Fetches one address into one file on a worker thread and reports progress, then completion or
// failure, on the user-interface thread while it waits. The file appears at its name only when
// complete: the download goes into a file of its own beside it, and a failure leaves whatever was
// at the name untouched.
class TFileDownLoadThread : public DownloadWorker<TFileDownLoadThread>, private MonitorOwner {
  public:
    using ProgressEvent = std::function<void(TFileDownLoadThread& sender, std::uint32_t progress,
                                             std::uint32_t progressMax)>;

    // The thread never runs when a callback is missing or the address or the file name is empty,
    // whatever `createSuspended` says.
    static std::shared_ptr<TFileDownLoadThread> Create(std::string url, std::string fileName,
                                                       ProgressEvent onDownloadProgress,
                                                       CompleteEvent onDownloadComplete,
                                                       FailEvent onDownloadFail,
                                                       bool createSuspended,
                                                       DownloadServices services);

    // Meaningful inside the reports only.
    std::uint32_t Progress() const { return progress_; }
    std::uint32_t ProgressMax() const { return progressMax_; }

  private:
    friend class DownloadWorker<TFileDownLoadThread>;
    TFileDownLoadThread(std::string url, std::string fileName, ProgressEvent progress,
                        CompleteEvent complete, FailEvent fail, DownloadServices services);
    std::int32_t Fetch() override;
    void Reported() override { Terminate(); }
    bool ReportProgress(std::uint32_t progress, std::uint32_t progressMax) override;
    bool StopRequested() const override { return Terminated(); }

    std::uint32_t progress_ = 0;
    std::uint32_t progressMax_ = 0;
    const ProgressEvent onDownloadProgress_;
    const DownloadServices services_;
};
