#pragma once
// What the tray's logic needs of its main window and of the system around it. Texts are UTF-8;
// paths and addresses are bytes of the ANSI code page.
#include <string>

// The main window's timers, by id.
constexpr unsigned kStartTimer = 1;   // once, a while after start: the update timer begins
constexpr unsigned kNoticeTimer = 2;  // the notice popup
constexpr unsigned kUpdateTimer = 3;  // the periodic update step
constexpr unsigned kStartDelay = 15000;
constexpr unsigned kNoticePeriod = 300000;
constexpr unsigned kUpdatePeriod = 600000;

class TrayTimers {
  public:
    virtual ~TrayTimers() = default;
    // Arms timer `id` anew to expire every `ms` milliseconds.
    virtual void SetTimer(unsigned id, unsigned ms) = 0;
    virtual void KillTimer(unsigned id) = 0;
};

// The caption of every message box of the tray.
constexpr const char* kTrayCaption = "Tolubeni";

// Message boxes owned by the main window.
class TrayMessages {
  public:
    virtual ~TrayMessages() = default;
    // With an OK button.
    virtual void Inform(const std::string& text) = 0;
    // With OK and Cancel; true for OK.
    virtual bool Confirm(const std::string& text) = 0;
};

// Programs and pages started for the user. Whether they start is not looked at.
class TrayPrograms {
  public:
    virtual ~TrayPrograms() = default;
    // Starts a program, shown, with the tray's base directory as its working folder.
    virtual void StartProgram(const std::string& path) = 0;
    // Opens an address with the shell (a web address in the default browser).
    virtual void OpenAddress(const std::string& address) = 0;
};

// The end of the tray program: the main window's OK action.
class TrayEnding {
  public:
    virtual ~TrayEnding() = default;
    virtual void EndTray() = 0;
};
