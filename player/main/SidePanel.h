#pragma once

// The side panel shows one of three layers, chosen by two visibility switches: the blank cover
// (Pl_web) over everything, else the history grid, else the site page panel.
enum class SideLayer { Cover, History, SitePage };

class SidePanel {
  public:
    bool PlWebVisible() const { return plWebVisible_; }
    bool GridVisible() const { return gridVisible_; }
    bool NavigateFailed() const { return navigateFailed_; }
    SideLayer Layer() const;

    void ShowHistory();      // the history button
    void ShowSitePage();     // the study button
    void PlayerNavigates();  // the player starts a navigation of its own
    // A navigation of the site page panel failed; answers Cancel, so no error page shows.
    bool NavigateError();
    // Every completed document or frame: the history when a navigation failed, else the page.
    void DocumentComplete();

  private:
    bool plWebVisible_ = true;  // the cover shows until the first page completes
    bool gridVisible_ = false;  // hidden at window creation
    bool navigateFailed_ = false;
};
