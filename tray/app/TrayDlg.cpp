#include "TrayDlg.h"

#include "Mbcs.h"
#include "Notice.h"
#include "TextFormat.h"

bool IconMenuWanted(unsigned iconId, std::uintptr_t wParam, std::intptr_t lParam) {
    const auto mouse = static_cast<unsigned>(lParam & 0xFFFF);
    return wParam == iconId && mouse == kRightButtonUp;
}

std::string BaseDirectoryOf(const std::string& currentDirectory) {
    // Only a drive's root comes with its backslash; a trail byte of a double-byte character is no
    // backslash.
    const auto last = LastDelimiter(currentDirectory, "\\");
    if (last != std::string::npos && last + 1 == currentDirectory.size())
        return currentDirectory.substr(0, last);
    return currentDirectory;
}

std::string PlayerPath(const std::string& baseDirectory) {
    return baseDirectory + "\\Variz.exe";
}

std::string TraySettingsPath(const std::string& baseDirectory) {
    return baseDirectory + "\\Variz.dat";
}

std::string HomePageAddress(const std::string& host) {
    return FormatS("http://%s", host);
}

TrayDlgLogic::TrayDlgLogic(TrayDlgServices services) : s_(std::move(services)) {}

void TrayDlgLogic::OnInitDialog() {
    s_.timers.SetTimer(kStartTimer, kStartDelay);
    // The first notice comes one period after the start.
    s_.timers.SetTimer(kNoticeTimer, kNoticePeriod);
}

bool TrayDlgLogic::OnTimer(unsigned id) {
    switch (id) {
        case kStartTimer:
            s_.timers.KillTimer(kStartTimer);
            s_.timers.SetTimer(kUpdateTimer, kUpdatePeriod);
            return true;
        case kNoticeTimer:
            s_.timers.KillTimer(kNoticeTimer);
            s_.window.ShowNotice(NoticeAddress(s_.host));
            s_.timers.SetTimer(kNoticeTimer, kNoticePeriod);
            return true;
        case kUpdateTimer:
            s_.update.UpdateStep();
            return true;
        default:
            return false;
    }
}

void TrayDlgLogic::OnIconNotify(std::uintptr_t wParam, std::intptr_t lParam) {
    // Only the press: the second press of a double click comes as a message of its own.
    if (static_cast<unsigned>(lParam & 0xFFFF) == kLeftButtonDown) RunPlayer();
    s_.window.IconNotify(wParam, lParam);
}

bool TrayDlgLogic::OnCommand(unsigned id) {
    switch (id) {
        case ID_OPEN_PLAYER:
            RunPlayer();
            return true;
        case ID_HOME_PAGE:
            OnHomePage();
            return true;
        case ID_UPDATE:
            s_.update.OnUpdate();
            return true;
        case ID_EXIT:
            OnExit();
            return true;
        default:
            return false;
    }
}

void TrayDlgLogic::RunPlayer() {
    // A player that runs already brings itself forward.
    s_.programs.StartProgram(PlayerPath(s_.baseDirectory));
}

void TrayDlgLogic::OnHomePage() {
    s_.programs.OpenAddress(HomePageAddress(s_.host));
}

void TrayDlgLogic::OnExit() {
    if (s_.player.IsPlayerRunning()) {
        if (!s_.messages.Confirm(kExitQuestion)) return;
        s_.player.ClosePlayer();
    }
    s_.ending.EndTray();
}
