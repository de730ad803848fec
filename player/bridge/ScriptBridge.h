#pragma once
#include <string>

#include "DIvezoZaz.h"
#include "PlayPipeline.h"
#include "SettingsFile.h"

// The member part of the toolbar, as a page's log-in report changes it.
class MemberView {
  public:
    virtual ~MemberView() = default;
    // The forum, space, diary, album and search buttons.
    virtual void EnableMemberButtons() = 0;
    // The member's name and level, bytes of the ANSI code page.
    virtual void ShowMember(const std::string& name, const std::string& level) = 0;
};

// The member's picture: fetched into a file of the program folder, shown by a decoder of one
// format at a time.
class AvatarPicture {
  public:
    enum class Format { Jpeg, Png, Gif };
    virtual ~AvatarPicture() = default;
    virtual bool Download(const std::string& address, const std::string& fileName) = 0;
    // Shows the file when it holds a picture of `format`; false, showing nothing new, when not.
    virtual bool Show(const std::string& fileName, Format format) = 0;
    // Neither result is looked at.
    virtual void Delete(const std::string& fileName) = 0;
    virtual void Rename(const std::string& from, const std::string& to) = 0;
};

// Whether the parental lock holds: the member buttons stay off while it does, and come back
// when it ends.
class LockState {
  public:
    virtual ~LockState() = default;
    virtual bool Locked() const = 0;
};

// Everything the bridge works with; all of it is required.
struct BridgeServices {
    PlayerState& state;
    SeriesPlayer& series;
    MemberView& member;
    AvatarPicture& avatar;
    SettingsFile& settings;
    const LockState& lock;
};

// What the page object's two methods do, on texts already in the ANSI code page. An error they
// raise reaches the calling page as a failed call.
class ScriptBridge {
  public:
    explicit ScriptBridge(BridgeServices services);

    // Starts a series: "tolu", its name, its id and its category joined by "_". Anything else
    // does nothing.
    void AddUrl(const std::string& value);
    // The member logged in: the lock password's digest, then the name, an unused field, the
    // level and the picture's address joined by ";".
    void Web_Logo(const std::string& user, const std::string& pass, const std::string& value);

  private:
    void ShowAvatar(const std::string& address);

    BridgeServices s_;
};

// Whether a series id may name files in the cache: not empty, and no folder separator, drive
// colon, ".." or control byte outside a double-byte character.
bool IsSafeSeriesId(const std::string& id);
