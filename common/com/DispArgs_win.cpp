#include "DispArgs_win.h"

#include "Variant_win.h"

VARIANT* DispArgs::At(std::size_t position) const {
    if (!params_ || !params_->rgvarg || position >= params_->cArgs) return nullptr;
    VARIANT* v = &params_->rgvarg[params_->cArgs - 1 - position];
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
    return v;
}

std::wstring DispArgs::Text(std::size_t position) const {
    const VARIANT* v = At(position);
    if (!v) return {};
    if (v->vt == VT_BSTR)
        return v->bstrVal ? std::wstring(v->bstrVal, SysStringLen(v->bstrVal)) : L"";
    if (v->vt == (VT_BYREF | VT_BSTR))
        return v->pbstrVal && *v->pbstrVal ? std::wstring(*v->pbstrVal, SysStringLen(*v->pbstrVal))
                                           : L"";
    Variant text;
    if (FAILED(VariantChangeType(text.Ptr(), const_cast<VARIANT*>(v), 0, VT_BSTR)) ||
        !text.Get().bstrVal)
        return {};
    return std::wstring(text.Get().bstrVal, SysStringLen(text.Get().bstrVal));
}

bool DispArgs::SetBool(std::size_t position, bool value) const {
    VARIANT* v = At(position);
    const VARIANT_BOOL b = value ? VARIANT_TRUE : VARIANT_FALSE;
    if (v && v->vt == (VT_BYREF | VT_BOOL) && v->pboolVal) {
        *v->pboolVal = b;
        return true;
    }
    if (v && v->vt == VT_BOOL) {
        v->boolVal = b;
        return true;
    }
    return false;
}
