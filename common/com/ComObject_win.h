#pragma once
#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <type_traits>
#include <utility>

#include "ComPtr_win.h"

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

// The interface that a base class of a COM object stands for.
template <typename T>
struct ComInterfaceOf {
    using type = T;
};
template <typename B>
struct ComInterfaceOf<DispatchWithoutTypes<B>> {
    using type = B;
};

// A COM object of our own implementing the interfaces I...: it counts its references, frees
// itself with the last one and answers QueryInterface for IUnknown and each I by its identifier.
// Objects start with one reference, the creator's. An interface reached by another identifier (a
// base interface that two of the I share, an event interface, an object the site hands out for
// its owner) is answered by OtherInterface.
template <typename First, typename... Rest>
class ComObject : public First, public Rest... {
  public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown))
            *out = static_cast<First*>(this);
        else if (!Listed<First, Rest...>(iid, out))
            *out = OtherInterface(iid);
        if (!*out) return E_NOINTERFACE;
        static_cast<IUnknown*>(*out)->AddRef();  // the object behind the pointer, ours or not
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

  protected:
    virtual ~ComObject() = default;
    // The pointer for an identifier that none of the I has, without a reference added; null when
    // there is none.
    virtual void* OtherInterface(REFIID) { return nullptr; }

  private:
    template <typename I, typename... More>
    bool Listed(REFIID iid, void** out) {
        using Interface = typename ComInterfaceOf<I>::type;
        if (IsEqualIID(iid, __uuidof(Interface))) {
            *out = static_cast<Interface*>(static_cast<I*>(this));
            return true;
        }
        if constexpr (sizeof...(More) > 0)
            return Listed<More...>(iid, out);
        else
            return false;
    }

    std::atomic<ULONG> refs_{1};
};

// Makes a COM object held by one counted reference.
template <typename T, typename... Args>
auto MakeComObject(Args&&... args) {
    return ComPtr<T>::Attach(new T(std::forward<Args>(args)...));
}
