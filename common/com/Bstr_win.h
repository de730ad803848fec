#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

// Owns one BSTR. An empty text may be a null BSTR, as automation allows.
class Bstr {
  public:
    Bstr() = default;
    // Throws ComError (E_OUTOFMEMORY) when the string cannot be made.
    explicit Bstr(std::wstring_view text);
    explicit Bstr(std::u16string_view text);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept {
        Reset(std::exchange(o.s_, nullptr));
        return *this;
    }
    ~Bstr() { Reset(); }

    static Bstr Attach(BSTR s) {
        Bstr b;
        b.s_ = s;
        return b;
    }
    BSTR Get() const { return s_; }
    // For out parameters: frees the current string first.
    BSTR* Put() {
        Reset();
        return &s_;
    }
    BSTR Detach() { return std::exchange(s_, nullptr); }
    void Reset(BSTR s = nullptr) {
        if (s_) SysFreeString(s_);
        s_ = s;
    }

    std::size_t Length() const { return s_ ? SysStringLen(s_) : 0; }
    std::wstring Wide() const { return Wide(s_); }
    std::u16string Utf16() const { return Utf16(s_); }
    // The text of a BSTR someone else owns.
    static std::wstring Wide(BSTR s) {
        return s ? std::wstring(s, SysStringLen(s)) : std::wstring();
    }
    static std::u16string Utf16(BSTR s);

  private:
    BSTR s_ = nullptr;
};
