#pragma once
#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>

// A failed COM or OLE call, raised to the caller with its result code.
class ComError : public std::runtime_error {
  public:
    ComError(const std::string& what, HRESULT hr)
        : std::runtime_error(what + " failed: " + Hex(hr)), hr_(hr) {}
    HRESULT Result() const { return hr_; }

  private:
    static std::string Hex(HRESULT hr) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
        return text;
    }
    HRESULT hr_;
};

inline void CheckHr(HRESULT hr, const char* what) {
    if (FAILED(hr)) throw ComError(what, hr);
}
