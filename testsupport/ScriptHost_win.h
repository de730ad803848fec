#pragma once
// A real JScript engine for the tests, running code as a page runs it: named objects (such as
// "external") are the page's, and a failed call or a thrown error is reported, not hidden.
#include <windows.h>
#include <activscp.h>

#include <map>
#include <string>

#include "ComObject_win.h"
#include "ComPtr_win.h"

class JScriptHost final : public ComObject<IActiveScriptSite> {
  public:
    // Makes `object` visible to scripts under `name`.
    void AddItem(const std::wstring& name, IDispatch* object) {
        items_[name] = ComPtr<IDispatch>::Share(object);
    }
    // Runs `code` to its end; the engine's error text, empty when the code ran without one.
    std::wstring Run(const std::wstring& code) {
        error_.clear();
        // {f414c260-6ac0-11cf-b6d1-00aa00bbbb58}
        const CLSID jscript = {
            0xf414c260, 0x6ac0, 0x11cf, {0xb6, 0xd1, 0x00, 0xaa, 0x00, 0xbb, 0xbb, 0x58}};
        ComPtr<IActiveScript> engine;
        HRESULT hr = CoCreateInstance(jscript, nullptr, CLSCTX_INPROC_SERVER,
                                      __uuidof(IActiveScript), engine.PutVoid());
        if (FAILED(hr)) return L"no JScript engine";
        const auto parse = engine.As<IActiveScriptParse>();
        if (!parse || FAILED(engine->SetScriptSite(this)) || FAILED(parse->InitNew()))
            return L"the engine does not start";
        for (const auto& [name, object] : items_)
            if (FAILED(engine->AddNamedItem(name.c_str(), SCRIPTITEM_ISVISIBLE)))
                return L"no named item";
        EXCEPINFO exception{};
        hr = parse->ParseScriptText(code.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr,
                                    &exception);
        if (SUCCEEDED(hr)) engine->SetScriptState(SCRIPTSTATE_CONNECTED);
        if (FAILED(hr) && error_.empty()) error_ = L"parse failed";
        engine->Close();
        return error_;
    }

    // IActiveScriptSite
    STDMETHODIMP GetLCID(LCID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** unknown,
                             ITypeInfo** info) override {
        if (unknown) *unknown = nullptr;
        if (info) *info = nullptr;
        const auto it = items_.find(name);
        if (it == items_.end()) return TYPE_E_ELEMENTNOTFOUND;
        if ((mask & SCRIPTINFO_IUNKNOWN) && unknown) {
            *unknown = it->second.Get();
            (*unknown)->AddRef();
        }
        if ((mask & SCRIPTINFO_ITYPEINFO) && info) it->second->GetTypeInfo(0, 0, info);
        return S_OK;
    }
    STDMETHODIMP GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
    STDMETHODIMP OnScriptError(IActiveScriptError* error) override {
        EXCEPINFO info{};
        if (error && SUCCEEDED(error->GetExceptionInfo(&info))) {
            error_ = info.bstrDescription ? info.bstrDescription : L"error without a description";
            SysFreeString(info.bstrSource);
            SysFreeString(info.bstrDescription);
            SysFreeString(info.bstrHelpFile);
        } else {
            error_ = L"error";
        }
        return S_OK;
    }
    STDMETHODIMP OnEnterScript() override { return S_OK; }
    STDMETHODIMP OnLeaveScript() override { return S_OK; }

  private:
    std::map<std::wstring, ComPtr<IDispatch>> items_;
    std::wstring error_;
};
