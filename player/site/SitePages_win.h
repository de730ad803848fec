#pragma once
#include <memory>
#include <string>

#include "DIvezoZaz.h"
#include "MainPorts.h"
#include "PendingLoadingPage.h"
#include "WebBrowserWithUI_win.h"

// The site page operations on the site page panel: the loading page, direct navigation, the
// default browser. It hears the panel's document events itself, for a loading page that waits
// for the panel's first document.
class TSitePages : public SitePages {
  public:
    TSitePages(TWebBrowserWithUI& panel, const PlayerState& state);
    // The panel may outlive this object: its events find nothing here any more.
    ~TSitePages() override { *link_ = nullptr; }
    TSitePages(const TSitePages&) = delete;
    TSitePages& operator=(const TSitePages&) = delete;

    void ShowLoadingPage(const std::string& target) override;
    void Navigate(const std::string& address) override;
    void OpenInDefaultBrowser(const std::string& address) override;

  private:
    void DocumentComplete();
    void NavigateError();
    void LoadPage(IDispatch* document, const std::string& page);

    TWebBrowserWithUI& panel_;
    const PlayerState& state_;
    PendingLoadingPage pending_;
    std::shared_ptr<TSitePages*> link_ = std::make_shared<TSitePages*>(this);
};
