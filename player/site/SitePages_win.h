#pragma once
#include <functional>
#include <string>

#include "MainPorts.h"
#include "PendingLoadingPage.h"
#include "WebBrowserWithUI_win.h"

// The site page operations on the site page panel: the loading page, direct navigation, the
// default browser.
class TSitePages : public SitePages {
  public:
    explicit TSitePages(TWebBrowserWithUI& panel) : panel_(panel) {}

    void ShowLoadingPage(const std::string& target) override;
    void Navigate(const std::string& address) override;
    void OpenInDefaultBrowser(const std::string& address) override;
    void StartLogoMovie() override;

    // Shows the logo movie and starts its refresh; set by the window once those exist.
    std::function<void()> OnStartLogoMovie;

    // The panel's document events, before the window's own handling.
    void DocumentComplete();
    void NavigateError();

  private:
    void LoadPage(IDispatch* document, const std::string& page);

    TWebBrowserWithUI& panel_;
    PendingLoadingPage pending_;
};

// One URL download into a file, without a status callback; true when the file was stored.
bool DownloadToFile(const std::string& address, const std::string& fileName);
