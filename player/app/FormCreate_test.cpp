// The start-up of the main window: its order, the tray in the player's folder, the cache folder
// and what an earlier run left behind.
#include "FormCreate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using V = std::vector<std::string>;

class MemorySettings : public SettingsFile {
  public:
    explicit MemorySettings(std::map<std::string, std::string> values, std::string path)
        : values_(std::move(values)), path_(std::move(path)) {}
    std::string Read(const std::string& s, const std::string& k,
                     const std::string& def) const override {
        auto it = values_.find(s + "/" + k);
        return it == values_.end() ? def : it->second;
    }
    bool Write(const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    const std::string& Path() const override { return path_; }

  private:
    std::map<std::string, std::string> values_;
    std::string path_;
};

// Records every step of the system, the composition and the window as one line, in order.
struct Recorder : StartupSteps, MainView {
    V calls;
    std::set<std::string> folders;
    std::map<std::string, std::string> settings;

    std::string ExecutablePath() override { return "C:\\Kids\\Variz.exe"; }
    std::unique_ptr<SettingsFile> OpenSettings(const std::string& path) override {
        calls.push_back("settings " + path);
        return std::make_unique<MemorySettings>(settings, path);
    }
    void StartProgram(const std::string& path, const std::string& folder) override {
        calls.push_back("start " + path + " in " + folder);
    }
    bool FolderExists(const std::string& path) override { return folders.count(path) != 0; }
    void CreateFolder(const std::string& path) override { calls.push_back("mkdir " + path); }
    void RemoveDownloadLeftovers(const std::string& folder) override {
        calls.push_back("leftovers " + folder);
    }
    void MakeVolumeControl() override { calls.push_back("volume control"); }
    void MakeLogoUpdater() override { calls.push_back("logo updater"); }
    void MakeScriptBridge() override { calls.push_back("script bridge"); }
    void MakeDownloadComponent() override { calls.push_back("download component"); }
    void MakeHistoryStore() override { calls.push_back("history store"); }
    void MakeLockMode() override { calls.push_back("lock mode"); }
    int InitialVolume() override { return 100; }

    void ShowSideLayers(bool, bool) override { calls.push_back("side"); }
    bool Down(ButtonId) const override { return false; }
    void SetDown(ButtonId, bool) override { calls.push_back("down"); }
    void SetEnabled(ButtonId b, bool e) override {
        calls.push_back((e ? "enable " : "disable ") + std::to_string(static_cast<int>(b) + 1));
    }
    void SetFullScreen(bool) override { calls.push_back("fullscreen"); }
    void Minimize() override { calls.push_back("minimize"); }
    void ToggleMaximized() override { calls.push_back("maximize"); }
    void Close() override { calls.push_back("close"); }
    void SetVolumePosition(int p) override { calls.push_back("slider " + std::to_string(p)); }
    void ShowAdvertPanel(bool v) override { calls.push_back(v ? "advert shown" : "advert hidden"); }
};

TEST(FormCreate, MakesEverythingInTheStartUpOrder) {
    Recorder r;
    PlayerState s;
    FormCreate(s, r, r, false);
    EXPECT_EQ(r.calls,
              (V{"settings C:\\Kids\\Variz.dat", "disable 3", "disable 4", "disable 5", "disable 6",
                 "disable 7", "start C:\\Kids\\Zorvane.exe in C:\\Kids\\", "volume control",
                 "logo updater", "script bridge", "mkdir C:\\Kids\\cache\\",
                 "leftovers C:\\Kids\\cache\\", "leftovers C:\\Kids\\web\\", "slider 100",
                 "advert hidden", "download component", "history store", "lock mode"}));
    EXPECT_EQ(s.ProgramDir, "C:\\Kids\\");
    EXPECT_EQ(s.LogoMoviePath, "C:\\Kids\\web\\logo.swf");
    EXPECT_EQ(s.LoadMoviePath, "C:\\Kids\\web\\load.swf");
    EXPECT_TRUE(s.EpisodeListReady);
    EXPECT_EQ(s.SysPass, "");
}

TEST(FormCreate, AnExistingCacheIsKeptAndThePasswordComesFromTheSettings) {
    Recorder r;
    r.folders.insert("C:\\Kids\\cache\\");
    r.settings["system/syspass"] = "0cc175b9c0f1b6a831c399e269772661";
    PlayerState s;
    FormCreate(s, r, r, true);
    for (const auto& c : r.calls) EXPECT_EQ(c.rfind("mkdir", 0), std::string::npos) << c;
    EXPECT_EQ(s.SysPass, "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_NE(std::find(r.calls.begin(), r.calls.end(), "advert shown"), r.calls.end());
}

TEST(FormCreate, AMemberAlreadyLoggedInKeepsTheMemberButtons) {
    Recorder r;
    PlayerState s;
    s.SiteLoggedIn = true;
    FormCreate(s, r, r, false);
    for (const auto& c : r.calls) EXPECT_EQ(c.rfind("disable", 0), std::string::npos) << c;
}

}  // namespace
