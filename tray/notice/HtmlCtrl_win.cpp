#include "HtmlCtrl_win.h"

#include "ComError_win.h"
#include "Notice.h"
#include "TextConv_win.h"

// The browser view as a child of a dialog: when its window goes, so does its hold on the browser;
// the object itself stays, a member of its dialog.
class CHtmlCtrl::View final : public TWebBrowserWithUI {
  public:
    explicit View(TWinControl* parent) : TWebBrowserWithUI(parent) {}

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DESTROY) ReleaseDefaultInterface();
        return TWebBrowserWithUI::HandleMessage(msg, wp, lp);
    }
};

namespace {
// The parameters of BeforeNavigate2 by declared position.
constexpr std::size_t kUrlParam = 1;
constexpr std::size_t kCancelParam = 6;
}  // namespace

CHtmlCtrl::CHtmlCtrl() = default;

CHtmlCtrl::~CHtmlCtrl() = default;

bool CHtmlCtrl::ReplacePlaceholder(int controlId, HWND parent) {
    HWND placeholder = GetDlgItem(parent, controlId);
    if (!placeholder) return false;
    RECT r{};
    GetWindowRect(placeholder, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    HWND above = GetWindow(placeholder, GW_HWNDPREV);
    DestroyWindow(placeholder);

    view_.reset();
    parent_ = std::make_unique<TForeignWindow>(parent);
    view_ = std::make_unique<View>(parent_.get());
    HWND hwnd = view_->Handle();
    if (!hwnd) return false;
    SetWindowLongPtrW(hwnd, GWLP_ID, controlId);
    view_->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    // In the placeholder's place among the dialog's items, so that those above it stay above the
    // page.
    SetWindowPos(hwnd, above ? above : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    view_->Events.Append(EWBEvent::BeforeNavigate2,
                         [this](EWBEventArgs& args) { OnBeforeNavigate2(args); });
    return view_->Created();
}

HWND CHtmlCtrl::Handle() const {
    return view_ ? view_->Handle() : nullptr;
}

TWebBrowserWithUI* CHtmlCtrl::Browser() const {
    return view_.get();
}

void CHtmlCtrl::Navigate(const std::string& address) {
    if (!view_) throw ComError("WebBrowser control", E_UNEXPECTED);
    view_->Navigate(AnsiToWide(address));
}

void CHtmlCtrl::PutSilent(bool silent) {
    if (!view_) throw ComError("WebBrowser control", E_UNEXPECTED);
    CheckHr(view_->DefaultInterface()->put_Silent(silent ? VARIANT_TRUE : VARIANT_FALSE), "Silent");
}

void CHtmlCtrl::OnAppLink(const std::u16string&) {}

void CHtmlCtrl::OnBeforeNavigate2(EWBEventArgs& args) {
    const std::wstring url = args.Text(kUrlParam);
    const auto link = AppLinkOf(std::u16string(url.begin(), url.end()));
    if (!link) return;
    args.SetBool(kCancelParam, true);
    OnAppLink(*link);
}
