#include "Umain_win.h"

#include "Contract.h"
#include "DIvezoZaz.h"
#include "TextConv_win.h"

namespace {

constexpr int kDesignWidth = 906;
constexpr int kDesignHeight = 567;
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
constexpr UINT_PTR kStalledNavigationTimer = 1;
constexpr UINT kStalledNavigationMs = 2000;
constexpr std::size_t kNavigateErrorCancel = 4;  // pDisp, URL, Frame, StatusCode, Cancel

}  // namespace

Tfrm_wuxplay::Tfrm_wuxplay(HWND owner, const MainComponentsFactory& make)
    : TWinControl(nullptr), owner_(owner) {
    RegisterOwnClass(contract::kPlayerWindowClass, CS_DBLCLKS);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kDesignWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kDesignHeight) / 2;
    // No caption, no frame and no system menu: the pictures are the whole window, and Alt+Space
    // opens nothing.
    if (!CreateOwnWindow(contract::kPlayerWindowClass, L"dn ",
                         WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, owner,
                         RECT{x, y, x + kDesignWidth, y + kDesignHeight}))
        return;
    CreateControls();
    components_ = make(*this, *this);
    logic_ = std::make_unique<MainWindowLogic>(
        MainWindowServices{*this, components_->Pages(), components_->Play(), ContentHost});
    AttachLogic();
    FormResize();
}

Tfrm_wuxplay::~Tfrm_wuxplay() {
    FormDestroy();
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

std::unique_ptr<Tzamimage> Tfrm_wuxplay::MakeImage(TWinControl* parent, const wchar_t* resource,
                                                   TAlign align, int width, int height,
                                                   bool stretch) {
    auto image = std::make_unique<Tzamimage>(parent);
    image->Picture.LoadFromResource(GetModuleHandleW(nullptr), resource);
    image->Stretch = stretch;
    image->SetBounds(0, 0, width, height);
    image->SetAlign(align);
    return image;
}

void Tfrm_wuxplay::MakeButton(TWinControl* parent, ButtonId id, const wchar_t* pictures, int x,
                              int y, int w, int h) {
    auto button = std::make_unique<TImgButton>(parent);
    button->SetBounds(x, y, w, h);
    button->LoadPictures(GetModuleHandleW(nullptr), pictures);
    buttons_[id] = std::move(button);
}

std::unique_ptr<TWebBrowserWithUI> Tfrm_wuxplay::MakeBrowser(TWinControl* parent) {
    auto browser = std::make_unique<TWebBrowserWithUI>(parent);
    // No scroll bars, no border, no context menu on any page of the player.
    browser->UISettings = {false, false, false, false};
    browser->Color = kWhite;
    browser->SetAlign(TAlign::Client);
    return browser;
}

void Tfrm_wuxplay::CreateControls() {
    const auto drag = [this](TMouseButton, TShiftState, int, int) { Image2MouseDown(); };

    Pl_tool = std::make_unique<TzamPanel>(this);
    Pl_tool->SetBounds(0, 0, kDesignWidth, 71);
    Pl_tool->SetAlign(TAlign::Top);
    Image10 = MakeImage(Pl_tool.get(), L"BANNER", TAlign::Left, 745, 71, false);
    Image2 = MakeImage(Pl_tool.get(), L"BANNER_FILL", TAlign::Client, 16, 71, true);
    Img_Avatar = std::make_unique<Tzamimage>(Pl_tool.get());
    Img_Avatar->Stretch = true;
    Img_Avatar->SetBounds(4, 5, 72, 64);
    for (auto* image : {Image10.get(), Image2.get(), Img_Avatar.get()}) image->OnMouseDown = drag;

    // Pictures TB1 ... TB9 show the words 登录 童锁 论坛 空间 日记 相册 搜索 历史 学习.
    static const wchar_t* const kToolbarPictures[] = {L"TB1", L"TB2", L"TB3", L"TB4", L"TB5",
                                                      L"TB6", L"TB7", L"TB8", L"TB9"};
    for (int i = 0; i < 9; ++i)
        MakeButton(Pl_tool.get(), static_cast<ButtonId>(static_cast<int>(ButtonId::ImgButton1) + i),
                   kToolbarPictures[i], 160 + 64 * i, 8, 64, 63);

    Lb_Name = std::make_unique<TLabel>(Pl_tool.get());
    Lb_Name->SetBounds(84, 9, 73, 26);
    Lb_Name->SetFont(L"宋体", 13, false);
    Lb_Name->FontColor = kWhite;
    Lb_Name->WordWrap = true;
    Lb_Name->VerticalCentre = true;
    Lb_level = std::make_unique<TLabel>(Pl_tool.get());
    Lb_level->SetBounds(83, 45, 74, 13);
    Lb_level->SetFont(L"宋体", 13, false);
    Lb_level->FontColor = kWhite;

    Pl_toolsys = std::make_unique<TzamPanel>(Pl_tool.get());
    Pl_toolsys->SetBounds(0, 0, 125, 71);
    Pl_toolsys->SetAlign(TAlign::Right);
    Image9 = MakeImage(Pl_toolsys.get(), L"TOOLSYS", TAlign::Client, 125, 71, false);
    Image9->OnMouseDown = drag;
    MakeButton(Pl_toolsys.get(), ButtonId::ImgBut_min, L"MIN", 1, 8, 41, 28);
    MakeButton(Pl_toolsys.get(), ButtonId::ImgBut_max, L"MAX", 40, 8, 41, 28);
    MakeButton(Pl_toolsys.get(), ButtonId::ImgBut_close, L"CLOSE", 79, 8, 41, 28);

    Pl_bott = std::make_unique<TzamPanel>(this);
    Pl_bott->SetBounds(0, 0, kDesignWidth, 14);
    Pl_bott->SetAlign(TAlign::Bottom);
    Image3 = MakeImage(Pl_bott.get(), L"BOTTOM_LEFT", TAlign::Left, 15, 14, false);
    Image7 = MakeImage(Pl_bott.get(), L"BOTTOM_FILL", TAlign::Client, 16, 14, true);
    Image8 = MakeImage(Pl_bott.get(), L"BOTTOM_RIGHT", TAlign::Right, 14, 14, false);

    Pl_list = std::make_unique<TzamPanel>(this);
    Pl_list->SetBounds(0, 0, 285, 482);
    Pl_list->SetAlign(TAlign::Right);
    Image4 = MakeImage(Pl_list.get(), L"EDGE_LIST", TAlign::Right, 4, 482, true);
    WebBrowserWithUI1 = MakeBrowser(Pl_list.get());
    imgDBGrid1 = std::make_unique<TzamPanel>(Pl_list.get());
    imgDBGrid1->Color = kWhite;
    imgDBGrid1->SetAlign(TAlign::Client);
    imgDBGrid1->SetVisible(false);
    Pl_web = std::make_unique<TzamPanel>(Pl_list.get());
    Pl_web->SetAlign(TAlign::Client);
    WebBrowserWithUI2 = MakeBrowser(Pl_web.get());

    Pl_play = std::make_unique<TzamPanel>(this);
    Pl_play->SetAlign(TAlign::Client);
    Image1 = MakeImage(Pl_play.get(), L"EDGE_LEFT", TAlign::Left, 4, 482, true);
    Image11 = MakeImage(Pl_play.get(), L"EDGE_RIGHT_PLAY", TAlign::Right, 2, 482, true);
    Pl_playmain = std::make_unique<TzamPanel>(Pl_play.get());
    Pl_playmain->Color = kBlack;
    Pl_playmain->SetAlign(TAlign::Client);
    Pl_playmain->OnResize = [this] { Pl_playmainResize(); };
    ShockwaveFlashEx1 = std::make_unique<TShockwaveFlashEx>(Pl_playmain.get());
    ShockwaveFlashEx1->Color = kBlack;
    ShockwaveFlashEx1->SetAlign(TAlign::Client);

    Pl_playcon = std::make_unique<TzamPanel>(Pl_playmain.get());
    Pl_playcon->SetBounds(0, 0, 615, 65);
    Pl_playcon->SetAlign(TAlign::Bottom);
    Image6 = MakeImage(Pl_playcon.get(), L"PLAYBAR", TAlign::Client, 615, 65, true);
    MakeButton(Pl_playcon.get(), ButtonId::ImgButton13, L"PLAY", 2, 7, 58, 56);
    MakeButton(Pl_playcon.get(), ButtonId::ImgButton14, L"STOP", 60, 17, 47, 48);
    MakeButton(Pl_playcon.get(), ButtonId::ImgButton15, L"NEXT", 107, 17, 47, 48);
    MakeButton(Pl_playcon.get(), ButtonId::ImgButton16, L"MUTE", 154, 33, 38, 32);
    ImgTrackBar1 = std::make_unique<TImgTrackBar>(Pl_playcon.get());
    ImgTrackBar1->SetBounds(196, 39, 97, 25);
    HMODULE module = GetModuleHandleW(nullptr);
    ImgTrackBar1->BackPicture.LoadFromResource(module, L"VOL_BACK");
    ImgTrackBar1->PosPicture.LoadFromResource(module, L"VOL_POS");
    ImgTrackBar1->SliderPicture.LoadFromResource(module, L"VOL_SLIDER");
    ImgTrackBar1->Logic().SetMax(100);
    MakeButton(Pl_playcon.get(), ButtonId::ImgButton17, L"FULL", 296, 17, 47, 48);
    Lb_playname = std::make_unique<TLabel>(Pl_playcon.get());
    Lb_playname->SetBounds(359, 25, 250, 24);
    Lb_playname->SetFont(L"楷体", 21, true);
    Lb_playname->FontColor = kWhite;

    Pl_PlayAD = std::make_unique<TzamPanel>(Pl_playmain.get());
    Pl_PlayAD->SetBounds(64, 56, 473, 297);
    Web_PlayAD = MakeBrowser(Pl_PlayAD.get());

    Pl_play->Color = kBlack;
    Pl_tool->DoubleBuffered = true;
    Pl_toolsys->DoubleBuffered = true;
    Pl_playcon->DoubleBuffered = true;
}

// The window's own handlers. The components attached theirs while they were made; a control
// event of the window runs after them.
void Tfrm_wuxplay::AttachLogic() {
    for (auto& [id, button] : buttons_) {
        if (!MainWindowLogic::OwnsButton(id)) continue;
        button->OnClick = [this, id = id] {
            if (logic_) logic_->ButtonClick(id);
        };
    }
    ImgTrackBar1->OnChange = [this] {
        if (logic_) logic_->ImgTrackBar1Change(ImgTrackBar1->Position());
    };
    ShockwaveFlashEx1->OnFSCommand = [this](const std::wstring& command, const std::wstring& args) {
        if (logic_) logic_->FSCommand(WideToAnsi(command), WideToAnsi(args));
    };
    WebBrowserWithUI1->Events.Append(
        EWBEvent::DocumentComplete, [this](EWBEventArgs&) { WebBrowserWithUI1DocumentComplete(); });
    WebBrowserWithUI1->Events.Append(EWBEvent::NavigateError, [this](EWBEventArgs& args) {
        WebBrowserWithUI1NavigateError(args);
    });
}

void Tfrm_wuxplay::Show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
}

// The components go in the reverse of their making, after the logic that uses them.
void Tfrm_wuxplay::FormDestroy() {
    logic_.reset();
    components_.reset();
}

void Tfrm_wuxplay::FormResize() {
    RECT r{};
    if (!GetWindowRect(hwnd_, &r)) return;
    HRGN region = CreateRoundRectRgn(0, 0, r.right - r.left, r.bottom - r.top, 10, 10);
    // On success the window owns the region.
    if (region && !SetWindowRgn(hwnd_, region, TRUE)) DeleteObject(region);
    if (components_) components_->Play().RefreshFlashWindow();
}

void Tfrm_wuxplay::Pl_playmainResize() {
    if (!AdvertisingEnabled || !Pl_PlayAD || !ShockwaveFlashEx1) return;
    const TRect flash = ShockwaveFlashEx1->Bounds();
    const TRect ad = Pl_PlayAD->Bounds();
    Pl_PlayAD->SetBounds(CentreOffset(flash.Width(), ad.Width()),
                         CentreOffset(flash.Height(), ad.Height()), ad.Width(), ad.Height());
}

void Tfrm_wuxplay::WebBrowserWithUI1DocumentComplete() {
    KillTimer(hwnd_, kStalledNavigationTimer);
    if (logic_) logic_->DocumentComplete();
}

void Tfrm_wuxplay::WebBrowserWithUI1NavigateError(const EWBEventArgs& args) {
    if (!logic_) return;
    args.SetBool(kNavigateErrorCancel, logic_->NavigateError());
    // Where no document completes after the failure, the history still takes the panel.
    if (!SetTimer(hwnd_, kStalledNavigationTimer, kStalledNavigationMs, nullptr))
        logic_->NavigationStalled();  // without a timer the fallback comes at once
}

void Tfrm_wuxplay::Image2MouseDown() {
    if (IsZoomed(hwnd_)) return;
    ReleaseCapture();
    SendMessageW(hwnd_, WM_SYSCOMMAND, kScDragMove, 0);
}

void Tfrm_wuxplay::ShowSideLayers(bool plWebVisible, bool gridVisible) {
    Pl_web->SetVisible(plWebVisible);
    imgDBGrid1->SetVisible(gridVisible);
}

bool Tfrm_wuxplay::Down(ButtonId id) const {
    return buttons_.at(id)->Down();
}

void Tfrm_wuxplay::SetDown(ButtonId id, bool down) {
    buttons_.at(id)->SetDown(down);
}

void Tfrm_wuxplay::SetEnabled(ButtonId id, bool enabled) {
    buttons_.at(id)->SetEnabled(enabled);
}

void Tfrm_wuxplay::SetVolumePosition(int position) {
    ImgTrackBar1->SetPosition(position);
}

void Tfrm_wuxplay::ShowAdvertPanel(bool visible) {
    Pl_PlayAD->SetVisible(visible);
}

void Tfrm_wuxplay::SetFullScreen(bool on) {
    HWND main = Pl_playmain->Handle();
    if (!main) return;
    const LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
    if (on) {
        Pl_playmain->SetAlign(TAlign::None);
        SetWindowLongPtrW(main, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP);
        if (!SetParent(main, nullptr)) {
            // The play area stays where it is.
            SetWindowLongPtrW(main, GWL_STYLE, style);
            Pl_playmain->SetAlign(TAlign::Client);
            return;
        }
        Pl_playmain->SetBounds(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    } else {
        SetWindowPos(main, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowLongPtrW(main, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
        if (!SetParent(main, Pl_play->Handle())) {
            SetWindowLongPtrW(main, GWL_STYLE, style);  // it stays on the screen as it was
            return;
        }
        const TRect b = Pl_playmain->Bounds();
        Pl_playmain->SetBounds(0, 0, b.Width(), b.Height());
        Pl_playmain->SetAlign(TAlign::Client);
    }
}

void Tfrm_wuxplay::Minimize() {
    // To the taskbar button, as the taskbar itself does it: the owner goes, and this window,
    // which it owns, hides with it.
    SendMessageW(owner_ ? owner_ : hwnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void Tfrm_wuxplay::ToggleMaximized() {
    ShowWindow(hwnd_, IsZoomed(hwnd_) ? SW_RESTORE : SW_MAXIMIZE);
}

void Tfrm_wuxplay::Close() {
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

LRESULT Tfrm_wuxplay::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            // Alt+F4 and the taskbar's close reach here too; only an allowed close goes on.
            if (logic_ && logic_->FormCloseQuery()) DestroyWindow(hwnd_);
            return 0;
        case contract::kCloseRequestMessage:
            // The sender must not wait for the window to go away.
            ReplyMessage(0);
            if (logic_) logic_->HandleCloseRequest();
            return 0;
        case WM_SYSCOMMAND:
            if (MainWindowLogic::SysCommandSwallowed(wp)) return 0;
            break;
        case WM_SIZE: {
            const LRESULT result = TWinControl::HandleMessage(msg, wp, lp);
            FormResize();
            return result;
        }
        case WM_TIMER:
            if (wp == kStalledNavigationTimer) {
                KillTimer(hwnd_, kStalledNavigationTimer);
                if (logic_) logic_->NavigationStalled();
                return 0;
            }
            break;
        case WM_SHOWWINDOW:
            if (!wp) break;
            if (logic_) logic_->WindowShown();
            // Shown on its own (a second start) while its taskbar button is minimised: the
            // button comes back too, as if the user had clicked it.
            if (lp == 0 && owner_ && IsIconic(owner_))
                PostMessageW(owner_, WM_SYSCOMMAND, SC_RESTORE, 0);
            break;
        case WM_DESTROY:
            FormDestroy();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return TWinControl::HandleMessage(msg, wp, lp);
}
