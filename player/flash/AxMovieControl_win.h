#pragma once
#include <windows.h>
#include <oaidl.h>

#include <utility>
#include <vector>

#include "MovieControl.h"
#include "OleControl_win.h"
#include "Variant_win.h"

// The registered movie control: its class, its event interface and the dispatch identifiers of
// the members the player calls.
extern const CLSID kClsidShockwaveFlash;
extern const IID kDiidShockwaveFlashEvents;

namespace FlashMethodId {
constexpr DISPID Play = 112;
constexpr DISPID Stop = 113;
constexpr DISPID LoadMovie = 142;
constexpr DISPID SetVariable = 151;
}  // namespace FlashMethodId
constexpr DISPID kFlashEventFSCommand = 150;

using FlashProperties = std::vector<std::pair<int, FlashValue>>;

// Automation form of a property value: booleans as VT_BOOL, integers as VT_I4, texts as VT_BSTR.
// Throws MovieControlError when no string can be made.
Variant VariantFromFlashValue(const FlashValue& value);
// The value of a property read from the control, converted to the property's kind. Throws
// MovieControlError when the variant does not convert.
FlashValue FlashValueFromVariant(int dispId, const VARIANT& value);

// The registered ActiveX movie control in a child window of its own. When its class is not
// registered (or the control refuses to start) Created() is false and every call throws
// MovieControlError; the owner then falls back to the built-in control.
class AxMovieControl : public TOleControl, public MovieControl {
  public:
    // `initial`: properties the control starts with, set before it is activated in place.
    AxMovieControl(TWinControl* parent, FlashProperties initial);

    void Play() override;
    void Stop() override;
    void LoadMovie(int layer, const std::u16string& url) override;
    void SetVariable(const std::u16string& name, const std::u16string& value) override;
    FlashValue GetProperty(int dispId) override;
    void SetProperty(int dispId, const FlashValue& value) override;
    std::uint32_t SaveStateSizeMax() override;
    void SaveState(std::vector<std::uint8_t>& buffer) override;
    void LoadState(const std::vector<std::uint8_t>& image) override;
    void SetEvents(MovieControlEvents* events) override { events_ = events; }

    // The control's own window while it is active in place, null otherwise.
    HWND InPlaceWindow() const;

  protected:
    HRESULT InitializeState(IUnknown* control) override;
    void HandleEvent(DISPID id, DISPPARAMS* params) override;

  private:
    // Calls a method; `args` in declared order.
    void Call(DISPID id, const char* name, std::vector<Variant> args);
    ComPtr<IPersistStreamInit> Persist(const char* what) const;

    FlashProperties initial_;
    MovieControlEvents* events_ = nullptr;
};
