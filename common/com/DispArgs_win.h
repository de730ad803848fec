#pragma once
#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <cstdint>
#include <string>

// The arguments of one IDispatch call (a method of ours or an event of a control), read by their
// declared position: the caller passes them last first. A by-reference variant is looked through.
class DispArgs {
  public:
    explicit DispArgs(DISPPARAMS* params) : params_(params) {}

    std::size_t Count() const { return params_ ? params_->cArgs : 0; }
    // The argument, null when it is missing.
    VARIANT* At(std::size_t position) const;
    // The argument as text: a string as it is, anything else converted as automation converts
    // it; empty when missing or not convertible.
    std::wstring Text(std::size_t position) const;
    // Writes a Boolean back through a by-reference argument (such as an event's Cancel); false
    // when the argument is no Boolean.
    bool SetBool(std::size_t position, bool value) const;

  private:
    DISPPARAMS* params_;
};
