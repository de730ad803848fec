#include "TrayUpdate.h"

TrayUpdate::TrayUpdate(TrayUpdateServices services) : s_(std::move(services)) {}

VersionCheck TrayUpdate::CheckVersion() {
    const auto text = s_.version.FetchVersionText(VersionAddress(s_.host));
    if (text.empty()) return VersionCheck::NoAnswer;
    if (s_.settings->Read("update", "down", "0") == "1") return VersionCheck::Pending;
    const auto installed = s_.settings->Read("update", "childver", "");
    // Nothing depends on the mark being written: a check that finds no installer says so again.
    s_.settings->Write("update", "down", "0");
    return installed == text ? VersionCheck::UpToDate : VersionCheck::Newer;
}

void TrayUpdate::UpdateStep() {
    if (CheckVersion() != VersionCheck::Newer) return;
    s_.timers.KillTimer(kUpdateTimer);
    StartDownload();
    s_.timers.SetTimer(kUpdateTimer, kUpdatePeriod);
}

void TrayUpdate::StartDownload() {
    // A download that takes longer than a period is not started twice into the same file.
    if (Downloading()) return;
    const auto url = InstallerAddress(s_.host);
    const auto file = InstallerPath(s_.baseDirectory);
    download_.Begin(url, file, [&] {
        return DownloadUpdateThread::Create(
            url, file,
            download_.WhileAttached([this](DownloadUpdateThread&) { DownloadComplete(); }),
            // A failed download goes unsaid; the next periodic step tries again.
            [](DownloadUpdateThread&, std::int32_t) {}, true, s_.downloads, s_.settings);
    });
}

void TrayUpdate::DownloadComplete() {
    // On Cancel the installer stays and stays pending.
    if (!s_.messages.Confirm(kInstallQuestion)) return;
    s_.programs.StartProgram(InstallerPath(s_.baseDirectory));
    s_.ending.EndTray();
}

void TrayUpdate::OnUpdate() {
    switch (CheckVersion()) {
        case VersionCheck::NoAnswer:
            s_.messages.Inform(kNoAnswerMessage);
            break;
        case VersionCheck::UpToDate:
            s_.messages.Inform(kUpToDateMessage);
            break;
        case VersionCheck::Newer:
            // Asks the server again; the question comes when the download ends.
            UpdateStep();
            break;
        case VersionCheck::Pending:
            s_.programs.StartProgram(InstallerPath(s_.baseDirectory));
            s_.ending.EndTray();
            break;
    }
}
