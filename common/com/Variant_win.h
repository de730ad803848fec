#pragma once
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>
#include <string_view>

// Owns one VARIANT: initialised when made, cleared when it goes.
class Variant {
  public:
    Variant() { VariantInit(&v_); }
    // Copies a variant someone else owns; throws ComError when it cannot be copied.
    explicit Variant(const VARIANT& other);
    Variant(const Variant& other) : Variant(other.v_) {}
    Variant& operator=(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant&& other) noexcept;
    ~Variant() { VariantClear(&v_); }

    static Variant Bool(bool value);
    static Variant Int(std::int32_t value);
    // Throws ComError (E_OUTOFMEMORY) when the string cannot be made.
    static Variant Text(std::wstring_view text);
    static Variant Text(std::u16string_view text);

    const VARIANT& Get() const { return v_; }
    VARIANT* Ptr() { return &v_; }
    // For out parameters: clears the current value first.
    VARIANT* Put() {
        VariantClear(&v_);
        return &v_;
    }
    VARTYPE Type() const { return v_.vt; }

    // The value converted as automation converts it; throws ComError when it does not convert.
    Variant ConvertedTo(VARTYPE type) const;

  private:
    VARIANT v_;
};
