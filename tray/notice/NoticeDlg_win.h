#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "DialogProc_win.h"
#include "Geometry.h"
#include "HtmlCtrl_win.h"

// The notice popup: a borderless window with a page of the server, which slides up above the
// taskbar and down again after a while or when its "X" is pressed. Made once, hidden, and shown
// as often as there is a notice; it never takes the focus.
class CNoticeDlg {
  public:
    CNoticeDlg();
    ~CNoticeDlg();
    CNoticeDlg(const CNoticeDlg&) = delete;
    CNoticeDlg& operator=(const CNoticeDlg&) = delete;

    // Makes the hidden window from its template, owned by `owner`; false when it cannot be made.
    bool Create(HWND owner);
    void DestroyWindow();
    HWND Handle() const { return hwnd_; }
    CHtmlCtrl& Html() { return html_; }

    // Places the popup at `place`, on top of the other windows without activating it, and slides
    // it up; it hides itself when its time is up.
    void SlideIn(const TRect& place);
    // The OK action, also of the "X" button: slides the popup down, hidden until the next showing.
    void OnOK();

    // Runs a window animation; a test may watch it. The default animates as the system can, and
    // where it cannot, shows or hides the window without.
    using Animation = std::function<void(HWND window, DWORD ms, DWORD flags)>;
    Animation Animate;

  private:
    friend INT_PTR CALLBACK ObjectDialogProc<CNoticeDlg>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnInitDialog();
    void Layout(int width, int height);

    HWND hwnd_ = nullptr;
    CHtmlCtrl html_;
};
