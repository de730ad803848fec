#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "ImgButton_win.h"
#include "ImgTrackBar_win.h"
#include "MainPorts.h"
#include "ShockwaveEx_win.h"
#include "WebBrowserWithUI_win.h"

// The places of the main window where the subsystems attach: each binder takes what it needs
// from here and hooks its own handlers to it, so the window does not grow with every subsystem.
class MainPlaces {
  public:
    virtual ~MainPlaces() = default;
    virtual HWND Window() const = 0;
    // The movie control of the play area.
    virtual TShockwaveFlashEx& PlayArea() = 0;
    // The browser control that shows the site's pages in the side panel.
    virtual TWebBrowserWithUI& SitePanel() = 0;
    // The side panel's layer for the play history.
    virtual TzamPanel& HistoryPanel() = 0;
    virtual TImgButton& Button(ButtonId id) = 0;
    virtual TImgTrackBar& VolumeSlider() = 0;
    // The title of what plays, on the play bar.
    virtual TLabel& Title() = 0;
    // The logged-in member's name, level and picture on the toolbar.
    virtual TLabel& MemberName() = 0;
    virtual TLabel& MemberLevel() = 0;
    virtual Tzamimage& Avatar() = 0;
    // The advertising panel over the play area and its browser.
    virtual TzamPanel& AdvertPanel() = 0;
    virtual TWebBrowserWithUI& AdvertBrowser() = 0;
};

// What the window needs of the components that the player attaches to it.
class MainComponents {
  public:
    virtual ~MainComponents() = default;
    virtual SitePages& Pages() = 0;
    virtual PlayControl& Play() = 0;
};

// Makes the components, attached to the window's places; runs during the window's creation.
using MainComponentsFactory =
    std::function<std::unique_ptr<MainComponents>(MainPlaces& places, MainView& view)>;
