#include "WebBrowserWithUI_win.h"

#include <docobj.h>
#include <mshtmhst.h>

#include "ComGuards_win.h"
#include "ComObject_win.h"

// The document host's user-interface handler; it lives as long as the browser holds it and
// answers for its control only while that control exists.
class TWebBrowserWithUI::UIHandler final : public ComObject<IDocHostUIHandler> {
  public:
    explicit UIHandler(TWebBrowserWithUI* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }

    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        return owner_ ? static_cast<HRESULT>(ContextMenuResult(owner_->UISettings)) : S_FALSE;
    }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
        if (!info) return E_POINTER;
        ZeroMemory(info, sizeof *info);
        info->cbSize = sizeof *info;
        info->dwFlags = owner_ ? HostInfoFlags(owner_->UISettings) : 0;
        return S_OK;
    }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return Default();
    }
    STDMETHODIMP HideUI() override { return Default(); }
    STDMETHODIMP UpdateUI() override { return Default(); }
    STDMETHODIMP EnableModeless(BOOL) override { return Default(); }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return Default(); }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return Default(); }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return Default(); }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return Default(); }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR*, DWORD) override { return Default(); }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** out) override {
        if (out) *out = nullptr;
        return Default();
    }
    STDMETHODIMP GetExternal(IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!owner_) return S_FALSE;
        // The handler is the window's; what it raises leaves the page without the object.
        return GuardComMethod([&] {
            ComPtr<IDispatch> external;
            const HostResult r = ::GetExternal(*owner_, owner_->OnGetExternal, external);
            *out = external.Detach();
            return static_cast<HRESULT>(r);
        });
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR*) override { return Default(); }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out) *out = nullptr;
        return Default();
    }

  private:
    static HRESULT Default() { return static_cast<HRESULT>(kHostDefaultResult); }
    TWebBrowserWithUI* owner_;
};

TWebBrowserWithUI::TWebBrowserWithUI(TWinControl* parent) : TEWBZAM(parent) {
    handler_ = MakeComObject<UIHandler>(this);
    CreateControl();
}

TWebBrowserWithUI::~TWebBrowserWithUI() {
    if (handler_) handler_->Detach();
}

void* TWebBrowserWithUI::SiteInterface(REFIID iid) {
    if (IsEqualIID(iid, __uuidof(IDocHostUIHandler)) && handler_)
        return static_cast<IDocHostUIHandler*>(handler_.Get());
    return TEWBZAM::SiteInterface(iid);
}
