#include "FormCreate.h"

#include "Contract.h"

void FormCreate(PlayerState& s, StartupSteps& steps, MainView& view, bool advertising) {
    FormProgramDir(s, steps.ExecutablePath());
    s.SysPass = ReadSysPass(*steps.OpenSettings(SettingsPathOf(s.ProgramDir)));
    if (!s.SiteLoggedIn) {
        for (auto id : {ButtonId::ImgButton3, ButtonId::ImgButton4, ButtonId::ImgButton5,
                        ButtonId::ImgButton6, ButtonId::ImgButton7})
            view.SetEnabled(id, false);
    }
    steps.StartProgram(s.ProgramDir + contract::kTrayProgram, s.ProgramDir);
    steps.MakeVolumeControl();
    FormMoviePaths(s);
    steps.MakeLogoUpdater();
    steps.MakeScriptBridge();
    s.EpisodeListReady = CreateEpisodeList(s);
    FormCacheDir(s);
    if (!steps.FolderExists(s.CacheDir)) steps.CreateFolder(s.CacheDir);
    // A killed run can leave half-written downloads beside the episodes and the logo.
    steps.RemoveDownloadLeftovers(s.CacheDir);
    steps.RemoveDownloadLeftovers(s.ProgramDir + "web\\");
    view.SetVolumePosition(steps.InitialVolume());
    view.ShowAdvertPanel(advertising);
    steps.MakeDownloadComponent();
    steps.MakeHistoryStore();
    steps.MakeLockMode();
}
