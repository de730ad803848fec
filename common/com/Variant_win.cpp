#include "Variant_win.h"

#include <utility>

#include "Bstr_win.h"
#include "ComError_win.h"

Variant::Variant(const VARIANT& other) {
    VariantInit(&v_);
    CheckHr(VariantCopy(&v_, const_cast<VARIANT*>(&other)), "VariantCopy");
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) *this = Variant(other);
    return *this;
}

Variant::Variant(Variant&& other) noexcept : v_(other.v_) {
    VariantInit(&other.v_);
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        VariantClear(&v_);
        v_ = other.v_;
        VariantInit(&other.v_);
    }
    return *this;
}

Variant Variant::Bool(bool value) {
    Variant v;
    v.v_.vt = VT_BOOL;
    v.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::Int(std::int32_t value) {
    Variant v;
    v.v_.vt = VT_I4;
    v.v_.lVal = value;
    return v;
}

Variant Variant::Text(std::wstring_view text) {
    Variant v;
    v.v_.bstrVal = Bstr(text).Detach();
    v.v_.vt = VT_BSTR;
    return v;
}

Variant Variant::Text(std::u16string_view text) {
    Variant v;
    v.v_.bstrVal = Bstr(text).Detach();
    v.v_.vt = VT_BSTR;
    return v;
}

Variant Variant::ConvertedTo(VARTYPE type) const {
    Variant out;
    CheckHr(VariantChangeType(out.Ptr(), const_cast<VARIANT*>(&v_), 0, type), "VariantChangeType");
    return out;
}
