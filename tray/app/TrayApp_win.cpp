// The tray program's entry: one tray at a time, its hidden main window for the whole run.
#include <windows.h>

#include <exception>

#include "ComSessions_win.h"
#include "Contract.h"
#include "Handles_win.h"
#include "TrayDlg_win.h"

namespace {

// The application object: the mark of the running tray, held until the program ends.
class CTrayApp {
  public:
    void Run() {
        mutex_.reset(CreateMutexW(nullptr, FALSE, contract::kTrayMutex));
        // Another tray runs: nothing to do, nothing to say. A mark that cannot be made at all
        // lets this one run.
        if (GetLastError() == ERROR_ALREADY_EXISTS) return;
        // The notice page's browser control needs OLE on this thread.
        OleSession ole;
        CTrayDlg dialog;
        dialog.DoModal();
    }

  private:
    UniqueHandle mutex_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        CTrayApp app;
        app.Run();
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, e.what(), nullptr, MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}
