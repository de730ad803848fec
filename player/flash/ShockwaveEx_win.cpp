#include "ShockwaveEx_win.h"

#include <commctrl.h>

#include "AxMovieControl_win.h"
#include "CallbackGuards_win.h"
#include "BuiltinMovie_win.h"
#include "EmbedMovie.h"
#include "ShockwaveEx.h"

namespace {

constexpr wchar_t kClassName[] = L"TShockwaveFlashEx";
constexpr UINT_PTR kSubclassId = 0x5346;

// The play area's control starts as the main window's layout has it.
FlashProperties InitialProperties() {
    namespace D = FlashDispId;
    return {
        {D::WMode, std::u16string(u"Window")},
        {D::Playing, true},
        {D::Loop, true},
        {D::Quality2, std::u16string(u"High")},
        {D::Menu, false},
        {D::Scale, std::u16string(u"ShowAll")},
        {D::DeviceFont, false},
        {D::EmbedMovie, false},
        {D::Profile, false},
        {D::SeamlessTabbing, true},
        {D::ProfilePort, std::int32_t{0}},
        {D::AllowNetworking, std::u16string(u"all")},
        {D::AllowFullScreen, std::u16string(u"false")},
    };
}

bool IsMouseMessage(UINT msg) {
    return msg >= MouseFilter::kFirst && msg <= MouseFilter::kLast;
}

}  // namespace

void TShockwaveFlashEx::Events::OnFSCommand(const std::u16string& command,
                                            const std::u16string& args) {
    if (owner_.OnFSCommand)
        owner_.OnFSCommand(std::wstring(command.begin(), command.end()),
                           std::wstring(args.begin(), args.end()));
}

TShockwaveFlashEx::TShockwaveFlashEx(TWinControl* parent) : TWinControl(parent) {
    Color = RGB(0, 0, 0);
    RegisterOwnClass(kClassName, CS_DBLCLKS);
    if (parent && parent->Handle())
        CreateOwnWindow(kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                        0, parent->Handle(), RECT{0, 0, 0, 0});

    auto ax = std::make_unique<AxMovieControl>(this, InitialProperties());
    if (ax->Created()) {
        ax_ = std::move(ax);
        ax_->SetEvents(&events_);
        ax_->SetAlign(TAlign::Client);
        HookControlWindow();
        return;
    }
    // No registered control (REGDB_E_CLASSNOTREG on this machine): our own plays instead.
    ax.reset();
    builtin_ = std::make_unique<BuiltinMovieControl>(hwnd_);
    for (const auto& [id, value] : InitialProperties()) builtin_->SetProperty(id, value);
    builtin_->SetEvents(&events_);
}

TShockwaveFlashEx::~TShockwaveFlashEx() {
    UnhookControlWindow();
    ax_.reset();
    builtin_.reset();
}

MovieControl& TShockwaveFlashEx::Control() {
    if (ax_) return *ax_;
    return *builtin_;
}

const BuiltinMovie* TShockwaveFlashEx::BuiltinCore() const {
    return builtin_ ? &builtin_->Core() : nullptr;
}

void TShockwaveFlashEx::LoadMovieFile(const std::string& path) {
    ::LoadMovieFile(Control(), path);
}

void TShockwaveFlashEx::EmbedMovieStream(ByteStream* stream) {
    ::EmbedMovieStream(Control(), stream);
}

void TShockwaveFlashEx::ActivateInPlace() {
    if (ax_) {
        ax_->ActivateInPlace();
        HookControlWindow();
    } else {
        Invalidate();
    }
}

bool TShockwaveFlashEx::FilterMouse(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    filter_.LockMouseClick = LockMouseClick;
    const MouseMessage m{msg, static_cast<std::uintptr_t>(wp), static_cast<std::intptr_t>(lp),
                         GetKeyState(VK_MENU) < 0};
    const MouseFilterResult r = filter_.Filter(m, PopupMenu != nullptr, [this] {
        // A control that cannot tell counts as one without a menu.
        try {
            return GetBoolProperty(Control(), FlashDispId::Menu);
        } catch (const std::exception&) {
            return false;
        }
    });
    const TShiftState shift{wp & 0xFFFF, false};
    for (int i = 0; i < r.count; ++i) {
        const MouseAction& a = r.actions[i];
        switch (a.kind) {
            case MouseAction::MouseDown:
                if (OnMouseDown) OnMouseDown(TMouseButton::Left, shift, a.x, a.y);
                break;
            case MouseAction::MouseUp:
                if (OnMouseUp) OnMouseUp(TMouseButton::Left, shift, a.x, a.y);
                break;
            case MouseAction::MouseMove:
                if (OnMouseMove) OnMouseMove(shift, a.x, a.y);
                break;
            case MouseAction::Click:
                if (OnClick) OnClick();
                break;
            case MouseAction::ShowPopupMenu:
                ShowPopupMenu(window, a.x, a.y);
                break;
        }
    }
    return !r.toControl;
}

void TShockwaveFlashEx::ShowPopupMenu(HWND window, int x, int y) {
    POINT at{x, y};
    if (!PopupMenu || !ClientToScreen(window, &at)) return;
    const UINT id = static_cast<UINT>(
        TrackPopupMenu(PopupMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                       at.x, at.y, 0, hwnd_ ? hwnd_ : window, nullptr));
    if (id != 0 && OnPopupCommand) OnPopupCommand(id);
}

void TShockwaveFlashEx::HookControlWindow() {
    if (!ax_) return;
    // A control without a window of its own gets its mouse through the host's window.
    HWND target = ax_->InPlaceWindow();
    if (!target) target = ax_->Handle();
    if (target == hooked_) return;
    UnhookControlWindow();
    if (target && SetWindowSubclass(target, &ControlWindowProc, kSubclassId,
                                    reinterpret_cast<DWORD_PTR>(this)))
        hooked_ = target;
}

void TShockwaveFlashEx::UnhookControlWindow() {
    if (hooked_ && IsWindow(hooked_))
        RemoveWindowSubclass(hooked_, &ControlWindowProc, kSubclassId);
    hooked_ = nullptr;
}

LRESULT CALLBACK TShockwaveFlashEx::ControlWindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp,
                                                      UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<TShockwaveFlashEx*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &ControlWindowProc, id);
        if (self->hooked_ == window) self->hooked_ = nullptr;
    } else if (IsMouseMessage(msg)) {
        const bool swallow =
            GuardWindowMessage([&]() -> LRESULT { return self->FilterMouse(window, msg, wp, lp); });
        if (swallow) return 0;
    }
    return DefSubclassProc(window, msg, wp, lp);
}

LRESULT TShockwaveFlashEx::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (builtin_) {
        if (IsMouseMessage(msg) && FilterMouse(hwnd_, msg, wp, lp)) return 0;
        LRESULT result = 0;
        if (builtin_->HandleMessage(msg, wp, lp, result)) return result;
    }
    if (msg == WM_DESTROY) UnhookControlWindow();
    return TWinControl::HandleMessage(msg, wp, lp);
}
