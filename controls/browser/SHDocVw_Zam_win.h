#pragma once
#include <exdisp.h>

#include <string>

#include "DispArgs_win.h"
#include "OleControl_win.h"
#include "SHDocVw_Zam.h"

class TEWBZAM;

// One incoming event: the sender and the dispatch arguments, read and written by declared
// parameter position (the platform passes them last first).
class EWBEventArgs {
  public:
    EWBEventArgs(TEWBZAM* sender, const EWBEventDef& def, DISPPARAMS* params)
        : Sender(sender), def_(def), args_(params) {}
    TEWBZAM* Sender;
    const EWBEventDef& Def() const { return def_; }
    // The argument, looking through a by-reference variant; null when missing or not declared.
    VARIANT* Arg(std::size_t param) const {
        return param < def_.paramCount ? args_.At(param) : nullptr;
    }
    std::wstring Text(std::size_t param) const {
        return param < def_.paramCount ? args_.Text(param) : std::wstring();
    }
    // Writes a var WordBool parameter (such as Cancel) back to the control.
    void SetBool(std::size_t param, bool value) const {
        if (param < def_.paramCount) args_.SetBool(param, value);
    }

  private:
    const EWBEventDef& def_;
    DispArgs args_;
};

// The WebBrowser control in a child window, with its events handed to event fields.
class TEWBZAM : public TOleControl {
  public:
    explicit TEWBZAM(TWinControl* parent);

    TEWBEventFields<EWBEventArgs> Events;

    // A plain request in this control; a refusal raises ComError.
    void Navigate(const std::wstring& url);
    // A published property of the control by name (Visible, StatusBar, Silent, ...); raises
    // ComError for an unknown name or a refusal.
    void ReadProperty(const char* name, VARIANT* value) const;
    void WriteProperty(const char* name, const VARIANT& value);

    // The page's document, null while there is none.
    ComPtr<IDispatch> Document() const;
    // The control's IWebBrowser2, fetched on first use; raises ComError when it is not offered.
    IWebBrowser2* DefaultInterface();

  protected:
    void HandleEvent(DISPID id, DISPPARAMS* params) override;
    // Lets go of the control's IWebBrowser2; a later use fetches it again.
    void ReleaseDefaultInterface() { browser_.Reset(); }

  private:
    ComPtr<IWebBrowser2> browser_;
};
