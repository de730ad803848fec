#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include "ComPtr_win.h"
#include "Control_win.h"

// Hosts an ActiveX control in a child window of its own: the client site, the in-place site and
// frame, the ambient properties, the event sink and property access by dispatch id.
class TOleControl : public TWinControl {
  public:
    TOleControl(TWinControl* parent, const CLSID& clsid, const IID& eventInterface);
    ~TOleControl() override;

    // The control exists; CreationResult tells whether it also went active in place.
    bool Created() const { return static_cast<bool>(object_); }
    HRESULT CreationResult() const { return created_; }
    IOleObject* OleObject() const { return object_.Get(); }
    ComPtr<IDispatch> ControlDispatch() const;

    HRESULT GetProperty(DISPID id, VARIANT* value) const;
    HRESULT SetProperty(DISPID id, const VARIANT& value);
    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) const;

    // Activates the control in place again at the window's current bounds.
    HRESULT ActivateInPlace();

  protected:
    // Creates the control; called by the derived constructor once it can answer SiteInterface.
    void CreateControl();
    // An event of the control's event interface, on the user-interface thread.
    virtual void HandleEvent(DISPID, DISPPARAMS*) {}
    // Further interfaces the client site answers, such as the browser's UI handler: a pointer
    // without a reference added, valid while this control lives; null when there is none.
    virtual void* SiteInterface(REFIID) { return nullptr; }
    // Gives the new control its first state; the default starts it empty.
    virtual HRESULT InitializeState(IUnknown* control);

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    class Site;
    class EventSink;
    void Release();
    void UpdateRects();

    CLSID clsid_;
    IID eventInterface_;
    HRESULT created_ = E_PENDING;
    Site* site_ = nullptr;
    EventSink* sink_ = nullptr;
    ComPtr<IOleObject> object_;
    ComPtr<IConnectionPoint> connection_;
    DWORD cookie_ = 0;
};
