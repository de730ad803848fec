#include "PlayerComponents_win.h"

#include <windows.h>

#include "BesideWindow_win.h"
#include "BridgeBinder_win.h"
#include "DownloadFile.h"
#include "FormCreate.h"
#include "HistoryBinder_win.h"
#include "LockBinder_win.h"
#include "Launch_win.h"
#include "ModulePath_win.h"
#include "PipelineBinder_win.h"
#include "PlayPipeline.h"
#include "ProfileFile_win.h"
#include "SitePages_win.h"
#include "SyncReport_win.h"
#include "UDownFile.h"
#include "Udownlogo.h"
#include "Uflashvol_win.h"
#include "UrlDownload_win.h"

namespace {

// The components and the steps of the start-up. The components reach each other through this
// object, so each may be made at its own step whatever the others need of it later.
class PlayerComponents final : public MainComponents,
                               public StartupSteps,
                               public VolumeControl,
                               public LogoRefresh,
                               public LogoPlayer,
                               public EpisodeDownload,
                               public HistoryRecorder,
                               public LockState {
  public:
    PlayerComponents(MainPlaces& places, PlayerState& state, std::string executablePath)
        : state_(state),
          executablePath_(executablePath.empty() ? ModulePathAnsi() : std::move(executablePath)),
          places_(places),
          binder_(places),
          pipeline_({state, binder_.Movie(), binder_, binder_, *this, *this, *this, *this, http_,
                     ContentHost, AdvertisingEnabled}),
          pages_(places.SitePanel(), state) {}

    // The reverse of the start-up.
    ~PlayerComponents() override {
        lock_.reset();
        history_.reset();
        downFile_.reset();
        FreeEpisodeList(state_);
        bridge_.reset();
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
        // A missing tray program goes unnoticed.
        launch::StartProgram(path, folder);
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
    void MakeVolumeControl() override { volume_ = std::make_unique<TFlashVolume>(HookWaveOut()); }
    void MakeLogoUpdater() override {
        logoUpdater_ = std::make_unique<TDownlogoswf>(
            state_, *this,
            LogoServices{WindowsDownloadServices(reports_.Reporter()),
                         std::make_shared<ProfileFile>(SettingsPathOf(state_.ProgramDir),
                                                       kPlayerSettingsBuffer),
                         std::make_shared<WinHttpText>(), ContentHost});
    }
    void MakeScriptBridge() override {
        bridge_ = std::make_unique<BridgeBinder>(places_, state_, pipeline_, *this, ContentHost);
    }
    void MakeDownloadComponent() override {
        downFile_ = std::make_unique<TDownFile>(WindowsDownloadServices(reports_.Reporter()));
        downFile_->OnDownProcess = [this](std::uint32_t progress, std::uint32_t progressMax) {
            pipeline_.EpisodeDownloadProgress(progress, progressMax);
        };
        downFile_->OnDownComplete = [this] { pipeline_.EpisodeDownloadComplete(); };
        downFile_->OnDownFail = [this](std::int32_t reason) {
            pipeline_.EpisodeDownloadFailed(reason);
        };
    }
    void MakeHistoryStore() override {
        history_ = std::make_unique<HistoryBinder>(places_, state_, pipeline_);
    }
    void MakeLockMode() override { lock_ = std::make_unique<LockBinder>(places_, state_); }
    int InitialVolume() override { return pipeline_.GetVolume(); }

    HistoryBinder* History() const { return history_.get(); }

    ComPtr<IDispatch> BridgeDispatch() const {
        return bridge_ ? bridge_->BridgeDispatch() : ComPtr<IDispatch>();
    }
    void SetUnlockDialog(UnlockDialog* dialog) {
        if (lock_) lock_->SetUnlockDialog(dialog);
    }

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
    // EpisodeDownload
    void BeginDownload(const std::string& source, const std::string& destination) override {
        downFile_->SourceFile = source;
        downFile_->DestFile = destination;
        downFile_->BeginDownload();
    }
    std::string DestFile() const override { return downFile_->DestFile; }
    // HistoryRecorder
    void AddHistory(const std::string& id, const std::string& name, const std::string& types,
                    const std::string& episode) override {
        if (history_) history_->Store().AddHistory(id, name, types, episode);
    }
    // LockState: unlocked until the lock mode is made.
    bool Locked() const override { return lock_ && lock_->Locked(); }

  private:
    PlayerState& state_;
    const std::string executablePath_;
    MainPlaces& places_;
    // Workers' reports run on this thread through it; it outlives every component.
    SyncReportWindow reports_;
    // The play list: fetched on this thread, which goes on answering meanwhile.
    WindowHttpText http_;
    PipelineBinder binder_;
    PlayPipeline pipeline_;
    TSitePages pages_;
    std::unique_ptr<TFlashVolume> volume_;
    std::unique_ptr<TDownlogoswf> logoUpdater_;
    std::unique_ptr<BridgeBinder> bridge_;
    std::unique_ptr<TDownFile> downFile_;
    std::unique_ptr<HistoryBinder> history_;
    std::unique_ptr<LockBinder> lock_;
};

}  // namespace

std::unique_ptr<MainComponents> MakePlayerComponents(MainPlaces& places, MainView& view,
                                                     PlayerState& state,
                                                     const std::string& executablePath) {
    auto components = std::make_unique<PlayerComponents>(places, state, executablePath);
    FormCreate(state, *components, view, AdvertisingEnabled);
    return components;
}

ComPtr<IDispatch> BridgeDispatchOf(MainComponents& components) {
    auto* player = dynamic_cast<PlayerComponents*>(&components);
    return player ? player->BridgeDispatch() : ComPtr<IDispatch>();
}

HistoryBinder* HistoryStoreOf(MainComponents& components) {
    auto* player = dynamic_cast<PlayerComponents*>(&components);
    return player ? player->History() : nullptr;
}

void SetUnlockDialog(MainComponents& components, UnlockDialog* dialog) {
    if (auto* player = dynamic_cast<PlayerComponents*>(&components))
        player->SetUnlockDialog(dialog);
}
