#pragma once
#include <windows.h>
#include <oaidl.h>

#include <atomic>

// Reference counting for a COM object of our own that implements the interfaces I...; it frees
// itself with its last reference. Objects start with one reference, the creator's.
template <typename... I>
class ComObject : public I... {
  public:
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

  protected:
    virtual ~ComObject() = default;

  private:
    std::atomic<ULONG> refs_{1};
};

// IDispatch without a type library: only Invoke answers.
template <typename Base>
class DispatchWithoutTypes : public Base {
  public:
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
};
