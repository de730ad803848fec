#include "GetData_TLB_Impl_win.h"

#include <oleauto.h>

#include <stdexcept>

#include "Bstr_win.h"
#include "ComError_win.h"
#include "ComGuards_win.h"
#include "ModulePath_win.h"
#include "TextConv_win.h"

namespace {

std::string Ansi(BSTR text) {
    return WideToAnsi(Bstr::Wide(text));
}

}  // namespace

ComPtr<TMyExternal> TMyExternal::Create(ScriptBridge& bridge, const std::wstring& executable) {
    const std::wstring path = executable.empty() ? ModulePathWide() : executable;
    if (path.empty()) throw ComError("GetModuleFileName", HRESULT_FROM_WIN32(GetLastError()));
    ComPtr<ITypeLib> library;
    CheckHr(LoadTypeLib(path.c_str(), library.Put()), "LoadTypeLib");
    ComPtr<ITypeInfo> info;
    CheckHr(library->GetTypeInfoOfGuid(__uuidof(IGetData), info.Put()), "GetTypeInfoOfGuid");
    return ComPtr<TMyExternal>::Attach(new TMyExternal(bridge, std::move(info)));
}

void* TMyExternal::OtherInterface(REFIID iid) {
    return IsEqualIID(iid, IID_IDispatch) ? static_cast<IGetData*>(this) : nullptr;
}

ScriptBridge& TMyExternal::Bridge() const {
    if (!bridge_) throw std::runtime_error("The player has closed");
    return *bridge_;
}

STDMETHODIMP TMyExternal::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP TMyExternal::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    *out = ComPtr<ITypeInfo>(info_).Detach();
    return S_OK;
}

STDMETHODIMP TMyExternal::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return DispGetIDsOfNames(info_.Get(), names, count, ids);
}

STDMETHODIMP TMyExternal::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argError) {
    // A property put is taken as a put by reference too.
    if (flags & DISPATCH_PROPERTYPUT) flags |= DISPATCH_PROPERTYPUTREF;
    return DispInvoke(static_cast<IGetData*>(this), info_.Get(), id, flags, params, result,
                      exception, argError);
}

STDMETHODIMP TMyExternal::AddUrl(BSTR Value, VARIANT_BOOL) {
    return GuardAutomationMethod(__uuidof(IGetData), [&] { Bridge().AddUrl(Ansi(Value)); });
}

STDMETHODIMP TMyExternal::Web_Logo(BSTR User, BSTR Pass, BSTR Value) {
    return GuardAutomationMethod(__uuidof(IGetData),
                                 [&] { Bridge().Web_Logo(Ansi(User), Ansi(Pass), Ansi(Value)); });
}

STDMETHODIMP TMyExternal::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, __uuidof(IGetData)) ? S_OK : S_FALSE;
}
