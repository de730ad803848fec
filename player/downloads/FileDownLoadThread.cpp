#include "FileDownLoadThread.h"

#include "DownloadFile.h"

std::optional<std::uint32_t> DownloadPercent(std::uint32_t progress, std::uint32_t progressMax) {
    if (progress == 0 || progressMax == 0) return std::nullopt;
    if (progressMax < 100)  // the rule would divide by zero; a file this small gets the plain share
        return static_cast<std::uint32_t>(std::uint64_t{progress} * 100 / progressMax);
    return progress / (progressMax / 100);
}

std::int32_t TDownLoadMonitor::OnProgress(std::uint32_t progress, std::uint32_t progressMax) {
    // Once abandoning, stay quiet: the platform may still call while it winds the download down.
    if (abort_) return kResultAbort;
    const auto percent = thread_ ? DownloadPercent(progress, progressMax) : std::nullopt;
    if (percent && *percent != lastReported_) {
        lastReported_ = *percent;
        // Nobody is left to see the outcome when the report cannot run: stop fetching as well.
        if (!thread_->ReportProgress(*percent, maximum_) || thread_->StopRequested()) abort_ = true;
    }
    return abort_ ? kResultAbort : kResultOk;
}

std::shared_ptr<TFileDownLoadThread> TFileDownLoadThread::Create(
    std::string url, std::string fileName, ProgressEvent onDownloadProgress,
    CompleteEvent onDownloadComplete, FailEvent onDownloadFail, bool createSuspended,
    DownloadServices services) {
    std::shared_ptr<TFileDownLoadThread> thread(new TFileDownLoadThread(
        std::move(url), std::move(fileName), std::move(onDownloadProgress),
        std::move(onDownloadComplete), std::move(onDownloadFail), std::move(services)));
    thread->Start(createSuspended);
    return thread;
}

TFileDownLoadThread::TFileDownLoadThread(std::string url, std::string fileName,
                                         ProgressEvent progress, CompleteEvent complete,
                                         FailEvent fail, DownloadServices services)
    : WorkerThread(services.report, progress && complete && fail && !url.empty() &&
                                        !fileName.empty() && services.download && services.files),
      url_(std::move(url)),
      fileName_(std::move(fileName)),
      onDownloadProgress_(std::move(progress)),
      onDownloadComplete_(std::move(complete)),
      onDownloadFail_(std::move(fail)),
      services_(std::move(services)) {}

bool TFileDownLoadThread::ReportProgress(std::uint32_t progress, std::uint32_t progressMax) {
    progress_ = progress;
    progressMax_ = progressMax;
    return Synchronize([&] { onDownloadProgress_(*this, progress, progressMax); });
}

std::int32_t TFileDownLoadThread::Fetch() {
    TDownLoadMonitor monitor(this);
    services_.download->DeleteCacheEntry(url_);
    return net::DownloadReplacing(*services_.files, fileName_, [&](const std::string& partial) {
        return services_.download->DownloadWithProgress(url_, partial, monitor);
    });
}

void TFileDownLoadThread::Execute() {
    result_ = Fetch();
    if (result_ == kResultOk)
        Synchronize([this] { onDownloadComplete_(*this); });
    else
        Synchronize([this] { onDownloadFail_(*this, result_); });
    result_ = -1;
    Terminate();
}
