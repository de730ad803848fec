#include "UDownFile.h"

TDownFile::TDownFile(DownloadServices services)
    : services_(std::move(services)), link_(std::make_shared<Link>(Link{this})) {}

TDownFile::~TDownFile() {
    // The threads reach this object only through the link, and only on the user-interface
    // thread, where this destructor runs too: cutting it is enough, nothing needs to wait.
    link_->owner = nullptr;
    if (current_) current_->Terminate();
}

void TDownFile::BeginDownload() {
    if (IsBlank(SourceFile) || IsBlank(DestFile)) return;
    if (current_) current_->Terminate();
    const auto link = link_;
    current_ = TFileDownLoadThread::Create(
        SourceFile, DestFile,
        [link](TFileDownLoadThread&, std::uint32_t progress, std::uint32_t progressMax) {
            if (link->owner) link->owner->DownloadProgress(progress, progressMax);
        },
        [link](TFileDownLoadThread&) {
            if (link->owner) link->owner->DownloadComplete();
        },
        [link](TFileDownLoadThread&, std::int32_t reason) {
            if (link->owner) link->owner->DownloadFail(reason);
        },
        true, services_);
    current_->OnTerminate = [link](WorkerThread& sender) {
        if (link->owner) link->owner->ThreadDone(sender);
    };
    current_->Resume();
}

// Each event runs from a copy: a handler may free this component (the window closes).
void TDownFile::DownloadProgress(std::uint32_t progress, std::uint32_t progressMax) {
    if (auto handler = OnDownProcess) handler(progress, progressMax);
}

void TDownFile::DownloadComplete() {
    if (auto handler = OnDownComplete) handler();
}

void TDownFile::DownloadFail(std::int32_t reason) {
    if (auto handler = OnDownFail) handler(reason);
}

void TDownFile::ThreadDone(WorkerThread& sender) {
    if (current_.get() == &sender) current_.reset();
}
