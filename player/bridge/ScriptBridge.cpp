#include "ScriptBridge.h"

#include <stdexcept>

#include "DelimitedText.h"
#include "Mbcs.h"

namespace {
constexpr char kSeriesMark[] = "tolu";
}  // namespace

bool IsSafeSeriesId(const std::string& id) {
    if (id.empty() || id.find("..") != std::string::npos) return false;
    for (std::size_t i = 0; i < id.size(); ++i) {
        const auto c = static_cast<unsigned char>(id[i]);
        if (IsLeadByte(c) && i + 1 < id.size()) {
            ++i;
            continue;
        }
        if (c < 32 || c == '\\' || c == '/' || c == ':') return false;
    }
    return true;
}

ScriptBridge::ScriptBridge(BridgeServices services) : s_(std::move(services)) {}

void ScriptBridge::AddUrl(const std::string& value) {
    const auto items = SplitDelimited(value, '_');
    if (items.size() != 4 || items[0] != kSeriesMark) return;
    // The id names files in the cache: one that would name a file elsewhere is no request.
    if (!IsSafeSeriesId(items[2])) return;
    PlayerState& st = s_.state;
    st.SeriesId = items[2];
    try {
        st.SeriesName = items[1];
        st.SeriesTypes = items[3];
        s_.series.SetTitle(st.SeriesName + "[1]");
    } catch (...) {
        // The title is for show; the series starts anyway.
    }
    s_.series.StartSeries();
}

void ScriptBridge::Web_Logo(const std::string&, const std::string& pass, const std::string& value) {
    PlayerState& st = s_.state;
    st.SiteLoggedIn = true;
    if (!s_.lock.Locked()) s_.member.EnableMemberButtons();
    st.SysPass = pass;
    WriteSysPass(s_.settings, pass);
    const auto items = SplitDelimited(value, ';');
    if (items.size() < 4) return;
    s_.member.ShowMember(items[0], items[2]);
    ShowAvatar(items[3]);
}

// The picture comes as a JPEG file; a file that is no JPEG is tried as PNG, then as GIF, under
// the name of that format.
void ScriptBridge::ShowAvatar(const std::string& address) {
    using F = AvatarPicture::Format;
    const std::string base = s_.state.ProgramDir + "web\\Avatar";
    const std::string jpg = base + ".jpg", png = base + ".png", gif = base + ".gif";
    AvatarPicture& a = s_.avatar;
    if (!a.Download(address, jpg)) return;
    if (a.Show(jpg, F::Jpeg)) return;
    a.Delete(png);
    a.Rename(jpg, png);
    if (a.Show(png, F::Png)) return;
    a.Delete(gif);
    a.Rename(png, gif);
    if (!a.Show(gif, F::Gif))
        throw std::runtime_error("The member's picture is no JPEG, PNG or GIF");
}
