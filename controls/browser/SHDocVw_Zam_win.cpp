#include "SHDocVw_Zam_win.h"

#include <exdispid.h>

#include "Bstr_win.h"
#include "ComError_win.h"
#include "Variant_win.h"

namespace {
// {8856F961-340A-11D0-A96B-00C04FD705A2}, {34A715A0-6587-11D0-924A-0020AFC7AC4D}
const CLSID kClsidWebBrowser = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
const IID kDiidWebBrowserEvents2 = {
    0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
}  // namespace

TEWBZAM::TEWBZAM(TWinControl* parent)
    : TOleControl(parent, kClsidWebBrowser, kDiidWebBrowserEvents2) {}

IWebBrowser2* TEWBZAM::DefaultInterface() {
    if (!browser_) {
        if (!OleObject()) throw ComError("WebBrowser control", CreationResult());
        HRESULT hr = E_NOINTERFACE;
        browser_ = QueryAs<IWebBrowser2>(OleObject(), &hr);
        CheckHr(hr, "IWebBrowser2");
    }
    return browser_.Get();
}

void TEWBZAM::Navigate(const std::wstring& url) {
    IWebBrowser2* browser = DefaultInterface();
    Variant omitted;
    omitted.Ptr()->vt = VT_ERROR;
    omitted.Ptr()->scode = DISP_E_PARAMNOTFOUND;
    Variant noPostData;
    const Bstr address(url);
    CheckHr(browser->Navigate(address.Get(), omitted.Ptr(), omitted.Ptr(), noPostData.Ptr(),
                              omitted.Ptr()),
            "Navigate");
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
    Variant v;
    if (FAILED(GetProperty(kDispIdDocument, v.Put())) || v.Type() != VT_DISPATCH) return {};
    return ComPtr<IDispatch>::Share(v.Get().pdispVal);
}

void TEWBZAM::HandleEvent(DISPID id, DISPPARAMS* params) {
    const EWBEventDef* def = FindEWBEvent(id);
    if (!def) return;
    EWBEventArgs args(this, *def, params);
    Events.Raise(id, args);
}
