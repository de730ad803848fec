#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "Control_win.h"
#include "ImgButton_win.h"
#include "ImgTrackBar_win.h"
#include "MoviePlay_win.h"
#include "SitePages_win.h"
#include "SyncReport_win.h"
#include "UDownFile.h"
#include "Udownlogo.h"
#include "WebBrowserWithUI_win.h"
#include "Umain.h"

class TAppWindow;

// The components the window reaches through its ports; a null one is not there yet.
struct MainWindowPorts {
    SitePages* pages = nullptr;
    PlayControl* play = nullptr;
    LockControl* lock = nullptr;
};

// The player's main window: a borderless skinned window with the toolbar, the play area and the
// side panel. Its decisions live in MainWindowLogic.
class Tfrm_wuxplay : public TWinControl, public MainView {
  public:
    static constexpr const wchar_t* ClassName = L"Tfrm_wuxplay";

    // Creates the window and its controls, then runs FormCreate. `owner` may be null.
    explicit Tfrm_wuxplay(TAppWindow* owner, MainWindowPorts ports = {});
    ~Tfrm_wuxplay() override;

    // Shows the window, which runs FormShow.
    void Show();
    MainWindowLogic& Logic() { return *logic_; }

    // MainView
    void ShowSideLayers(bool plWebVisible, bool gridVisible) override;
    bool Down(ButtonId button) const override;
    void SetDown(ButtonId button, bool down) override;
    void SetEnabled(ButtonId button, bool enabled) override;
    void SetFullScreen(bool on) override;
    void Minimize() override;
    void ToggleMaximized() override;
    void Close() override;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void CreateControls();
    void FormCreate();
    void FormShow();
    void StartLogoMovie();
    void FormDestroy();
    void FormResize();
    void Pl_playmainResize();
    void Image2MouseDown();
    std::unique_ptr<Tzamimage> MakeImage(TWinControl* parent, const wchar_t* resource, TAlign align,
                                         int width, int height, bool stretch);
    TImgButton* MakeButton(TWinControl* parent, ButtonId id, const wchar_t* pictures, int x, int y,
                           int w, int h);
    TImgButton* Button(ButtonId id) const;
    std::unique_ptr<TWebBrowserWithUI> MakeBrowser(TWinControl* parent);

    void WebBrowserWithUI1DocumentComplete();
    void WebBrowserWithUI1NavigateError(const EWBEventArgs& args);

    TAppWindow* owner_;
    // The lock mode is not part of the player yet.
    struct NoLockYet : LockControl {
        void ToggleLockMode() override {}
    } pendingLock_;
    LockControl& lock_;
    std::unique_ptr<TMoviePlay> moviePlay_;
    PlayControl* play_ = nullptr;
    std::unique_ptr<TSitePages> sitePages_;
    std::unique_ptr<MainWindowLogic> logic_;

    // Workers' reports run on this thread through this window; it outlives the components.
    std::unique_ptr<SyncReportWindow> reports_;
    // The logo updater shows the refreshed logo through the play pipeline's StopPlay.
    class LogoStopPlay : public LogoPlayer {
      public:
        explicit LogoStopPlay(PlayControl& play) : play_(play) {}
        void StopPlay() override { play_.StopPlay(); }

      private:
        PlayControl& play_;
    };
    std::unique_ptr<LogoStopPlay> logoPlayer_;
    std::unique_ptr<TDownlogoswf> logoUpdater_;
    std::unique_ptr<TDownFile> downFile_;
    ComPtr<IDispatch> BridgeDispatch;  // the script bridge joins here once it exists

    // Controls, parents before their children.
    std::unique_ptr<TzamPanel> Pl_tool;
    std::unique_ptr<Tzamimage> Image10, Image2, Img_Avatar;
    std::unique_ptr<TLabel> Lb_Name, Lb_level;
    std::unique_ptr<TzamPanel> Pl_toolsys;
    std::unique_ptr<Tzamimage> Image9;
    std::unique_ptr<TzamPanel> Pl_bott;
    std::unique_ptr<Tzamimage> Image3, Image7, Image8;
    std::unique_ptr<TzamPanel> Pl_list;
    std::unique_ptr<Tzamimage> Image4;
    std::unique_ptr<TWebBrowserWithUI> WebBrowserWithUI1;
    std::unique_ptr<TzamPanel> imgDBGrid1;  // the history grid comes later
    std::unique_ptr<TzamPanel> Pl_web;
    std::unique_ptr<TWebBrowserWithUI> WebBrowserWithUI2;
    std::unique_ptr<TzamPanel> Pl_play;
    std::unique_ptr<Tzamimage> Image1, Image11;
    std::unique_ptr<TzamPanel> Pl_playmain;
    std::unique_ptr<TShockwaveFlashEx> ShockwaveFlashEx1;
    std::unique_ptr<TzamPanel> Pl_playcon;
    std::unique_ptr<Tzamimage> Image6;
    std::unique_ptr<TImgTrackBar> ImgTrackBar1;
    std::unique_ptr<TLabel> Lb_playname;
    std::unique_ptr<TzamPanel> Pl_PlayAD;
    std::unique_ptr<TWebBrowserWithUI> Web_PlayAD;
    std::map<ButtonId, std::unique_ptr<TImgButton>> buttons_;
};
