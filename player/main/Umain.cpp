#include "Umain.h"

#include "SiteAddresses.h"
#include "TextFormat.h"

MainWindowLogic::MainWindowLogic(MainWindowServices services) : s_(std::move(services)) {}

void MainWindowLogic::ApplySide() {
    s_.view.ShowSideLayers(side_.PlWebVisible(), side_.GridVisible());
}

void MainWindowLogic::ShowPageThroughLoadingPage(const std::string& target) {
    s_.pages.ShowLoadingPage(target);
    side_.PlayerNavigates();
}

void MainWindowLogic::WindowShown() {
    if (shown_) return;
    shown_ = true;
    FormShow();
}

bool MainWindowLogic::OwnsButton(ButtonId button) {
    // The lock switch belongs to the lock mode.
    return button != ButtonId::ImgButton2;
}

void MainWindowLogic::FormShow() {
    ShowPageThroughLoadingPage(FormatS(SiteAddress::StartPage, s_.host));
    s_.play.StartLogoMovie();
}

void MainWindowLogic::ButtonClick(ButtonId button) {
    switch (button) {
        case ButtonId::ImgButton1:
            ShowPageThroughLoadingPage(FormatS(SiteAddress::MemberPage, s_.host));
            break;
        case ButtonId::ImgButton2:
            break;
        case ButtonId::ImgButton3:
            s_.pages.OpenInDefaultBrowser(FormatS(SiteAddress::Forum, s_.host));
            break;
        case ButtonId::ImgButton4:
            s_.pages.OpenInDefaultBrowser(FormatS(SiteAddress::Space, s_.host));
            break;
        case ButtonId::ImgButton5:
            s_.pages.OpenInDefaultBrowser(FormatS(SiteAddress::Diary, s_.host));
            break;
        case ButtonId::ImgButton6:
            s_.pages.OpenInDefaultBrowser(FormatS(SiteAddress::Album, s_.host));
            break;
        case ButtonId::ImgButton7:
            s_.pages.Navigate(FormatS(SiteAddress::Search, s_.host));
            side_.PlayerNavigates();
            break;
        case ButtonId::ImgButton8:
            side_.ShowHistory();
            ApplySide();
            break;
        case ButtonId::ImgButton9:
            side_.ShowSitePage();
            ApplySide();
            s_.play.StopPlay();
            break;
        case ButtonId::ImgButton13:
            // The play button shows the playing state; the pipeline sets it.
            if (s_.view.Down(ButtonId::ImgButton13))
                s_.play.PausePlay();
            else
                s_.play.ResumePlay();
            break;
        case ButtonId::ImgButton14:
            s_.play.StopPlay();
            break;
        case ButtonId::ImgButton15:
            s_.play.NextEpisode();
            break;
        case ButtonId::ImgButton16: {
            const bool mute = !s_.view.Down(ButtonId::ImgButton16);
            s_.view.SetDown(ButtonId::ImgButton16, mute);
            s_.play.SetMute(mute);
            break;
        }
        case ButtonId::ImgButton17: {
            const bool full = !s_.view.Down(ButtonId::ImgButton17);
            s_.view.SetDown(ButtonId::ImgButton17, full);
            s_.view.SetFullScreen(full);
            s_.play.RefreshFlashWindow();
            break;
        }
        case ButtonId::ImgBut_min:
            s_.view.Minimize();
            break;
        case ButtonId::ImgBut_max:
            s_.view.ToggleMaximized();
            break;
        case ButtonId::ImgBut_close:
            close_.Allow();
            s_.view.Close();
            break;
    }
}

void MainWindowLogic::ImgTrackBar1Change(int position) {
    s_.play.SetVolume(position);
}

void MainWindowLogic::FSCommand(const std::string& command, const std::string& args) {
    const auto action = DispatchFSCommand(command, args, s_.host);
    switch (action.kind) {
        case FSCommandAction::OpenPage:
            ShowPageThroughLoadingPage(action.address);
            break;
        case FSCommandAction::NextEpisode:
            s_.play.NextEpisode();
            break;
        case FSCommandAction::Ignore:
            break;
    }
}

bool MainWindowLogic::NavigateError() {
    return side_.NavigateError();
}

void MainWindowLogic::DocumentComplete() {
    side_.DocumentComplete();
    ApplySide();
}

void MainWindowLogic::NavigationStalled() {
    if (!side_.NavigateFailed()) return;
    side_.ShowHistory();
    ApplySide();
}

void MainWindowLogic::HandleCloseRequest() {
    close_.Allow();
    s_.view.Close();
}
