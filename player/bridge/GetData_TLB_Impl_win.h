#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "ComObject_win.h"
#include "ComPtr_win.h"
#include "GetData_h.h"
#include "ScriptBridge.h"

// The object a site page reaches as window.external. It answers IDispatch from the type library
// GetData in the running executable and runs the bridge's two methods on texts converted to the
// ANSI code page; an error of a method reaches the page as a failed call with its description.
// A page may hold the object longer than the player's components live: once detached, its
// methods fail.
class TMyExternal final : public ComObject<IGetData, ISupportErrorInfo> {
  public:
    // Loads the type library from `executable` (the running program when empty); throws
    // ComError when that fails.
    static ComPtr<TMyExternal> Create(ScriptBridge& bridge, const std::wstring& executable = {});
    void Detach() { bridge_ = nullptr; }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;
    // IGetData
    STDMETHODIMP AddUrl(BSTR Value, VARIANT_BOOL Value2) override;
    STDMETHODIMP Web_Logo(BSTR User, BSTR Pass, BSTR Value) override;
    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

  private:
    TMyExternal(ScriptBridge& bridge, ComPtr<ITypeInfo> info)
        : bridge_(&bridge), info_(std::move(info)) {}
    void* OtherInterface(REFIID iid) override;
    ScriptBridge& Bridge() const;

    ScriptBridge* bridge_;
    ComPtr<ITypeInfo> info_;
};
