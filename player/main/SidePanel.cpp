#include "SidePanel.h"

SideLayer SidePanel::Layer() const {
    if (plWebVisible_) return SideLayer::Cover;
    return gridVisible_ ? SideLayer::History : SideLayer::SitePage;
}

void SidePanel::ShowHistory() {
    plWebVisible_ = false;
    gridVisible_ = true;
}

void SidePanel::ShowSitePage() {
    plWebVisible_ = false;
    gridVisible_ = false;
}

void SidePanel::PlayerNavigates() {
    navigateFailed_ = false;
}

bool SidePanel::NavigateError() {
    navigateFailed_ = true;
    return true;
}

void SidePanel::DocumentComplete() {
    if (navigateFailed_)
        ShowHistory();
    else
        ShowSitePage();
}
