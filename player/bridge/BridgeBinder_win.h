#pragma once
#include <memory>
#include <string>

#include "ComPtr_win.h"
#include "GetData_TLB_Impl_win.h"
#include "MainPlaces_win.h"
#include "ProfileFile_win.h"
#include "ScriptBridge.h"

// The script bridge on the main window: the page object handed to the pages of the content server
// in the site panel, the member's name, level and picture on the toolbar, and the buttons a
// member may use.
class BridgeBinder : public MemberView, public AvatarPicture {
  public:
    // Throws ComError when the type library cannot be loaded.
    BridgeBinder(MainPlaces& places, PlayerState& state, SeriesPlayer& series,
                 const LockState& lock, std::string host);
    // Pages that still hold the object find it detached.
    ~BridgeBinder() override;
    BridgeBinder(const BridgeBinder&) = delete;
    BridgeBinder& operator=(const BridgeBinder&) = delete;

    // The counted reference the player keeps, and hands to the pages.
    const ComPtr<IDispatch>& BridgeDispatch() const { return BridgeDispatch_; }

    // MemberView
    void EnableMemberButtons() override;
    void ShowMember(const std::string& name, const std::string& level) override;
    // AvatarPicture
    bool Download(const std::string& address, const std::string& fileName) override;
    bool Show(const std::string& fileName, Format format) override;
    void Delete(const std::string& fileName) override;
    void Rename(const std::string& from, const std::string& to) override;

  private:
    void GetExternal(TWebBrowserWithUI& panel, ComPtr<IDispatch>& out) const;

    MainPlaces& places_;
    const std::string host_;
    ProfileFile settings_;
    ScriptBridge bridge_;
    ComPtr<TMyExternal> external_;
    ComPtr<IDispatch> BridgeDispatch_;
    std::shared_ptr<BridgeBinder*> link_ = std::make_shared<BridgeBinder*>(this);
};
