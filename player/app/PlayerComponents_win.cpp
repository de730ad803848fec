#include "PlayerComponents_win.h"

#include <windows.h>

#include <vector>

#include "DownloadFile.h"
#include "FormCreate.h"
#include "Handles_win.h"
#include "PipelineBinder_win.h"
#include "PlayPipeline.h"
#include "ProfileFile_win.h"
#include "SitePages_win.h"
#include "SyncReport_win.h"
#include "UDownFile.h"
#include "Udownlogo.h"
#include "Uflashvol.h"
#include "UrlDownload_win.h"

namespace {

std::string ModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

// The components and the steps of the start-up. The components reach each other through this
// object, so each may be made at its own step whatever the others need of it later.
class PlayerComponents final : public MainComponents,
                               public StartupSteps,
                               public VolumeControl,
                               public LogoRefresh,
                               public LogoPlayer {
  public:
    PlayerComponents(MainPlaces& places, PlayerState& state, std::string executablePath)
        : state_(state),
          executablePath_(executablePath.empty() ? ModulePath() : std::move(executablePath)),
          binder_(places),
          pipeline_({state, binder_.Movie(), binder_, binder_, *this, *this, ContentHost,
                     AdvertisingEnabled}),
          pages_(places.SitePanel(), state) {}

    // The reverse of the start-up.
    ~PlayerComponents() override {
        downFile_.reset();
        FreeEpisodeList(state_);
        logoUpdater_.reset();
        volume_.reset();
    }

    SitePages& Pages() override { return pages_; }
    PlayControl& Play() override { return pipeline_; }

    // StartupSteps
    std::string ExecutablePath() override { return executablePath_; }
    std::unique_ptr<SettingsFile> OpenSettings(const std::string& path) override {
        return std::make_unique<ProfileFile>(path, kPlayerSettingsBuffer);
    }
    void StartProgram(const std::string& path, const std::string& folder) override {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOW;
        std::string commandLine = "\"" + path + "\"";
        PROCESS_INFORMATION pi{};
        if (CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.c_str(), &si, &pi)) {
            UniqueHandle process(pi.hProcess), thread(pi.hThread);
        }
    }
    bool FolderExists(const std::string& path) override {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    void CreateFolder(const std::string& path) override { CreateDirectoryA(path.c_str(), nullptr); }
    void RemoveDownloadLeftovers(const std::string& folder) override {
        WinDownloadFiles files;
        net::RemoveDownloadLeftovers(files, folder);
    }
    void MakeVolumeControl() override { volume_ = std::make_unique<TFlashVolume>(); }
    void MakeLogoUpdater() override {
        logoUpdater_ = std::make_unique<TDownlogoswf>(
            state_, *this,
            LogoServices{WindowsDownloadServices(reports_.Reporter()),
                         std::make_shared<ProfileFile>(SettingsPathOf(state_.ProgramDir),
                                                       kPlayerSettingsBuffer),
                         std::make_shared<WinHttpText>(), ContentHost});
    }
    void MakeDownloadComponent() override {
        downFile_ = std::make_unique<TDownFile>(WindowsDownloadServices(reports_.Reporter()));
    }
    int InitialVolume() override { return pipeline_.GetVolume(); }

    // VolumeControl
    int Volume() const override { return volume_->Volume(); }
    void SetVolume(int volume) override { volume_->SetVolume(volume); }
    void SetMute(bool mute) override { volume_->SetMute(mute); }
    // LogoRefresh
    void BeginRefresh(const std::string& source, const std::string& destination) override {
        logoUpdater_->SourceFile = source;
        logoUpdater_->DestFile = destination;
        logoUpdater_->BeginDownload();
    }
    // LogoPlayer
    void LogoRefreshed() override { pipeline_.LogoRefreshed(); }

  private:
    PlayerState& state_;
    const std::string executablePath_;
    // Workers' reports run on this thread through it; it outlives every component.
    SyncReportWindow reports_;
    PipelineBinder binder_;
    PlayPipeline pipeline_;
    TSitePages pages_;
    std::unique_ptr<TFlashVolume> volume_;
    std::unique_ptr<TDownlogoswf> logoUpdater_;
    std::unique_ptr<TDownFile> downFile_;
};

}  // namespace

std::unique_ptr<MainComponents> MakePlayerComponents(MainPlaces& places, MainView& view,
                                                     PlayerState& state,
                                                     const std::string& executablePath) {
    auto components = std::make_unique<PlayerComponents>(places, state, executablePath);
    FormCreate(state, *components, view, AdvertisingEnabled);
    return components;
}
