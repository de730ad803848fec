#pragma once
#include <utility>

// Owns one resource of the system (a handle, a descriptor) and frees it with its own release
// function.
template <typename T, auto Release, T Empty>
class UniqueResource {
  public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueResource() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Empty; }
    T release() { return std::exchange(value_, Empty); }
    void reset(T value = Empty) {
        if (value_ != Empty) Release(value_);
        value_ = value;
    }

  private:
    T value_ = Empty;
};
