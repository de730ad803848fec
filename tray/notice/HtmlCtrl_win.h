#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "Control_win.h"
#include "WebBrowserWithUI_win.h"

// The web browser control living as a child control of a dialog, in the place of a placeholder
// item of the dialog's template. Links of the page that begin with "app:" are the program's, not
// the browser's.
class CHtmlCtrl {
  public:
    CHtmlCtrl();
    virtual ~CHtmlCtrl();
    CHtmlCtrl(const CHtmlCtrl&) = delete;
    CHtmlCtrl& operator=(const CHtmlCtrl&) = delete;

    // Takes over the dialog item `controlId` of `parent`: the control gets its rectangle, its id
    // and its place among its siblings, and the placeholder goes. False, and nothing is made, when
    // there is no such item; otherwise whether the browser control could be made.
    bool ReplacePlaceholder(int controlId, HWND parent);

    // The browser's window; null before ReplacePlaceholder and after the parent is destroyed.
    HWND Handle() const;
    // Null before ReplacePlaceholder.
    TWebBrowserWithUI* Browser() const;
    // Raises ComError when the control refuses or does not exist.
    void Navigate(const std::string& address);
    void PutSilent(bool silent);

  protected:
    // A link of the page to "app:" and `link`; its navigation is cancelled. Nothing here.
    virtual void OnAppLink(const std::u16string& link);

  private:
    class View;
    void OnBeforeNavigate2(EWBEventArgs& args);

    std::unique_ptr<TForeignWindow> parent_;
    std::unique_ptr<View> view_;  // listed in parent_: goes first
};
