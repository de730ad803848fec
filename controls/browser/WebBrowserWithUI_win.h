#pragma once
#include "SHDocVw_Zam_win.h"
#include "WebBrowserWithUI.h"

// The browser control whose document host asks this object how pages look (scroll bars, border,
// context menu) and what their script sees as window.external.
class TWebBrowserWithUI : public TEWBZAM {
  public:
    explicit TWebBrowserWithUI(TWinControl* parent);
    ~TWebBrowserWithUI() override;

    TEnhancedWebBrowserUI UISettings;
    TGetExternalEvent<TWebBrowserWithUI, ComPtr<IDispatch>> OnGetExternal;

  protected:
    void* SiteInterface(REFIID iid) override;

  private:
    class UIHandler;
    ComPtr<UIHandler> handler_;
};
