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
    return Make(createSuspended, std::move(url), std::move(fileName), std::move(onDownloadComplete),
                std::move(onDownloadFail), std::move(services));
}

TlogoswfThread::TlogoswfThread(std::string url, std::string fileName, CompleteEvent complete,
                               FailEvent fail, LogoServices services)
    : DownloadWorker(services.downloads.report,
                     services.downloads.download && services.downloads.files && services.settings &&
                         services.http,
                     std::move(url), std::move(fileName), std::move(complete), std::move(fail)),
      services_(std::move(services)) {}

std::int32_t TlogoswfThread::Fetch() {
    const auto stored = services_.settings->Read("system", "logoswf", "");
    serverTag_ = LogoTagOf(services_.http->HttpGetText(LogoVersionAddress(services_.host)));
    if (serverTag_ == stored) return kResultOk;

    auto& download = *services_.downloads.download;
    download.DeleteCacheEntry(URL());
    const auto result = net::DownloadReplacing(
        *services_.downloads.files, FileName(),
        [&](const std::string& partial) { return download.Download(URL(), partial); });
    if (result != kResultOk) return result;
    // Stored only now, so that a failed download is tried again at the next start.
    if (!services_.settings->Write("system", "logoswf", serverTag_))
        throw std::runtime_error(FormatS("Unable to write to %s", services_.settings->Path()));
    return kResultOk;
}

TDownlogoswf::TDownlogoswf(PlayerState& state, LogoPlayer& player, LogoServices services)
    : state_(state), player_(player), services_(std::move(services)) {}

void TDownlogoswf::BeginDownload() {
    download_.Begin(SourceFile, DestFile, [this] {
        return TlogoswfThread::Create(
            SourceFile, DestFile,
            download_.WhileAttached([this](TlogoswfThread&) { DownloadComplete(); }),
            download_.WhileAttached([this](TlogoswfThread&, std::int32_t) { DownloadFail(); }),
            true, services_);
    });
}

void TDownlogoswf::DownloadComplete() {
    player_.LogoRefreshed();
}

void TDownlogoswf::DownloadFail() {
    state_.LogoMoviePath = state_.ProgramDir + "web\\logo.swf";
}
