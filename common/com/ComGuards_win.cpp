#include "ComGuards_win.h"

#include <oleauto.h>

#include <string>

#include "Bstr_win.h"
#include "ComPtr_win.h"
#include "TextConv_win.h"

HRESULT SetAutomationError(REFIID iid, const char* message, HRESULT hr) noexcept {
    try {
        ComPtr<ICreateErrorInfo> create;
        if (FAILED(CreateErrorInfo(create.Put()))) return hr;
        create->SetGUID(iid);
        const std::wstring description = AnsiToWide(message ? message : "");
        create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
        if (const auto info = create.As<IErrorInfo>()) SetErrorInfo(0, info.Get());
    } catch (...) {
        // Without a description the call still fails with its code.
    }
    return hr;
}
