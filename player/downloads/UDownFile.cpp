#include "UDownFile.h"

TDownFile::TDownFile(DownloadServices services) : services_(std::move(services)) {}

void TDownFile::BeginDownload() {
    download_.Begin(SourceFile, DestFile, [this] {
        return TFileDownLoadThread::Create(
            SourceFile, DestFile,
            download_.WhileAttached(
                [this](TFileDownLoadThread&, std::uint32_t progress, std::uint32_t progressMax) {
                    DownloadProgress(progress, progressMax);
                }),
            download_.WhileAttached([this](TFileDownLoadThread&) { DownloadComplete(); }),
            download_.WhileAttached(
                [this](TFileDownLoadThread&, std::int32_t reason) { DownloadFail(reason); }),
            true, services_);
    });
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
