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
    return Make(createSuspended, std::move(url), std::move(fileName), std::move(onDownloadProgress),
                std::move(onDownloadComplete), std::move(onDownloadFail), std::move(services));
}

TFileDownLoadThread::TFileDownLoadThread(std::string url, std::string fileName,
                                         ProgressEvent progress, CompleteEvent complete,
                                         FailEvent fail, DownloadServices services)
    : DownloadWorker(services.report, progress && services.download && services.files,
                     std::move(url), std::move(fileName), std::move(complete), std::move(fail)),
      onDownloadProgress_(std::move(progress)),
      services_(std::move(services)) {}

bool TFileDownLoadThread::ReportProgress(std::uint32_t progress, std::uint32_t progressMax) {
    progress_ = progress;
    progressMax_ = progressMax;
    return Synchronize([&] { onDownloadProgress_(*this, progress, progressMax); });
}

std::int32_t TFileDownLoadThread::Fetch() {
    TDownLoadMonitor monitor(this);
    services_.download->DeleteCacheEntry(URL());
    return net::DownloadReplacing(*services_.files, FileName(), [&](const std::string& partial) {
        return services_.download->DownloadWithProgress(URL(), partial, monitor);
    });
}
