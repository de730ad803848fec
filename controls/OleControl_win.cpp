#include "OleControl_win.h"

#include <olectl.h>

#include "ComGuards_win.h"
#include "ComObject_win.h"

// ---- the client site: one object for every site interface the control asks for

class TOleControl::Site final : public ComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame,
                                                 DispatchWithoutTypes<IDispatch>> {
  public:
    explicit Site(TOleControl* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, for both the in-place site and the frame
    STDMETHODIMP GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = owner_ ? owner_->Handle() : nullptr;
        return *out ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return owner_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !doc || !pos || !clip || !info || !owner_) return E_INVALIDARG;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *doc = nullptr;
        GetClientRect(owner_->Handle(), pos);
        *clip = *pos;
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(owner_->Handle(), GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override {
        if (owner_) owner_->UpdateRects();
        return S_OK;
    }

    // IOleInPlaceUIWindow, IOleInPlaceFrame: no toolbars, menus or status line of the frame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the ambient properties
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                        EXCEPINFO*, UINT*) override {
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        switch (id) {
            case DISPID_AMBIENT_USERMODE:
            case DISPID_AMBIENT_MESSAGEREFLECT:
                result->vt = VT_BOOL;
                result->boolVal = VARIANT_TRUE;
                return S_OK;
            case DISPID_AMBIENT_SHOWGRABHANDLES:
            case DISPID_AMBIENT_SHOWHATCHING:
            case DISPID_AMBIENT_UIDEAD:
                result->vt = VT_BOOL;
                result->boolVal = VARIANT_FALSE;
                return S_OK;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    }

  private:
    // IOleWindow and IOleInPlaceUIWindow stand behind two of the listed interfaces; the owner may
    // answer more (the browser's UI handler).
    void* OtherInterface(REFIID iid) override {
        if (IsEqualIID(iid, IID_IOleWindow)) return static_cast<IOleInPlaceSite*>(this);
        if (IsEqualIID(iid, IID_IOleInPlaceUIWindow)) return static_cast<IOleInPlaceFrame*>(this);
        return owner_ ? owner_->SiteInterface(iid) : nullptr;
    }

    TOleControl* owner_;
};

// ---- the event sink: every event of the control's event interface goes to the owner

class TOleControl::EventSink final : public ComObject<DispatchWithoutTypes<IDispatch>> {
  public:
    EventSink(TOleControl* owner, const IID& events) : owner_(owner), events_(events) {}
    void Detach() { owner_ = nullptr; }

    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        GuardEventSink([&] {
            if (owner_) owner_->HandleEvent(id, params);
        });
        return S_OK;
    }

  private:
    void* OtherInterface(REFIID iid) override {
        return IsEqualIID(iid, events_) ? static_cast<IDispatch*>(this) : nullptr;
    }

    TOleControl* owner_;
    IID events_;
};

// ---- TOleControl

TOleControl::TOleControl(TWinControl* parent, const CLSID& clsid, const IID& eventInterface)
    : TWinControl(parent), clsid_(clsid), eventInterface_(eventInterface) {
    RegisterOwnClass(L"TOleControl");
    if (parent && parent->Handle())
        CreateOwnWindow(L"TOleControl", L"",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                        parent->Handle(), RECT{0, 0, 0, 0});
}

TOleControl::~TOleControl() {
    Release();
}

HRESULT TOleControl::InitializeState(IUnknown* control) {
    if (auto persist = QueryAs<IPersistStreamInit>(control)) return persist->InitNew();
    return S_OK;  // a control without that interface starts as it is
}

void TOleControl::CreateControl() {
    if (!hwnd_ || object_) return;
    ComPtr<IOleObject> object;
    created_ = CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                __uuidof(IOleObject), object.PutVoid());
    if (FAILED(created_)) return;

    site_ = new Site(this);
    DWORD misc = 0;
    if (FAILED(object->GetMiscStatus(DVASPECT_CONTENT, &misc))) misc = 0;
    // Controls that want their site first get it before their state.
    if (misc & OLEMISC_SETCLIENTSITEFIRST) object->SetClientSite(site_);
    created_ = InitializeState(object.Get());
    if (FAILED(created_)) {
        object->SetClientSite(nullptr);
        return;
    }
    if (!(misc & OLEMISC_SETCLIENTSITEFIRST)) object->SetClientSite(site_);
    object_ = object;

    const auto points = object_.As<IConnectionPointContainer>();
    if (points && SUCCEEDED(points->FindConnectionPoint(eventInterface_, connection_.Put()))) {
        sink_ = new EventSink(this, eventInterface_);
        if (FAILED(connection_->Advise(sink_, &cookie_))) {
            connection_.Reset();
            cookie_ = 0;
        }
    }
    created_ = ActivateInPlace();
}

HRESULT TOleControl::ActivateInPlace() {
    if (!object_ || !hwnd_) return E_UNEXPECTED;
    RECT r{};
    GetClientRect(hwnd_, &r);
    const HRESULT hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, hwnd_, &r);
    UpdateRects();
    return hr;
}

void TOleControl::UpdateRects() {
    if (!object_ || !hwnd_) return;
    const auto inPlace = object_.As<IOleInPlaceObject>();
    if (!inPlace) return;
    RECT r{};
    GetClientRect(hwnd_, &r);
    inPlace->SetObjectRects(&r, &r);
}

void TOleControl::Release() {
    if (connection_) {
        connection_->Unadvise(cookie_);
        connection_.Reset();
    }
    if (sink_) {
        sink_->Detach();
        sink_->Release();
        sink_ = nullptr;
    }
    if (object_) {
        if (const auto inPlace = object_.As<IOleInPlaceObject>()) inPlace->InPlaceDeactivate();
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.Reset();
    }
    if (site_) {
        site_->Detach();
        site_->Release();
        site_ = nullptr;
    }
}

ComPtr<IDispatch> TOleControl::ControlDispatch() const {
    return object_.As<IDispatch>();
}

HRESULT TOleControl::Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) const {
    auto dispatch = ControlDispatch();
    if (!dispatch) return E_NOINTERFACE;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params ? params : &none,
                            result, nullptr, nullptr);
}

HRESULT TOleControl::GetProperty(DISPID id, VARIANT* value) const {
    if (!value) return E_POINTER;
    VariantInit(value);
    return Invoke(id, DISPATCH_PROPERTYGET, nullptr, value);
}

HRESULT TOleControl::SetProperty(DISPID id, const VARIANT& value) {
    VARIANT arg = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    return Invoke(id, DISPATCH_PROPERTYPUT, &params, nullptr);
}

LRESULT TOleControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SIZE) {
        UpdateRects();
        return 0;
    }
    if (msg == WM_DESTROY) Release();
    return TWinControl::HandleMessage(msg, wp, lp);
}
