#include "SHDocVw_Zam.h"

namespace {

constexpr EWBParam Str(const char* n) {
    return {n, EWBType::WideString, false};
}
constexpr EWBParam Int(const char* n) {
    return {n, EWBType::Integer, false};
}
constexpr EWBParam Bool(const char* n) {
    return {n, EWBType::WordBool, false};
}
constexpr EWBParam Disp(const char* n) {
    return {n, EWBType::Dispatch, false};
}
constexpr EWBParam VarOf(EWBParam p) {
    return {p.name, p.type, true};
}
constexpr EWBParam VarVariant(const char* n) {
    return {n, EWBType::Variant, true};
}

using E = EWBEvent;

}  // namespace

const std::array<EWBEventDef, kEWBEventCount> kEWBEvents = {{
    {E::StatusTextChange, "OnStatusTextChange", "TEWBStatusTextChange", 102, 1, {Str("Text")}},
    {E::ProgressChange,
     "OnProgressChange",
     "TEWBProgressChange",
     108,
     2,
     {Int("Progress"), Int("ProgressMax")}},
    {E::CommandStateChange,
     "OnCommandStateChange",
     "TEWBCommandStateChange",
     105,
     2,
     {Int("Command"), Bool("Enable")}},
    {E::DownloadBegin, "OnDownloadBegin", "", 106, 0, {}},
    {E::DownloadComplete, "OnDownloadComplete", "", 104, 0, {}},
    {E::TitleChange, "OnTitleChange", "TEWBTitleChange", 113, 1, {Str("Text")}},
    {E::PropertyChange, "OnPropertyChange", "TEWBPropertyChange", 112, 1, {Str("szProperty")}},
    {E::BeforeNavigate2,
     "OnBeforeNavigate2",
     "TEWBBeforeNavigate2",
     250,
     7,
     {Disp("pDisp"), VarVariant("URL"), VarVariant("Flags"), VarVariant("TargetFrameName"),
      VarVariant("PostData"), VarVariant("Headers"), VarOf(Bool("Cancel"))}},
    {E::NewWindow2,
     "OnNewWindow2",
     "TEWBNewWindow2",
     251,
     2,
     {VarOf(Disp("ppDisp")), VarOf(Bool("Cancel"))}},
    {E::NavigateComplete2,
     "OnNavigateComplete2",
     "TEWBNavigateComplete2",
     252,
     2,
     {Disp("pDisp"), VarVariant("URL")}},
    {E::DocumentComplete,
     "OnDocumentComplete",
     "TEWBDocumentComplete",
     259,
     2,
     {Disp("pDisp"), VarVariant("URL")}},
    {E::Quit, "OnQuit", "", 253, 0, {}},
    {E::Visible, "OnVisible", "TEWBOnVisible", 254, 1, {Bool("Visible")}},
    {E::ToolBar, "OnToolBar", "TEWBOnToolBar", 255, 1, {Bool("ToolBar")}},
    {E::MenuBar, "OnMenuBar", "TEWBOnMenuBar", 256, 1, {Bool("MenuBar")}},
    {E::StatusBar, "OnStatusBar", "TEWBOnStatusBar", 257, 1, {Bool("StatusBar")}},
    {E::FullScreen, "OnFullScreen", "TEWBOnFullScreen", 258, 1, {Bool("FullScreen")}},
    {E::TheaterMode, "OnTheaterMode", "TEWBOnTheaterMode", 260, 1, {Bool("TheaterMode")}},
    {E::AddressBar, "OnAddressBar", "TEWBOnAddressBar", 261, 1, {Bool("AddressBar")}},
    {E::WindowSetResizable,
     "OnWindowSetResizable",
     "TEWBWindowSetResizable",
     262,
     1,
     {Bool("Resizable")}},
    {E::WindowSetLeft, "OnWindowSetLeft", "TEWBWindowSetLeft", 264, 1, {Int("Left")}},
    {E::WindowSetTop, "OnWindowSetTop", "TEWBWindowSetTop", 265, 1, {Int("Top")}},
    {E::WindowSetWidth, "OnWindowSetWidth", "TEWBWindowSetWidth", 266, 1, {Int("Width")}},
    {E::WindowSetHeight, "OnWindowSetHeight", "TEWBWindowSetHeight", 267, 1, {Int("Height")}},
    {E::WindowClosing,
     "OnWindowClosing",
     "TEWBWindowClosing",
     263,
     2,
     {Bool("IsChildWindow"), VarOf(Bool("Cancel"))}},
    {E::ClientToHostWindow,
     "OnClientToHostWindow",
     "TEWBClientToHostWindow",
     268,
     2,
     {VarOf(Int("CX")), VarOf(Int("CY"))}},
    {E::SetSecureLockIcon,
     "OnSetSecureLockIcon",
     "TEWBSetSecureLockIcon",
     269,
     1,
     {Int("SecureLockIcon")}},
    {E::FileDownload, "OnFileDownload", "TEWBFileDownload", 270, 1, {VarOf(Bool("Cancel"))}},
    {E::NavigateError,
     "OnNavigateError",
     "TEWBNavigateError",
     271,
     5,
     {Disp("pDisp"), VarVariant("URL"), VarVariant("Frame"), VarVariant("StatusCode"),
      VarOf(Bool("Cancel"))}},
    {E::PrintTemplateInstantiation,
     "OnPrintTemplateInstantiation",
     "TEWBPrintTemplateInstantiation",
     225,
     1,
     {Disp("pDisp")}},
    {E::PrintTemplateTeardown,
     "OnPrintTemplateTeardown",
     "TEWBPrintTemplateTeardown",
     226,
     1,
     {Disp("pDisp")}},
    {E::UpdatePageStatus,
     "OnUpdatePageStatus",
     "TEWBUpdatePageStatus",
     227,
     3,
     {Disp("pDisp"), VarVariant("nPage"), VarVariant("fDone")}},
    {E::PrivacyImpactedStateChange,
     "OnPrivacyImpactedStateChange",
     "TEWBPrivacyImpactedStateChange",
     272,
     1,
     {Bool("bImpacted")}},
    {E::NewWindow3,
     "OnNewWindow3",
     "TEWBNewWindow3",
     273,
     5,
     {VarOf(Disp("ppDisp")),
      VarOf(Bool("Cancel")),
      {"dwFlags", EWBType::UInt32, false},
      Str("bstrUrlContext"),
      Str("bstrUrl")}},
}};

const EWBEventDef* FindEWBEvent(std::int32_t dispId) {
    for (const auto& def : kEWBEvents)
        if (def.dispId == dispId) return &def;
    return nullptr;
}

const std::array<EWBPropertyDef, 14> kEWBProperties = {{
    {"Visible", EWBType::WordBool, 402, true},
    {"StatusBar", EWBType::WordBool, 403, true},
    {"StatusText", EWBType::WideString, 404, true},
    {"ToolBar", EWBType::Integer, 405, true},
    {"MenuBar", EWBType::WordBool, 406, true},
    {"FullScreen", EWBType::WordBool, 407, true},
    {"Offline", EWBType::WordBool, 550, true},
    {"Silent", EWBType::WordBool, 551, true},
    {"RegisterAsBrowser", EWBType::WordBool, 552, true},
    {"RegisterAsDropTarget", EWBType::WordBool, 553, true},
    {"TheaterMode", EWBType::WordBool, 554, true},
    {"AddressBar", EWBType::WordBool, 555, true},
    {"Resizable", EWBType::WordBool, 556, true},
    {"Document", EWBType::Dispatch, kDispIdDocument, false},
}};

const EWBPropertyDef* FindEWBProperty(std::string_view name) {
    for (const auto& p : kEWBProperties)
        if (name == p.name) return &p;
    return nullptr;
}
