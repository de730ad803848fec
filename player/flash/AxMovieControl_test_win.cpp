// The host's side of the registered movie control, against a stand-in control registered in this
// process under the control's class: what the host puts, calls, saves and loads, the events it
// passes on and the mouse messages that reach the control's own window. The real control is not
// on this machine; this shows the host keeps its half of the protocol.
#include "AxMovieControl_win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <olectl.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "ComObject_win.h"
#include "ShockwaveEx_win.h"
#include "WindowTestSupport_win.h"

namespace {

using namespace flashtest;

std::string Narrow(const wchar_t* text, UINT length) {
    std::string s;
    for (UINT i = 0; i < length; ++i)
        s.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    return s;
}

std::string Describe(const VARIANT& v) {
    switch (v.vt) {
        case VT_BOOL:
            return std::string("bool ") + (v.boolVal == VARIANT_TRUE    ? "true"
                                           : v.boolVal == VARIANT_FALSE ? "false"
                                                                        : "bad");
        case VT_I4:
            return "int " + std::to_string(v.lVal);
        case VT_BSTR:
            return "text " + Narrow(v.bstrVal, SysStringLen(v.bstrVal));
        default:
            return "vt " + std::to_string(v.vt);
    }
}

// How the stand-in behaves; set before the host creates it.
struct FakeSetup {
    std::vector<std::uint8_t> state;  // what Save writes
    ULONG sizeMax = 0;                // what GetSizeMax answers
    HRESULT invokeResult = S_OK;      // for methods
    HRESULT loadResult = S_OK;
    bool newWindowOnActivation = false;
};

class FakeMovieControl;
FakeMovieControl* g_fake = nullptr;  // the live instance
FakeSetup g_setup;

LRESULT CALLBACK FakeWindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

// The stand-in: one object for the control's interfaces; its connection point is a part of it.
class FakeMovieControl final : public ComObject<IOleObject, IOleInPlaceObject, IDispatch,
                                                IPersistStreamInit, IConnectionPointContainer> {
  public:
    FakeMovieControl() : point_(this) { g_fake = this; }

    std::vector<std::string> calls;  // in order
    std::vector<UINT> mouse;         // mouse messages that reached the control's window
    std::vector<std::uint8_t> loaded;
    std::map<DISPID, std::string> props;
    HWND window = nullptr;
    IDispatch* sink = nullptr;

    // Raises FSCommand as the control does: arguments last first.
    HRESULT FireFSCommand(VARIANT command, VARIANT args) {
        if (!sink) return E_FAIL;
        VARIANT argv[2] = {args, command};
        DISPPARAMS params{argv, nullptr, 2, 0};
        return sink->Invoke(kFlashEventFSCommand, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                            nullptr, nullptr);
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        if (site) site->AddRef();
        if (site_) site_->Release();
        site_ = site;
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** out) override {
        *out = site_;
        if (site_) site_->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override {
        DestroyOwnWindow();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent,
                        LPCRECT rect) override {
        if (verb != OLEIVERB_INPLACEACTIVATE || !parent || !rect) return E_NOTIMPL;
        calls.push_back("DoVerb");
        if (window && g_setup.newWindowOnActivation) DestroyOwnWindow();
        if (!window) {
            window =
                CreateWindowExW(0, L"VarizFakeMovieControl", L"", WS_CHILD | WS_VISIBLE, rect->left,
                                rect->top, rect->right - rect->left, rect->bottom - rect->top,
                                parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        }
        return window ? S_OK : E_FAIL;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* id) override {
        *id = kClsidShockwaveFlash;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
        *status = OLEMISC_SETCLIENTSITEFIRST;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* out) override {
        *out = window;
        return window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override {
        DestroyOwnWindow();
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT) override {
        if (window && pos)
            MoveWindow(window, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top,
                       TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IDispatch: the properties are kept as the text the log shows
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) override {
        if (flags & DISPATCH_PROPERTYPUT) {
            if (params->cArgs != 1 || params->cNamedArgs != 1 ||
                params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_BADPARAMCOUNT;
            props[id] = Describe(params->rgvarg[0]);
            calls.push_back("put " + std::to_string(id) + " " + props[id]);
            return S_OK;
        }
        if (flags & DISPATCH_PROPERTYGET) {
            const auto it = props.find(id);
            if (it == props.end() || !result) return DISP_E_MEMBERNOTFOUND;
            VariantInit(result);
            // A boolean comes back as the control sends it; the rest as text, for the host
            // to convert.
            if (it->second.rfind("bool ", 0) == 0) {
                result->vt = VT_BOOL;
                result->boolVal = it->second == "bool true" ? VARIANT_TRUE : VARIANT_FALSE;
            } else {
                const std::string text = it->second.substr(it->second.find(' ') + 1);
                result->vt = VT_BSTR;
                result->bstrVal = SysAllocString(std::wstring(text.begin(), text.end()).c_str());
            }
            return S_OK;
        }
        // Methods: the arguments in declared order, with the kinds the interface has.
        std::string call;
        std::vector<VARTYPE> kinds;
        switch (id) {
            case FlashMethodId::Play:
                call = "Play";
                break;
            case FlashMethodId::Stop:
                call = "Stop";
                break;
            case FlashMethodId::LoadMovie:
                call = "LoadMovie";
                kinds = {VT_I4, VT_BSTR};
                break;
            case FlashMethodId::SetVariable:
                call = "SetVariable";
                kinds = {VT_BSTR, VT_BSTR};
                break;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
        if (params->cArgs != kinds.size() || params->cNamedArgs != 0) return DISP_E_BADPARAMCOUNT;
        for (UINT i = 0; i < kinds.size(); ++i) {
            const VARIANT& arg = params->rgvarg[params->cArgs - 1 - i];
            if (arg.vt != kinds[i]) return DISP_E_TYPEMISMATCH;
            call += " " + Describe(arg).substr(Describe(arg).find(' ') + 1);
        }
        calls.push_back(call);
        return g_setup.invokeResult;
    }

    // IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* id) override {
        *id = kClsidShockwaveFlash;
        return S_OK;
    }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM stream) override {
        calls.push_back("Load");
        loaded.clear();
        std::uint8_t chunk[4096];
        ULONG got = 0;
        while (SUCCEEDED(stream->Read(chunk, sizeof chunk, &got)) && got > 0)
            loaded.insert(loaded.end(), chunk, chunk + got);
        return g_setup.loadResult;
    }
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override {
        calls.push_back(clearDirty ? "Save clearing" : "Save");
        ULONG put = 0;
        return stream->Write(g_setup.state.data(), static_cast<ULONG>(g_setup.state.size()), &put);
    }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override {
        size->QuadPart = 0xABCD00000000ull | g_setup.sizeMax;  // only the low half counts
        return S_OK;
    }
    STDMETHODIMP InitNew() override {
        calls.push_back("InitNew");
        return S_OK;
    }

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
        *out = nullptr;
        if (iid != kDiidShockwaveFlashEvents) return CONNECT_E_NOCONNECTION;
        *out = &point_;
        point_.AddRef();
        return S_OK;
    }

  private:
    void* OtherInterface(REFIID iid) override {
        if (IsEqualIID(iid, IID_IOleWindow)) return static_cast<IOleInPlaceObject*>(this);
        if (IsEqualIID(iid, IID_IPersist)) return static_cast<IPersistStreamInit*>(this);
        return nullptr;
    }

    class Point final : public IConnectionPoint {
      public:
        explicit Point(FakeMovieControl* owner) : owner_(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
            *out = nullptr;
            if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
            *out = this;
            AddRef();
            return S_OK;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }
        STDMETHODIMP GetConnectionInterface(IID* iid) override {
            *iid = kDiidShockwaveFlashEvents;
            return S_OK;
        }
        STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override {
            return owner_->QueryInterface(IID_IConnectionPointContainer,
                                          reinterpret_cast<void**>(out));
        }
        STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
            // As a real control does: the sink must answer the event interface.
            if (owner_->sink) return CONNECT_E_ADVISELIMIT;
            if (FAILED(sink->QueryInterface(kDiidShockwaveFlashEvents,
                                            reinterpret_cast<void**>(&owner_->sink))))
                return CONNECT_E_CANNOTCONNECT;
            *cookie = 7;
            return S_OK;
        }
        STDMETHODIMP Unadvise(DWORD cookie) override {
            if (cookie != 7 || !owner_->sink) return CONNECT_E_NOCONNECTION;
            std::exchange(owner_->sink, nullptr)->Release();
            return S_OK;
        }
        STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

      private:
        FakeMovieControl* owner_;
    };

    ~FakeMovieControl() {
        DestroyOwnWindow();
        if (sink) sink->Release();
        if (site_) site_->Release();
        g_fake = nullptr;
    }
    void DestroyOwnWindow() {
        if (window) DestroyWindow(std::exchange(window, nullptr));
    }

    IOleClientSite* site_ = nullptr;
    Point point_;
};

LRESULT CALLBACK FakeWindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSEWHEEL && g_fake && g_fake->window == window)
        g_fake->mouse.push_back(msg);
    return DefWindowProcW(window, msg, wp, lp);
}

class FakeFactory final : public IClassFactory {
  public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* control = new FakeMovieControl;
        const HRESULT hr = control->QueryInterface(iid, out);
        control->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};
FakeFactory g_factory;

// The saved state of a control without a movie, as the load image expects it.
std::vector<std::uint8_t> SavedState(std::size_t size) {
    std::vector<std::uint8_t> state{0x67, 0x55, 0x66, 0x55};
    for (std::size_t i = state.size(); i < size; ++i) state.push_back(static_cast<std::uint8_t>(i));
    return state;
}

class RegisteredControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Errors().clear();
        g_setup = FakeSetup{};
        g_setup.state = SavedState(278);
        g_setup.sizeMax = 300;
        WNDCLASSW wc{};
        wc.lpfnWndProc = &FakeWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VarizFakeMovieControl";
        wc.style = CS_DBLCLKS;
        RegisterClassW(&wc);  // fails harmlessly once it exists
        ASSERT_EQ(CoRegisterClassObject(kClsidShockwaveFlash, &g_factory, CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie_),
                  S_OK);
        ASSERT_NE(Form().Handle(), nullptr);
        SetWindowPos(Form().Handle(), nullptr, 0, 0, 550, 400, SWP_NOMOVE | SWP_NOZORDER);
        flash_ = std::make_unique<TShockwaveFlashEx>(&Form());
        flash_->SetAlign(TAlign::Client);
        ASSERT_FALSE(flash_->BuiltIn());
        ASSERT_NE(g_fake, nullptr);
        flash_->OnFSCommand = [this](const std::wstring& command, const std::wstring& args) {
            commands_.emplace_back(command, args);
        };
        Pump();
    }
    void TearDown() override {
        flash_.reset();
        Pump();
        CoRevokeClassObject(cookie_);
        // The host let go of every reference it took.
        EXPECT_EQ(g_fake, nullptr);
        EXPECT_TRUE(Errors().empty()) << Errors().front();
    }

    std::vector<std::string> CallsSince(std::size_t from) const {
        return {g_fake->calls.begin() + static_cast<std::ptrdiff_t>(from), g_fake->calls.end()};
    }

    DWORD cookie_ = 0;
    std::unique_ptr<TShockwaveFlashEx> flash_;
    std::vector<std::pair<std::wstring, std::wstring>> commands_;
};

TEST_F(RegisteredControlTest, StartsWithTheLayoutsPropertiesBeforeItIsActivated) {
    const std::vector<std::string> expected = {"InitNew",
                                               "put 133 text Window",
                                               "put 125 bool true",
                                               "put 106 bool true",
                                               "put 141 text High",
                                               "put 135 bool false",
                                               "put 137 text ShowAll",
                                               "put 138 bool false",
                                               "put 139 bool false",
                                               "put 194 bool false",
                                               "put 192 bool true",
                                               "put 196 int 0",
                                               "put 201 text all",
                                               "put 202 text false",
                                               "DoVerb"};
    ASSERT_GE(g_fake->calls.size(), expected.size());
    EXPECT_EQ(
        std::vector<std::string>(g_fake->calls.begin(), g_fake->calls.begin() + expected.size()),
        expected);
    // Docked: the control's window fills the play area.
    RECT r{};
    GetClientRect(g_fake->window, &r);
    EXPECT_EQ(r.right, 550);
    EXPECT_EQ(r.bottom, 400);
}

TEST_F(RegisteredControlTest, MethodsAndPropertiesReachTheControlAsTheInterfaceHasThem) {
    const std::size_t from = g_fake->calls.size();
    MovieControl& c = flash_->Control();
    c.Play();
    c.Stop();
    c.LoadMovie(0, u"http://");
    c.SetVariable(u"_root.loadint", u"57");
    c.SetProperty(FlashDispId::ScaleMode, std::int32_t{0});
    c.SetProperty(FlashDispId::AllowScriptAccess, std::u16string(u"never"));
    c.SetProperty(FlashDispId::Loop, std::int32_t{0});  // sent as the property's kind
    EXPECT_EQ(CallsSince(from),
              (std::vector<std::string>{"Play", "Stop", "LoadMovie 0 http://",
                                        "SetVariable _root.loadint 57", "put 120 int 0",
                                        "put 171 text never", "put 106 bool false"}));
    // Read back in each property's kind, whatever form the control answers in.
    EXPECT_FALSE(GetBoolProperty(c, FlashDispId::Menu));
    EXPECT_EQ(GetIntProperty(c, FlashDispId::ScaleMode), 0);
    EXPECT_EQ(GetTextProperty(c, FlashDispId::AllowScriptAccess), u"never");
    EXPECT_THROW(c.GetProperty(FlashDispId::FrameNum), MovieControlError);  // not answered

    g_setup.invokeResult = E_FAIL;
    EXPECT_THROW(c.Play(), MovieControlError);
}

TEST_F(RegisteredControlTest, AMovieFileTravelsInsideTheSavedState) {
    const Bytes movie = ReadBytes(MoviePath("episode.swf"));
    for (const char* form : {"episode.swf", "episode_cws.swf", "episode_kpv.swf"}) {
        SCOPED_TRACE(form);
        const std::size_t from = g_fake->calls.size();
        flash_->LoadMovieFile(MoviePath(form));
        EXPECT_EQ(CallsSince(from),
                  (std::vector<std::string>{"put 139 bool false", "Save clearing", "Load"}));
        // 0x66, state bytes 1-3, L, the plain movie, the state from offset 4 and the rest of
        // the buffer GetSizeMax asked for.
        Bytes image{0x66, 0x55, 0x66, 0x55};
        swfdata::Append(image, swfdata::U32(static_cast<std::uint32_t>(movie.size())));
        swfdata::Append(image, movie);
        image.insert(image.end(), g_setup.state.begin() + 4, g_setup.state.end());
        image.resize(image.size() + g_setup.sizeMax - g_setup.state.size(), 0);
        EXPECT_EQ(g_fake->loaded, image);
    }
}

TEST_F(RegisteredControlTest, AControlThatRefusesTheMovieIsSilentOnlyForFiles) {
    g_setup.loadResult = E_FAIL;
    flash_->LoadMovieFile(MoviePath("episode.swf"));
    EXPECT_EQ(g_fake->calls.back(), "Load");
    MemoryStream stream(ReadBytes(MoviePath("episode.swf")));
    EXPECT_THROW(flash_->EmbedMovieStream(&stream), MovieControlError);
    // A state larger than the control said it would be is refused, not cut.
    g_setup.loadResult = S_OK;
    g_setup.sizeMax = 100;
    stream.Seek(0, SeekOrigin::Begin);
    EXPECT_THROW(flash_->EmbedMovieStream(&stream), MovieControlError);
}

TEST_F(RegisteredControlTest, FSCommandEventsReachTheHandler) {
    VARIANT command, args;
    VariantInit(&command);
    VariantInit(&args);
    command.vt = VT_BSTR;
    command.bstrVal = SysAllocString(L"kefoweb");
    args.vt = VT_BSTR;
    args.bstrVal = SysAllocString(L"/a/b?c=%20");
    EXPECT_EQ(g_fake->FireFSCommand(command, args), S_OK);
    // By reference, as a control written in another language passes them.
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_BYREF | VT_VARIANT;
    byRef.pvarVal = &command;
    VARIANT empty;
    VariantInit(&empty);
    SysFreeString(command.bstrVal);
    command.bstrVal = SysAllocString(L"kefoend");
    EXPECT_EQ(g_fake->FireFSCommand(byRef, empty), S_OK);
    EXPECT_EQ(commands_, (decltype(commands_){{L"kefoweb", L"/a/b?c=%20"}, {L"kefoend", L""}}));

    // A handler's error is reported and does not unwind into the control.
    flash_->OnFSCommand = [](const std::wstring&, const std::wstring&) {
        throw std::runtime_error("handler failed");
    };
    EXPECT_EQ(g_fake->FireFSCommand(command, args), S_OK);
    EXPECT_EQ(Errors(), std::vector<std::string>{"handler failed"});
    Errors().clear();
    VariantClear(&command);
    VariantClear(&args);
}

struct ReachCase {
    bool lock, menu;
    std::vector<UINT> reach;  // of kMessages, those the control sees
};

const UINT kMessages[] = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP,     WM_LBUTTONDBLCLK,
                          WM_RBUTTONDOWN, WM_RBUTTONUP,   WM_RBUTTONDBLCLK, WM_MBUTTONDOWN,
                          WM_MBUTTONUP,   WM_MOUSEWHEEL};

TEST_F(RegisteredControlTest, TheControlSeesOnlyTheMouseMessagesTheRulesLetThrough) {
    const ReachCase cases[] = {
        {false, true, std::vector<UINT>(std::begin(kMessages), std::end(kMessages))},
        {false,
         false,
         {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP,
          WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MOUSEWHEEL}},
        {true,
         true,
         {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP,
          WM_MOUSEWHEEL}},
        {true,
         false,
         {WM_MOUSEMOVE, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MOUSEWHEEL}},
    };
    std::vector<std::string> events;
    flash_->OnMouseDown = [&](TMouseButton, TShiftState, int x, int y) {
        events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    };
    flash_->OnMouseUp = [&](TMouseButton, TShiftState, int, int) { events.push_back("up"); };
    flash_->OnMouseMove = [&](TShiftState, int, int) { events.push_back("move"); };
    flash_->OnClick = [&] { events.push_back("click"); };
    for (const ReachCase& c : cases) {
        SCOPED_TRACE(std::string("lock ") + (c.lock ? "on" : "off") + ", menu " +
                     (c.menu ? "on" : "off"));
        flash_->LockMouseClick = c.lock;
        g_fake->props[FlashDispId::Menu] = c.menu ? "bool true" : "bool false";
        g_fake->mouse.clear();
        events.clear();
        for (UINT msg : kMessages) PostMessageW(g_fake->window, msg, 0, MAKELPARAM(12, 34));
        Pump();
        EXPECT_EQ(g_fake->mouse, c.reach);
        // The control's own events do not depend on what the control sees.
        EXPECT_EQ(events, (std::vector<std::string>{"move", "down 12,34", "up", "click"}));
    }
}

TEST_F(RegisteredControlTest, TheFilterFollowsTheControlToANewWindow) {
    g_setup.newWindowOnActivation = true;
    HWND before = g_fake->window;
    flash_->ActivateInPlace();
    ASSERT_NE(g_fake->window, nullptr);
    ASSERT_NE(g_fake->window, before);
    flash_->LockMouseClick = true;
    std::vector<std::string> events;
    flash_->OnMouseDown = [&](TMouseButton, TShiftState, int, int) { events.push_back("down"); };
    PostMessageW(g_fake->window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(g_fake->window, WM_MOUSEMOVE, 0, 0);
    Pump();
    EXPECT_EQ(events, std::vector<std::string>{"down"});
    EXPECT_EQ(g_fake->mouse, std::vector<UINT>{WM_MOUSEMOVE});
}

TEST(FlashValueFromVariant, ConvertsToThePropertysKind) {
    struct Case {
        int id;
        VARTYPE vt;
        const wchar_t* text;
        LONG number;
        FlashValue expected;
    };
    const Case cases[] = {
        {FlashDispId::Menu, VT_BOOL, nullptr, VARIANT_TRUE, true},
        {FlashDispId::Menu, VT_I4, nullptr, 0, false},
        {FlashDispId::Playing, VT_BSTR, L"True", 0, true},
        {FlashDispId::FrameNum, VT_I2, nullptr, -1, std::int32_t{-1}},
        {FlashDispId::ScaleMode, VT_BSTR, L"2", 0, std::int32_t{2}},
        {FlashDispId::Scale, VT_BSTR, L"ShowAll", 0, std::u16string(u"ShowAll")},
        {FlashDispId::BGColor, VT_EMPTY, nullptr, 0, std::u16string()},
        {FlashDispId::WMode, VT_I4, nullptr, 12, std::u16string(u"12")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        VARIANT v;
        VariantInit(&v);
        v.vt = c.vt;
        if (c.vt == VT_BSTR)
            v.bstrVal = SysAllocString(c.text);
        else if (c.vt == VT_BOOL)
            v.boolVal = static_cast<VARIANT_BOOL>(c.number);
        else if (c.vt == VT_I2)
            v.iVal = static_cast<SHORT>(c.number);
        else if (c.vt == VT_I4)
            v.lVal = c.number;
        EXPECT_EQ(FlashValueFromVariant(c.id, v), c.expected);
        VariantClear(&v);
    }
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"many");
    EXPECT_THROW(FlashValueFromVariant(FlashDispId::ScaleMode, text), MovieControlError);
    VariantClear(&text);
}

}  // namespace
