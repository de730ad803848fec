#include "AxMovieControl_win.h"

#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

static_assert(sizeof(OLECHAR) == sizeof(char16_t), "wide texts are UTF-16 units");

// {D27CDB6E-AE6D-11CF-96B8-444553540000}, {D27CDB6D-AE6D-11CF-96B8-444553540000}
const CLSID kClsidShockwaveFlash = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kDiidShockwaveFlashEvents = {
    0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

struct ScopedVariant {
    ScopedVariant() { VariantInit(&v); }
    ~ScopedVariant() { VariantClear(&v); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT v;
};

[[noreturn]] void Fail(const std::string& what, HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    throw MovieControlError(what + " failed: " + code);
}

void Check(HRESULT hr, const std::string& what) {
    if (FAILED(hr)) Fail(what, hr);
}

std::string PropertyName(int dispId) {
    return "Property " + std::to_string(dispId);
}

BSTR NewBstr(const std::u16string& text) {
    if (text.size() > UINT_MAX / 2) throw MovieControlError("Text too long for the control");
    BSTR s = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                               static_cast<UINT>(text.size()));
    if (!s) throw MovieControlError("Out of memory for a text of the control");
    return s;
}

std::u16string FromBstr(BSTR s) {
    if (!s) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(s), SysStringLen(s));
}

VARTYPE VariantTypeOf(FlashPropertyKind kind) {
    switch (kind) {
        case FlashPropertyKind::Bool:
            return VT_BOOL;
        case FlashPropertyKind::Text:
            return VT_BSTR;
        default:
            return VT_I4;
    }
}

// An event argument by declared position (the control passes them last first), as text.
std::u16string ArgText(const DISPPARAMS* params, UINT position) {
    if (!params || !params->rgvarg || position >= params->cArgs) return {};
    VARIANT* v = &params->rgvarg[params->cArgs - 1 - position];
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
    if (v->vt == VT_BSTR) return FromBstr(v->bstrVal);
    if (v->vt == (VT_BYREF | VT_BSTR)) return v->pbstrVal ? FromBstr(*v->pbstrVal) : u"";
    ScopedVariant text;
    if (FAILED(VariantChangeType(&text.v, v, 0, VT_BSTR))) return {};
    return FromBstr(text.v.bstrVal);
}

}  // namespace

void VariantFromFlashValue(const FlashValue& value, VARIANT* out) {
    VariantInit(out);
    if (const bool* b = std::get_if<bool>(&value)) {
        out->vt = VT_BOOL;
        out->boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) {
        out->vt = VT_I4;
        out->lVal = *i;
    } else {
        out->bstrVal = NewBstr(std::get<std::u16string>(value));
        out->vt = VT_BSTR;
    }
}

FlashValue FlashValueFromVariant(int dispId, const VARIANT& value) {
    const FlashPropertyKind kind = KindOfFlashProperty(dispId);
    ScopedVariant converted;
    Check(VariantChangeType(&converted.v, const_cast<VARIANT*>(&value), 0, VariantTypeOf(kind)),
          PropertyName(dispId) + " conversion");
    switch (kind) {
        case FlashPropertyKind::Bool:
            return converted.v.boolVal != VARIANT_FALSE;
        case FlashPropertyKind::Text:
            return FromBstr(converted.v.bstrVal);
        default:
            return static_cast<std::int32_t>(converted.v.lVal);
    }
}

AxMovieControl::AxMovieControl(TWinControl* parent, FlashProperties initial)
    : TOleControl(parent, kClsidShockwaveFlash, kDiidShockwaveFlashEvents),
      initial_(std::move(initial)) {
    CreateControl();
}

HRESULT AxMovieControl::InitializeState(IUnknown* control) {
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit,
                                          reinterpret_cast<void**>(persist.Put())))) {
        const HRESULT hr = persist->InitNew();
        if (FAILED(hr)) return hr;
    }
    // Set before the control is activated: some of them (the window mode) count only then.
    ComPtr<IDispatch> dispatch;
    if (FAILED(control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Put()))))
        return S_OK;
    for (const auto& [id, value] : initial_) {
        ScopedVariant arg;
        try {
            VariantFromFlashValue(value, &arg.v);
        } catch (const MovieControlError&) {
            continue;
        }
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{&arg.v, &named, 1, 1};
        // A property the control refuses keeps the control's own default.
        dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                         nullptr, nullptr);
    }
    return S_OK;
}

void AxMovieControl::Call(DISPID id, const char* name, std::vector<VARIANT>& args) {
    // Arguments travel last first.
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()),
                      0};
    ScopedVariant result;
    const HRESULT hr = Invoke(id, DISPATCH_METHOD, &params, &result.v);
    for (VARIANT& a : args) VariantClear(&a);
    Check(hr, name);
}

void AxMovieControl::Play() {
    std::vector<VARIANT> none;
    Call(FlashMethodId::Play, "Play", none);
}

void AxMovieControl::Stop() {
    std::vector<VARIANT> none;
    Call(FlashMethodId::Stop, "Stop", none);
}

void AxMovieControl::LoadMovie(int layer, const std::u16string& url) {
    std::vector<VARIANT> args(2);
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[0].vt = VT_I4;
    args[0].lVal = layer;
    args[1].bstrVal = NewBstr(url);
    args[1].vt = VT_BSTR;
    Call(FlashMethodId::LoadMovie, "LoadMovie", args);
}

void AxMovieControl::SetVariable(const std::u16string& name, const std::u16string& value) {
    std::vector<VARIANT> args(2);
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[0].bstrVal = NewBstr(name);
    args[0].vt = VT_BSTR;
    try {
        args[1].bstrVal = NewBstr(value);
    } catch (...) {
        VariantClear(&args[0]);
        throw;
    }
    args[1].vt = VT_BSTR;
    Call(FlashMethodId::SetVariable, "SetVariable", args);
}

FlashValue AxMovieControl::GetProperty(int dispId) {
    ScopedVariant value;
    Check(TOleControl::GetProperty(dispId, &value.v), PropertyName(dispId) + " read");
    return FlashValueFromVariant(dispId, value.v);
}

void AxMovieControl::SetProperty(int dispId, const FlashValue& value) {
    ScopedVariant given;
    VariantFromFlashValue(value, &given.v);
    ScopedVariant sent;
    Check(VariantChangeType(&sent.v, &given.v, 0, VariantTypeOf(KindOfFlashProperty(dispId))),
          PropertyName(dispId) + " conversion");
    Check(TOleControl::SetProperty(dispId, sent.v), PropertyName(dispId) + " write");
}

ComPtr<IPersistStreamInit> AxMovieControl::Persist(const char* what) const {
    if (!OleObject()) Fail(what, CreationResult());
    ComPtr<IPersistStreamInit> persist;
    Check(OleObject()->QueryInterface(IID_IPersistStreamInit,
                                      reinterpret_cast<void**>(persist.Put())),
          what);
    return persist;
}

std::uint32_t AxMovieControl::SaveStateSizeMax() {
    ULARGE_INTEGER size{};
    Check(Persist("GetSizeMax")->GetSizeMax(&size), "GetSizeMax");
    return size.LowPart;
}

void AxMovieControl::SaveState(std::vector<std::uint8_t>& buffer) {
    auto persist = Persist("Save");
    ComPtr<IStream> stream;
    Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), "Save");
    Check(persist->Save(stream.Get(), TRUE), "Save");
    STATSTG stat{};
    Check(stream->Stat(&stat, STATFLAG_NONAME), "Save");
    if (stat.cbSize.QuadPart > buffer.size())
        throw MovieControlError("The saved state does not fit its buffer");
    const auto written = static_cast<std::size_t>(stat.cbSize.QuadPart);
    if (written == 0) return;
    HGLOBAL memory = nullptr;
    Check(GetHGlobalFromStream(stream.Get(), &memory), "Save");
    const void* bytes = GlobalLock(memory);
    if (!bytes) Fail("Save", HRESULT_FROM_WIN32(GetLastError()));
    std::memcpy(buffer.data(), bytes, written);
    GlobalUnlock(memory);
}

void AxMovieControl::LoadState(const std::vector<std::uint8_t>& image) {
    auto persist = Persist("Load");
    if (image.size() > UINT_MAX) throw MovieControlError("The movie is too large for the control");
    ComPtr<IStream> stream =
        ComPtr<IStream>::Attach(SHCreateMemStream(image.data(), static_cast<UINT>(image.size())));
    if (!stream) Fail("Load", E_OUTOFMEMORY);
    Check(persist->Load(stream.Get()), "Load");
}

HWND AxMovieControl::InPlaceWindow() const {
    if (!OleObject()) return nullptr;
    ComPtr<IOleInPlaceObject> inPlace;
    if (FAILED(OleObject()->QueryInterface(IID_IOleInPlaceObject,
                                           reinterpret_cast<void**>(inPlace.Put()))))
        return nullptr;
    HWND window = nullptr;
    if (FAILED(inPlace->GetWindow(&window))) return nullptr;
    return window;
}

void AxMovieControl::HandleEvent(DISPID id, DISPPARAMS* params) {
    if (id != kFlashEventFSCommand || !events_) return;
    // Nothing may unwind through the control's call of its sink.
    try {
        events_->OnFSCommand(ArgText(params, 0), ArgText(params, 1));
    } catch (const std::exception& e) {
        ReportException(e);
    }
}
