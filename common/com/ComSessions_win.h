#pragma once
#include <windows.h>
#include <ole2.h>

// OLE for the calling thread while the object lives: the user-interface thread of a program that
// hosts controls.
class OleSession {
  public:
    OleSession() : result_(OleInitialize(nullptr)) {}
    ~OleSession() {
        if (SUCCEEDED(result_)) OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    HRESULT Result() const { return result_; }

  private:
    HRESULT result_;
};

// A single-threaded COM apartment for the calling thread while the object lives: a worker that
// calls COM.
class ComApartment {
  public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    // A thread already in another apartment type can still use COM.
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT Result() const { return result_; }

  private:
    HRESULT result_;
};
