#pragma once
#include <windows.h>
#include <unknwn.h>

#include <utility>

// Holds one counted reference to a COM interface.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference the caller already holds.
    static ComPtr Attach(T* p) {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    // Adds a reference of its own.
    static ComPtr Share(T* p) {
        if (p) p->AddRef();
        return Attach(p);
    }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    // Hands the reference over, e.g. to an out parameter.
    T* Detach() { return std::exchange(p_, nullptr); }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out parameters: drops the current reference first.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    // The object's interface U, or empty with the result in `hr` when it has none.
    template <typename U>
    ComPtr<U> As(HRESULT* hr = nullptr) const {
        ComPtr<U> out;
        const HRESULT r = p_ ? p_->QueryInterface(__uuidof(U), out.PutVoid()) : E_POINTER;
        if (hr) *hr = r;
        if (FAILED(r)) out.Reset();
        return out;
    }

  private:
    T* p_ = nullptr;
};

// The interface U of any object, typed by its identifier; empty when the object has none.
template <typename U>
ComPtr<U> QueryAs(IUnknown* object, HRESULT* hr = nullptr) {
    return ComPtr<IUnknown>::Share(object).template As<U>(hr);
}
