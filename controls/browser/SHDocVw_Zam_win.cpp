#include "SHDocVw_Zam_win.h"

#include <exdispid.h>

#include "ComError_win.h"

namespace {
// {8856F961-340A-11D0-A96B-00C04FD705A2}, {34A715A0-6587-11D0-924A-0020AFC7AC4D}
const CLSID kClsidWebBrowser = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
const IID kDiidWebBrowserEvents2 = {
    0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
}  // namespace

VARIANT* EWBEventArgs::Arg(std::size_t param) const {
    if (!params_ || param >= def_.paramCount) return nullptr;
    const std::size_t at = DispArgIndex(def_, param);
    if (at >= params_->cArgs) return nullptr;
    VARIANT* v = &params_->rgvarg[at];
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
    return v;
}

std::wstring EWBEventArgs::Text(std::size_t param) const {
    VARIANT* v = Arg(param);
    if (!v) return {};
    if (v->vt == VT_BSTR && v->bstrVal) return v->bstrVal;
    if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal && *v->pbstrVal) return *v->pbstrVal;
    return {};
}

void EWBEventArgs::SetBool(std::size_t param, bool value) const {
    VARIANT* v = Arg(param);
    const VARIANT_BOOL b = value ? VARIANT_TRUE : VARIANT_FALSE;
    if (v && v->vt == (VT_BYREF | VT_BOOL) && v->pboolVal)
        *v->pboolVal = b;
    else if (v && v->vt == VT_BOOL)
        v->boolVal = b;
}

TEWBZAM::TEWBZAM(TWinControl* parent)
    : TOleControl(parent, kClsidWebBrowser, kDiidWebBrowserEvents2) {}

IWebBrowser2* TEWBZAM::DefaultInterface() {
    if (!browser_) {
        if (!OleObject()) throw ComError("WebBrowser control", CreationResult());
        CheckHr(
            OleObject()->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(browser_.Put())),
            "IWebBrowser2");
    }
    return browser_.Get();
}

void TEWBZAM::Navigate(const std::wstring& url) {
    IWebBrowser2* browser = DefaultInterface();
    VARIANT omitted;
    VariantInit(&omitted);
    omitted.vt = VT_ERROR;
    omitted.scode = DISP_E_PARAMNOTFOUND;
    VARIANT noPostData;
    VariantInit(&noPostData);
    BSTR address = SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
    if (!address) throw ComError("Navigate", E_OUTOFMEMORY);
    const HRESULT hr = browser->Navigate(address, &omitted, &omitted, &noPostData, &omitted);
    SysFreeString(address);
    CheckHr(hr, "Navigate");
}

namespace {
const EWBPropertyDef& PropertyNamed(const char* name) {
    const EWBPropertyDef* def = FindEWBProperty(name);
    if (!def) throw ComError(std::string("property ") + name, DISP_E_UNKNOWNNAME);
    return *def;
}
}  // namespace

void TEWBZAM::ReadProperty(const char* name, VARIANT* value) const {
    CheckHr(GetProperty(PropertyNamed(name).dispId, value), name);
}

void TEWBZAM::WriteProperty(const char* name, const VARIANT& value) {
    const EWBPropertyDef& def = PropertyNamed(name);
    if (!def.writable) throw ComError(std::string("property ") + name, DISP_E_BADVARTYPE);
    CheckHr(SetProperty(def.dispId, value), name);
}

ComPtr<IDispatch> TEWBZAM::Document() const {
    ComPtr<IDispatch> document;
    VARIANT v;
    if (FAILED(GetProperty(kDispIdDocument, &v))) return document;
    if (v.vt == VT_DISPATCH && v.pdispVal) {
        v.pdispVal->AddRef();
        document = ComPtr<IDispatch>::Attach(v.pdispVal);
    }
    VariantClear(&v);
    return document;
}

void TEWBZAM::HandleEvent(DISPID id, DISPPARAMS* params) {
    const EWBEventDef* def = FindEWBEvent(id);
    if (!def) return;
    EWBEventArgs args(this, *def, params);
    // Nothing may leave through the control's call; the window reports what a handler raised.
    try {
        Events.Raise(id, args);
    } catch (const std::exception& e) {
        ReportException(e);
    }
}
