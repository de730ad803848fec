#include "BridgeBinder_win.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "BesideWindow_win.h"
#include "Bstr_win.h"
#include "ComError_win.h"
#include "PageOrigin.h"
#include "TextConv_win.h"

namespace {
constexpr char kLevelPrefix[] = "等级:";
}  // namespace

BridgeBinder::BridgeBinder(MainPlaces& places, PlayerState& state, SeriesPlayer& series,
                           const LockState& lock, std::string host)
    : places_(places),
      host_(std::move(host)),
      settings_(SettingsPathOf(state.ProgramDir), kPlayerSettingsBuffer),
      bridge_({state, series, *this, *this, settings_, lock}),
      external_(TMyExternal::Create(bridge_)) {
    BridgeDispatch_ = ComPtr<IDispatch>::Share(static_cast<IGetData*>(external_.Get()));
    places_.SitePanel().OnGetExternal = [link = link_](TWebBrowserWithUI& panel,
                                                       ComPtr<IDispatch>& out) {
        if (*link) (*link)->GetExternal(panel, out);
    };
}

BridgeBinder::~BridgeBinder() {
    *link_ = nullptr;
    external_->Detach();
}

// Only the content server's pages, and the player's own loading page, get the object.
void BridgeBinder::GetExternal(TWebBrowserWithUI& panel, ComPtr<IDispatch>& out) const {
    Bstr location;
    CheckHr(panel.DefaultInterface()->get_LocationURL(location.Put()), "LocationURL");
    if (PageMayUseBridge(WideToAnsi(location.Wide()), host_)) out = BridgeDispatch_;
}

void BridgeBinder::EnableMemberButtons() {
    for (auto id : {ButtonId::ImgButton3, ButtonId::ImgButton4, ButtonId::ImgButton5,
                    ButtonId::ImgButton6, ButtonId::ImgButton7})
        places_.Button(id).SetEnabled(true);
}

void BridgeBinder::ShowMember(const std::string& name, const std::string& level) {
    places_.MemberName().SetCaption(AnsiToWide(name));
    places_.MemberLevel().SetCaption(Utf8ToWide(kLevelPrefix) + AnsiToWide(level));
}

bool BridgeBinder::Download(const std::string& address, const std::string& fileName) {
    return net::DownloadToFileBesideWindow(address, fileName);
}

bool BridgeBinder::Show(const std::string& fileName, Format format) {
    std::ifstream in(std::filesystem::path(AnsiToWide(fileName)), std::ios::binary);
    if (!in) return false;
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    const auto kind = format == Format::Jpeg  ? TPicture::Format::Jpeg
                      : format == Format::Png ? TPicture::Format::Png
                                              : TPicture::Format::Gif;
    TPicture picture;
    if (!picture.LoadFromMemory(bytes.data(), bytes.size(), kind)) return false;
    places_.Avatar().Picture = std::move(picture);
    places_.Avatar().Invalidate();
    return true;
}

void BridgeBinder::Delete(const std::string& fileName) {
    DeleteFileW(AnsiToWide(fileName).c_str());
}

void BridgeBinder::Rename(const std::string& from, const std::string& to) {
    MoveFileW(AnsiToWide(from).c_str(), AnsiToWide(to).c_str());
}
