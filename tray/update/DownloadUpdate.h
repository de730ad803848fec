#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "DownloadPorts.h"
#include "DownloadWorker.h"
#include "SettingsFile.h"

// The installer: where it comes from and where it goes.
std::string InstallerAddress(const std::string& host);
std::string InstallerPath(const std::string& baseDirectory);

// The result of a download whose file is no Windows program (ERROR_BAD_EXE_FORMAT).
constexpr std::int32_t kResultNotProgram = static_cast<std::int32_t>(0x800700C1u);

// True when the file begins with the signature of a Windows program ("MZ").
bool IsWindowsProgram(const std::string& path);

// Fetches `url` into `fileName` as every download of the system goes: fresh from the server, into a
// file of its own beside the destination that replaces it only when complete. A download that
// fails, or whose file is no Windows program (an error page, an answer that lost its start),
// leaves the destination as it was. The result code.
std::int32_t DownloadInstaller(UrlDownload& download, DownloadFiles& files, const std::string& url,
                               const std::string& fileName);

// The installer download on a worker thread (DownloadUpdate): it fetches the installer, marks it
// pending in the settings ("down" = "1") and reports once. Frees itself when it ends; asking it to
// stop changes nothing.
class DownloadUpdateThread : public DownloadWorker<DownloadUpdateThread> {
  public:
    // Never runs when a callback, the address, the file name or a service is missing.
    static std::shared_ptr<DownloadUpdateThread> Create(std::string url, std::string fileName,
                                                        CompleteEvent onDownloadComplete,
                                                        FailEvent onDownloadFail,
                                                        bool createSuspended,
                                                        DownloadServices downloads,
                                                        std::shared_ptr<SettingsFile> settings);

  private:
    friend class DownloadWorker<DownloadUpdateThread>;
    DownloadUpdateThread(std::string url, std::string fileName, CompleteEvent complete,
                         FailEvent fail, DownloadServices downloads,
                         std::shared_ptr<SettingsFile> settings);
    std::int32_t Fetch() override;

    const DownloadServices downloads_;
    const std::shared_ptr<SettingsFile> settings_;
};
