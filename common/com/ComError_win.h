#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

// "<what> failed: 0x8000FFFF": how every failed COM or OLE call reads in an error message.
std::string ComErrorText(const std::string& what, HRESULT hr);

// A failed COM or OLE call, raised to the caller with its result code.
class ComError : public std::runtime_error {
  public:
    ComError(const std::string& what, HRESULT hr)
        : std::runtime_error(ComErrorText(what, hr)), hr_(hr) {}
    HRESULT Result() const { return hr_; }

  private:
    HRESULT hr_;
};

inline void CheckHr(HRESULT hr, const char* what) {
    if (FAILED(hr)) throw ComError(what, hr);
}
