#include "MovieControl.h"

namespace {

struct KnownProperty {
    int id;
    FlashPropertyKind kind;
};

using K = FlashPropertyKind;
namespace D = FlashDispId;

constexpr KnownProperty kKnown[] = {
    {D::Playing, K::Bool},
    {D::Quality, K::Int},
    {D::ScaleMode, K::Int},
    {D::AlignMode, K::Int},
    {D::BackgroundColor, K::Int},
    {D::Loop, K::Bool},
    {D::Movie, K::Text},
    {D::FrameNum, K::Int},
    {D::WMode, K::Text},
    {D::SAlign, K::Text},
    {D::Menu, K::Bool},
    {D::Base, K::Text},
    {D::Scale, K::Text},
    {D::DeviceFont, K::Bool},
    {D::EmbedMovie, K::Bool},
    {D::BGColor, K::Text},
    {D::Quality2, K::Text},
    {D::SWRemote, K::Text},
    {D::FlashVars, K::Text},
    {D::AllowScriptAccess, K::Text},
    {D::MovieData, K::Text},
    {D::SeamlessTabbing, K::Bool},
    {D::Profile, K::Bool},
    {D::ProfileAddress, K::Text},
    {D::ProfilePort, K::Int},
    {D::AllowNetworking, K::Text},
    {D::AllowFullScreen, K::Text},
};

}  // namespace

FlashPropertyKind KindOfFlashProperty(int dispId) {
    for (const auto& p : kKnown)
        if (p.id == dispId) return p.kind;
    return FlashPropertyKind::Int;
}

FlashValue DefaultFlashValue(int dispId) {
    switch (dispId) {
        case D::Loop:
        case D::Menu:
        case D::SeamlessTabbing:
            return true;
        case D::Quality:
            return std::int32_t{1};
        case D::BackgroundColor:
        case D::FrameNum:
            return std::int32_t{-1};
        case D::WMode:
            return std::u16string(u"Window");
        case D::Scale:
            return std::u16string(u"ShowAll");
        case D::Quality2:
            return std::u16string(u"High");
        case D::AllowScriptAccess:
            return std::u16string(u"sameDomain");
        case D::AllowNetworking:
            return std::u16string(u"all");
        case D::AllowFullScreen:
            return std::u16string(u"false");
        default:
            break;
    }
    switch (KindOfFlashProperty(dispId)) {
        case K::Bool:
            return false;
        case K::Text:
            return std::u16string();
        default:
            return std::int32_t{0};
    }
}

bool GetBoolProperty(MovieControl& control, int dispId) {
    const FlashValue v = control.GetProperty(dispId);
    if (const bool* b = std::get_if<bool>(&v)) return *b;
    if (const std::int32_t* i = std::get_if<std::int32_t>(&v)) return *i != 0;
    return false;
}

std::int32_t GetIntProperty(MovieControl& control, int dispId) {
    const FlashValue v = control.GetProperty(dispId);
    if (const std::int32_t* i = std::get_if<std::int32_t>(&v)) return *i;
    if (const bool* b = std::get_if<bool>(&v)) return *b ? -1 : 0;
    return 0;
}

std::u16string GetTextProperty(MovieControl& control, int dispId) {
    const FlashValue v = control.GetProperty(dispId);
    if (const std::u16string* s = std::get_if<std::u16string>(&v)) return *s;
    return {};
}
