#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "Control_win.h"
#include "ImgButton_win.h"
#include "ImgTrackBar_win.h"
#include "MainPlaces_win.h"
#include "ShockwaveEx_win.h"
#include "Umain.h"
#include "WebBrowserWithUI_win.h"

// The player's main window: a borderless skinned window with the toolbar, the play area and the
// side panel. Its decisions live in MainWindowLogic; its components attach to its places.
class Tfrm_wuxplay : public TWinControl, public MainView, public MainPlaces {
  public:
    // Creates the window and its controls, then the components through `make`. `owner`, the
    // window that carries the taskbar button, may be null. Throws what making the components
    // throws.
    Tfrm_wuxplay(HWND owner, const MainComponentsFactory& make);
    ~Tfrm_wuxplay() override;

    // Shows the window.
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
    void SetVolumePosition(int position) override;
    void ShowAdvertPanel(bool visible) override;

    // MainPlaces
    HWND Window() const override { return hwnd_; }
    TShockwaveFlashEx& PlayArea() override { return *ShockwaveFlashEx1; }
    TWebBrowserWithUI& SitePanel() override { return *WebBrowserWithUI1; }
    TzamPanel& HistoryPanel() override { return *imgDBGrid1; }
    TImgButton& Button(ButtonId id) override { return *buttons_.at(id); }
    TImgTrackBar& VolumeSlider() override { return *ImgTrackBar1; }
    TLabel& Title() override { return *Lb_playname; }
    TLabel& MemberName() override { return *Lb_Name; }
    TLabel& MemberLevel() override { return *Lb_level; }
    Tzamimage& Avatar() override { return *Img_Avatar; }
    TzamPanel& AdvertPanel() override { return *Pl_PlayAD; }
    TWebBrowserWithUI& AdvertBrowser() override { return *Web_PlayAD; }

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void CreateControls();
    void AttachLogic();
    void FormDestroy();
    void FormResize();
    void Pl_playmainResize();
    void Image2MouseDown();
    std::unique_ptr<Tzamimage> MakeImage(TWinControl* parent, const wchar_t* resource, TAlign align,
                                         int width, int height, bool stretch);
    void MakeButton(TWinControl* parent, ButtonId id, const wchar_t* pictures, int x, int y, int w,
                    int h);
    std::unique_ptr<TWebBrowserWithUI> MakeBrowser(TWinControl* parent);

    void WebBrowserWithUI1DocumentComplete();
    void WebBrowserWithUI1NavigateError(const EWBEventArgs& args);

    HWND owner_;
    std::unique_ptr<MainComponents> components_;
    // Made after the components and gone before them: a late event of a control finds no logic.
    std::unique_ptr<MainWindowLogic> logic_;

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
    std::unique_ptr<TzamPanel> imgDBGrid1;  // the history grid's place
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
