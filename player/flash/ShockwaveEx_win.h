#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ByteStream.h"
#include "Control_win.h"
#include "MouseFilter.h"
#include "MovieControl.h"

class AxMovieControl;
class BuiltinMovieControl;
class BuiltinMovie;

// The play area's movie control: the registered ActiveX movie control when it can be created,
// the built-in one otherwise. It loads movie files through the scrambled container, filters the
// mouse before the control sees it and raises its own mouse events. Docked by its container.
class TShockwaveFlashEx : public TWinControl {
  public:
    explicit TShockwaveFlashEx(TWinControl* parent);
    ~TShockwaveFlashEx() override;

    // Play, Stop, LoadMovie, SetVariable and the properties. Calls throw MovieControlError.
    MovieControl& Control();
    bool BuiltIn() const { return builtin_ != nullptr; }
    // The built-in control's player, null when the registered control plays.
    const BuiltinMovie* BuiltinCore() const;

    // A plain or scrambled movie file (path in the system's code page). Never throws: a missing
    // or unusable file leaves the current movie playing.
    void LoadMovieFile(const std::string& path);
    // The movie at the stream's position; throws MovieError or MovieControlError.
    void EmbedMovieStream(ByteStream* stream);
    // Activates the control in place again at the current bounds: after the window's region or
    // the play area's parent changed.
    void ActivateInPlace();

    // Clicks do not reach the control; this control's own mouse events still fire.
    bool LockMouseClick = false;
    // Shown on a right release that follows a press on the control; not owned.
    HMENU PopupMenu = nullptr;
    // The item chosen from PopupMenu.
    std::function<void(UINT id)> OnPopupCommand;
    // A movie's FSCommand, on the user-interface thread.
    std::function<void(const std::wstring& command, const std::wstring& args)> OnFSCommand;
    // OnMouseDown, OnMouseUp (left button only), OnMouseMove and OnClick are the TControl fields.

    // Set by a left or right press on the control, cleared by a left release or the popup menu.
    bool Pressed() const { return filter_.Pressed(); }

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    // Hands the control's FSCommands to OnFSCommand.
    class Events : public MovieControlEvents {
      public:
        explicit Events(TShockwaveFlashEx& owner) : owner_(owner) {}
        void OnFSCommand(const std::u16string& command, const std::u16string& args) override;

      private:
        TShockwaveFlashEx& owner_;
    };

    // True when the message is swallowed.
    bool FilterMouse(HWND window, UINT msg, WPARAM wp, LPARAM lp);
    void ShowPopupMenu(HWND window, int x, int y);
    // The filter sits in the registered control's own window, which may change on activation.
    void HookControlWindow();
    void UnhookControlWindow();
    static LRESULT CALLBACK ControlWindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp,
                                              UINT_PTR id, DWORD_PTR self);

    std::unique_ptr<AxMovieControl> ax_;
    std::unique_ptr<BuiltinMovieControl> builtin_;
    Events events_{*this};
    MouseFilter filter_;
    HWND hooked_ = nullptr;
};
