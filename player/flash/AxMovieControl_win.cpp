#include "AxMovieControl_win.h"

#include <shlwapi.h>

#include <climits>
#include <cstring>
#include <string>

#include "Bstr_win.h"
#include "ComError_win.h"
#include "DispArgs_win.h"

// {D27CDB6E-AE6D-11CF-96B8-444553540000}, {D27CDB6D-AE6D-11CF-96B8-444553540000}
const CLSID kClsidShockwaveFlash = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kDiidShockwaveFlashEvents = {
    0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

// Every failing call of the control reaches the host as the movie control's own error.
void Check(HRESULT hr, const std::string& what) {
    if (FAILED(hr)) throw MovieControlError(ComErrorText(what, hr));
}

// Texts for the control; an out-of-memory becomes the control's error too.
Variant TextVariant(const std::u16string& text) {
    try {
        return Variant::Text(text);
    } catch (const ComError& e) {
        throw MovieControlError(e.what());
    }
}

std::string PropertyName(int dispId) {
    return "Property " + std::to_string(dispId);
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

}  // namespace

Variant VariantFromFlashValue(const FlashValue& value) {
    if (const bool* b = std::get_if<bool>(&value)) return Variant::Bool(*b);
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return Variant::Int(*i);
    return TextVariant(std::get<std::u16string>(value));
}

FlashValue FlashValueFromVariant(int dispId, const VARIANT& value) {
    const FlashPropertyKind kind = KindOfFlashProperty(dispId);
    Variant converted;
    Check(VariantChangeType(converted.Ptr(), const_cast<VARIANT*>(&value), 0, VariantTypeOf(kind)),
          PropertyName(dispId) + " conversion");
    switch (kind) {
        case FlashPropertyKind::Bool:
            return converted.Get().boolVal != VARIANT_FALSE;
        case FlashPropertyKind::Text:
            return Bstr::Utf16(converted.Get().bstrVal);
        default:
            return static_cast<std::int32_t>(converted.Get().lVal);
    }
}

AxMovieControl::AxMovieControl(TWinControl* parent, FlashProperties initial)
    : TOleControl(parent, kClsidShockwaveFlash, kDiidShockwaveFlashEvents),
      initial_(std::move(initial)) {
    CreateControl();
}

HRESULT AxMovieControl::InitializeState(IUnknown* control) {
    if (const auto persist = QueryAs<IPersistStreamInit>(control)) {
        const HRESULT hr = persist->InitNew();
        if (FAILED(hr)) return hr;
    }
    // Set before the control is activated: some of them (the window mode) count only then.
    const auto dispatch = QueryAs<IDispatch>(control);
    if (!dispatch) return S_OK;
    for (const auto& [id, value] : initial_) {
        Variant arg;
        try {
            arg = VariantFromFlashValue(value);
        } catch (const MovieControlError&) {
            continue;
        }
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{arg.Ptr(), &named, 1, 1};
        // A property the control refuses keeps the control's own default.
        dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                         nullptr, nullptr);
    }
    return S_OK;
}

void AxMovieControl::Call(DISPID id, const char* name, std::vector<Variant> args) {
    // Arguments travel last first.
    std::vector<VARIANT> passed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) passed.push_back(it->Get());
    DISPPARAMS params{passed.empty() ? nullptr : passed.data(), nullptr,
                      static_cast<UINT>(passed.size()), 0};
    Variant result;
    Check(Invoke(id, DISPATCH_METHOD, &params, result.Ptr()), name);
}

void AxMovieControl::Play() {
    Call(FlashMethodId::Play, "Play", {});
}

void AxMovieControl::Stop() {
    Call(FlashMethodId::Stop, "Stop", {});
}

void AxMovieControl::LoadMovie(int layer, const std::u16string& url) {
    std::vector<Variant> args;
    args.push_back(Variant::Int(layer));
    args.push_back(TextVariant(url));
    Call(FlashMethodId::LoadMovie, "LoadMovie", std::move(args));
}

void AxMovieControl::SetVariable(const std::u16string& name, const std::u16string& value) {
    std::vector<Variant> args;
    args.push_back(TextVariant(name));
    args.push_back(TextVariant(value));
    Call(FlashMethodId::SetVariable, "SetVariable", std::move(args));
}

FlashValue AxMovieControl::GetProperty(int dispId) {
    Variant value;
    Check(TOleControl::GetProperty(dispId, value.Put()), PropertyName(dispId) + " read");
    return FlashValueFromVariant(dispId, value.Get());
}

void AxMovieControl::SetProperty(int dispId, const FlashValue& value) {
    const Variant given = VariantFromFlashValue(value);
    Variant sent;
    Check(VariantChangeType(sent.Ptr(), const_cast<VARIANT*>(&given.Get()), 0,
                            VariantTypeOf(KindOfFlashProperty(dispId))),
          PropertyName(dispId) + " conversion");
    Check(TOleControl::SetProperty(dispId, sent.Get()), PropertyName(dispId) + " write");
}

ComPtr<IPersistStreamInit> AxMovieControl::Persist(const char* what) const {
    if (!OleObject()) Check(FAILED(CreationResult()) ? CreationResult() : E_UNEXPECTED, what);
    HRESULT hr = E_NOINTERFACE;
    auto persist = QueryAs<IPersistStreamInit>(OleObject(), &hr);
    Check(hr, what);
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
    if (!bytes) Check(HRESULT_FROM_WIN32(GetLastError()), "Save");
    std::memcpy(buffer.data(), bytes, written);
    GlobalUnlock(memory);
}

void AxMovieControl::LoadState(const std::vector<std::uint8_t>& image) {
    auto persist = Persist("Load");
    if (image.size() > UINT_MAX) throw MovieControlError("The movie is too large for the control");
    ComPtr<IStream> stream =
        ComPtr<IStream>::Attach(SHCreateMemStream(image.data(), static_cast<UINT>(image.size())));
    if (!stream) Check(E_OUTOFMEMORY, "Load");
    Check(persist->Load(stream.Get()), "Load");
}

HWND AxMovieControl::InPlaceWindow() const {
    if (!OleObject()) return nullptr;
    const auto inPlace = QueryAs<IOleInPlaceObject>(OleObject());
    if (!inPlace) return nullptr;
    HWND window = nullptr;
    if (FAILED(inPlace->GetWindow(&window))) return nullptr;
    return window;
}

void AxMovieControl::HandleEvent(DISPID id, DISPPARAMS* params) {
    if (id != kFlashEventFSCommand || !events_) return;
    const DispArgs args(params);
    const std::wstring command = args.Text(0), text = args.Text(1);
    events_->OnFSCommand(std::u16string(command.begin(), command.end()),
                         std::u16string(text.begin(), text.end()));
}
