#include "DownloadUpdate.h"

#include "DownloadFile.h"
#include "OsFile.h"
#include "TextFormat.h"

std::string InstallerAddress(const std::string& host) {
    return FormatS("http://%s/toluad/update.ex_", host);
}

std::string InstallerPath(const std::string& baseDirectory) {
    return baseDirectory + "\\update.exe";
}

bool IsWindowsProgram(const std::string& path) {
    const osfile::File file(osfile::Open(path, osfile::kOpenRead));
    if (!file) return false;
    char signature[2] = {};
    return osfile::Read(file.get(), signature, sizeof signature) == 2 && signature[0] == 'M' &&
           signature[1] == 'Z';
}

std::int32_t DownloadInstaller(UrlDownload& download, DownloadFiles& files, const std::string& url,
                               const std::string& fileName) {
    // A copy the platform kept from an earlier download is not the newest installer.
    download.DeleteCacheEntry(url);
    return net::DownloadReplacing(files, fileName, [&](const std::string& partial) {
        const auto result = download.Download(url, partial);
        if (result != kResultOk) return result;
        return IsWindowsProgram(partial) ? kResultOk : kResultNotProgram;
    });
}

std::shared_ptr<DownloadUpdateThread> DownloadUpdateThread::Create(
    std::string url, std::string fileName, CompleteEvent onDownloadComplete,
    FailEvent onDownloadFail, bool createSuspended, DownloadServices downloads,
    std::shared_ptr<SettingsFile> settings) {
    return Make(createSuspended, std::move(url), std::move(fileName), std::move(onDownloadComplete),
                std::move(onDownloadFail), std::move(downloads), std::move(settings));
}

DownloadUpdateThread::DownloadUpdateThread(std::string url, std::string fileName,
                                           CompleteEvent complete, FailEvent fail,
                                           DownloadServices downloads,
                                           std::shared_ptr<SettingsFile> settings)
    : DownloadWorker(downloads.report, downloads.download && downloads.files && settings,
                     std::move(url), std::move(fileName), std::move(complete), std::move(fail)),
      downloads_(std::move(downloads)),
      settings_(std::move(settings)) {}

std::int32_t DownloadUpdateThread::Fetch() {
    const auto result =
        DownloadInstaller(*downloads_.download, *downloads_.files, URL(), FileName());
    if (result != kResultOk) return result;
    // A settings file that refuses the mark changes nothing now: the installer is there, and the
    // question comes all the same.
    settings_->Write("update", "down", "1");
    return kResultOk;
}
