#include "Uunlock_win.h"

#include <stdexcept>

#include "TextConv_win.h"

namespace {
constexpr wchar_t kClassName[] = L"TFrm_unlock";
constexpr int kCornerEllipse = 20;
constexpr int kEntryFontHeight = -29;
}  // namespace

TFrm_unlock::TFrm_unlock(HWND owner, const PlayerState& state)
    : TWinControl(nullptr), owner_(owner), logic_(*this, state) {
    if (!RegisterOwnClass(kClassName, CS_DBLCLKS) ||
        !CreateOwnWindow(kClassName, L"", WS_POPUP | WS_CLIPCHILDREN, 0, owner,
                         RECT{0, 0, 320, 168}))
        throw std::runtime_error("Unable to create the unlock dialog");
    const HMODULE module = GetModuleHandleW(nullptr);
    Color = RGB(255, 255, 255);

    Image1 = std::make_unique<Tzamimage>(this);
    Image1->SetBounds(-2, -1, 320, 168);
    Image1->Picture.LoadFromResource(module, L"UNLOCK_BACK");

    Edt_pass = std::make_unique<TEdit>(this, ES_PASSWORD);
    Edt_pass->SetBounds(32, 70, 261, 33);
    Edt_pass->SetFont(L"宋体", kEntryFontHeight);
    Edt_pass->SetPasswordChar(L'*');

    ImgButton1 = std::make_unique<TImgButton>(this);
    ImgButton1->SetBounds(28, 120, 97, 37);
    ImgButton1->LoadPictures(module, L"UNLOCK_CANCEL");
    ImgButton1->OnClick = [this] { logic_.ImgButton1Click(); };
    ImgButton2 = std::make_unique<TImgButton>(this);
    ImgButton2->SetBounds(201, 119, 97, 37);
    ImgButton2->LoadPictures(module, L"UNLOCK_OK");
    ImgButton2->OnClick = [this] { logic_.ImgButton2Click(); };

    // The picture frames the window: its edges fall just outside.
    ClearEntry();
    const TRect picture = Image1->Bounds();
    const int width = picture.Width() - 2, height = picture.Height() - 1;
    SetBounds(0, 0, width, height);
    HRGN region = CreateRoundRectRgn(0, 0, width, height, kCornerEllipse, kCornerEllipse);
    // On success the window owns the region; without it the window stays rectangular.
    if (region && !SetWindowRgn(hwnd_, region, TRUE)) DeleteObject(region);
}

// The window goes while its controls are still here to see its last messages.
TFrm_unlock::~TFrm_unlock() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void TFrm_unlock::CentreOnOwner() {
    RECT area{};
    if (!owner_ || !GetWindowRect(owner_, &area))
        area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT own{};
    GetWindowRect(hwnd_, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ModalResult TFrm_unlock::ShowModal() {
    // Already showing: the click that asks again comes from inside the dialog's own loop.
    if (showing_) return ModalResult::Cancel;
    showing_ = true;
    modalResult_ = ModalResult::None;
    CentreOnOwner();
    const bool ownerWasDisabled = owner_ && EnableWindow(owner_, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    Edt_pass->Focus();

    MSG msg;
    while (modalResult_ == ModalResult::None) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program ends: its loop gets the quit message again.
            PostQuitMessage(static_cast<int>(msg.wParam));
            logic_.FormCloseRequest();
            break;
        }
        if (got == -1) {
            logic_.FormCloseRequest();
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == owner_ && owner_) {
            // The player closes: the dialog ends first, so that the click that showed it
            // returns before the window and its components go.
            PostMessageW(owner_, WM_CLOSE, msg.wParam, msg.lParam);
            logic_.FormCloseRequest();
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    // The owner comes back before the dialog hides, so that it is the one activated.
    if (owner_ && !ownerWasDisabled) EnableWindow(owner_, TRUE);
    ShowWindow(hwnd_, SW_HIDE);
    showing_ = false;
    return modalResult_;
}

LRESULT TFrm_unlock::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        logic_.FormCloseRequest();
        return 0;
    }
    return TWinControl::HandleMessage(msg, wp, lp);
}

std::string TFrm_unlock::EntryText() const {
    return WideToAnsi(Edt_pass->Text());
}

void TFrm_unlock::ClearEntry() {
    Edt_pass->SetText(L"");
}

void TFrm_unlock::EndModal(ModalResult result) {
    modalResult_ = result;
}
