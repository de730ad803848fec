#include "Umain.h"

#include "SiteAddresses.h"
#include "TextFormat.h"

MainWindowLogic::MainWindowLogic(MainView& view, SitePages& pages, PlayControl& play,
                                 LockControl& lock, std::string host)
    : view_(view), pages_(pages), play_(play), lock_(lock), host_(std::move(host)) {}

void MainWindowLogic::ApplySide() {
    view_.ShowSideLayers(side_.PlWebVisible(), side_.GridVisible());
}

void MainWindowLogic::ShowPageThroughLoadingPage(const std::string& target) {
    pages_.ShowLoadingPage(target);
    side_.PlayerNavigates();
}

void MainWindowLogic::FormShow() {
    ShowPageThroughLoadingPage(FormatS(SiteAddress::StartPage, host_));
    pages_.StartLogoMovie();
}

void MainWindowLogic::ButtonClick(ButtonId button) {
    switch (button) {
        case ButtonId::ImgButton1:
            ShowPageThroughLoadingPage(FormatS(SiteAddress::MemberPage, host_));
            break;
        case ButtonId::ImgButton2:
            lock_.ToggleLockMode();
            break;
        case ButtonId::ImgButton3:
            pages_.OpenInDefaultBrowser(FormatS(SiteAddress::Forum, host_));
            break;
        case ButtonId::ImgButton4:
            pages_.OpenInDefaultBrowser(FormatS(SiteAddress::Space, host_));
            break;
        case ButtonId::ImgButton5:
            pages_.OpenInDefaultBrowser(FormatS(SiteAddress::Diary, host_));
            break;
        case ButtonId::ImgButton6:
            pages_.OpenInDefaultBrowser(FormatS(SiteAddress::Album, host_));
            break;
        case ButtonId::ImgButton7:
            pages_.Navigate(FormatS(SiteAddress::Search, host_));
            side_.PlayerNavigates();
            break;
        case ButtonId::ImgButton8:
            side_.ShowHistory();
            ApplySide();
            break;
        case ButtonId::ImgButton9:
            side_.ShowSitePage();
            ApplySide();
            play_.StopPlay();
            break;
        case ButtonId::ImgButton13:
            // The play button shows the playing state; the pipeline sets it.
            if (view_.Down(ButtonId::ImgButton13))
                play_.PausePlay();
            else
                play_.ResumePlay();
            break;
        case ButtonId::ImgButton14:
            play_.StopPlay();
            break;
        case ButtonId::ImgButton15:
            play_.NextEpisode();
            break;
        case ButtonId::ImgButton16: {
            const bool mute = !view_.Down(ButtonId::ImgButton16);
            view_.SetDown(ButtonId::ImgButton16, mute);
            play_.SetMute(mute);
            break;
        }
        case ButtonId::ImgButton17: {
            const bool full = !view_.Down(ButtonId::ImgButton17);
            view_.SetDown(ButtonId::ImgButton17, full);
            view_.SetFullScreen(full);
            play_.RefreshFlashWindow();
            break;
        }
        case ButtonId::ImgBut_min:
            view_.Minimize();
            break;
        case ButtonId::ImgBut_max:
            view_.ToggleMaximized();
            break;
        case ButtonId::ImgBut_close:
            close_.Allow();
            view_.Close();
            break;
    }
}

void MainWindowLogic::ImgTrackBar1Change(int position) {
    play_.SetVolume(position);
}

void MainWindowLogic::FSCommand(const std::string& command, const std::string& args) {
    const auto action = DispatchFSCommand(command, args, host_);
    switch (action.kind) {
        case FSCommandAction::OpenPage:
            ShowPageThroughLoadingPage(action.address);
            break;
        case FSCommandAction::NextEpisode:
            play_.NextEpisode();
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
    view_.Close();
}
