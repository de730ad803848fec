#include "WebBrowserWithUI_win.h"

#include <docobj.h>
#include <mshtmhst.h>

#include "ComObject_win.h"

// The document host's user-interface handler; it lives as long as the browser holds it and
// answers for its control only while that control exists.
class TWebBrowserWithUI::UIHandler final : public ComObject<IDocHostUIHandler> {
  public:
    explicit UIHandler(TWebBrowserWithUI* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDocHostUIHandler) {
            *out = static_cast<IDocHostUIHandler*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

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
        ComPtr<IDispatch> external;
        const HostResult r = ::GetExternal(*owner_, owner_->OnGetExternal, external);
        if (external) {
            external->AddRef();
            *out = external.Get();
        }
        return static_cast<HRESULT>(r);
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
    handler_ = new UIHandler(this);
    CreateControl();
}

TWebBrowserWithUI::~TWebBrowserWithUI() {
    if (handler_) {
        handler_->Detach();
        handler_->Release();
    }
}

HRESULT TWebBrowserWithUI::SiteInterface(REFIID iid, void** out) {
    if (iid == IID_IDocHostUIHandler && handler_) return handler_->QueryInterface(iid, out);
    return TEWBZAM::SiteInterface(iid, out);
}
