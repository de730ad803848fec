#include "Udownlogo.h"

#include <algorithm>
#include <stdexcept>

#include "DownloadFile.h"
#include "TextFormat.h"

std::string LogoVersionAddress(const std::string& host) {
    return FormatS("http://%s/images/getlogo.html", host);
}

std::string LogoTagOf(const std::string& answer) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    const auto first = std::find_if_not(answer.begin(), answer.end(), blank);
    const auto last = std::find_if_not(answer.rbegin(), answer.rend(), blank).base();
    if (first >= last) return {};
    const std::string tag(first, last);
    // Bytes from 0x80 up are the code page's own characters and stay.
    const bool control = std::any_of(tag.begin(), tag.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    if (control || tag.size() > kLogoTagLimit) return {};
    return tag;
}

std::shared_ptr<TlogoswfThread> TlogoswfThread::Create(std::string url, std::string fileName,
                                                       CompleteEvent onDownloadComplete,
                                                       FailEvent onDownloadFail,
                                                       bool createSuspended,
                                                       LogoServices services) {
    std::shared_ptr<TlogoswfThread> thread(
        new TlogoswfThread(std::move(url), std::move(fileName), std::move(onDownloadComplete),
                           std::move(onDownloadFail), std::move(services)));
    thread->Start(createSuspended);
    return thread;
}

TlogoswfThread::TlogoswfThread(std::string url, std::string fileName, CompleteEvent complete,
                               FailEvent fail, LogoServices services)
    : WorkerThread(services.downloads.report,
                   complete && fail && !url.empty() && !fileName.empty() &&
                       services.downloads.download && services.downloads.files &&
                       services.settings && services.http),
      url_(std::move(url)),
      fileName_(std::move(fileName)),
      onDownloadComplete_(std::move(complete)),
      onDownloadFail_(std::move(fail)),
      services_(std::move(services)) {}

std::int32_t TlogoswfThread::Refresh() {
    const auto stored = services_.settings->Read("system", "logoswf", "");
    serverTag_ = LogoTagOf(services_.http->HttpGetText(LogoVersionAddress(services_.host)));
    if (serverTag_ == stored) return kResultOk;

    auto& download = *services_.downloads.download;
    download.DeleteCacheEntry(url_);
    const auto result = net::DownloadReplacing(
        *services_.downloads.files, fileName_,
        [&](const std::string& partial) { return download.Download(url_, partial); });
    if (result != kResultOk) return result;
    // Stored only now, so that a failed download is tried again at the next start.
    if (!services_.settings->Write("system", "logoswf", serverTag_))
        throw std::runtime_error(FormatS("Unable to write to %s", services_.settings->Path()));
    return kResultOk;
}

void TlogoswfThread::Execute() {
    result_ = Refresh();
    if (result_ == kResultOk)
        Synchronize([this] { onDownloadComplete_(*this); });
    else
        Synchronize([this] { onDownloadFail_(*this, result_); });
    result_ = -1;
}

TDownlogoswf::TDownlogoswf(PlayerState& state, LogoPlayer& player, LogoServices services)
    : state_(state),
      player_(player),
      services_(std::move(services)),
      link_(std::make_shared<Link>(Link{this})) {}

TDownlogoswf::~TDownlogoswf() {
    link_->owner = nullptr;
    if (current_) current_->Terminate();
}

void TDownlogoswf::BeginDownload() {
    if (IsBlank(SourceFile) || IsBlank(DestFile)) return;
    if (current_) current_->Terminate();
    const auto link = link_;
    current_ = TlogoswfThread::Create(
        SourceFile, DestFile,
        [link](TlogoswfThread&) {
            if (link->owner) link->owner->DownloadComplete();
        },
        [link](TlogoswfThread&, std::int32_t) {
            if (link->owner) link->owner->DownloadFail();
        },
        true, services_);
    current_->OnTerminate = [link](WorkerThread& sender) {
        if (link->owner) link->owner->ThreadDone(sender);
    };
    current_->Resume();
}

void TDownlogoswf::DownloadComplete() {
    player_.StopPlay();
}

void TDownlogoswf::DownloadFail() {
    state_.LogoMoviePath = state_.ProgramDir + "web\\logo.swf";
}

void TDownlogoswf::ThreadDone(WorkerThread& sender) {
    if (current_.get() == &sender) current_.reset();
}
