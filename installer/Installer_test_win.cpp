// The installer as a parent meets it, run silently: it installs both programs and their data into
// one folder, the player starts from there with its tray, an update installs over a running
// player, and the uninstaller removes everything or keeps the child's cartoons and history.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BuildPath.h"
#include "ComPtr_win.h"
#include "ComSessions_win.h"
#include "Contract.h"
#include "Handles_win.h"
#include "StartInFolder_win.h"
#include "TempFolder.h"
#include "WaitFor.h"

namespace fs = std::filesystem;

namespace {

using testwait::WaitUntil;
using namespace std::chrono_literals;

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tolubeni";
constexpr wchar_t kProductKey[] = L"Software\\Tolubeni";

// Runs a program with a command line and waits for it; its exit code, or -1.
long RunProgram(const fs::path& exe, const std::wstring& arguments) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe.wstring() + L"\" " + arguments;
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return -1;
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(process.get(), 120000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

std::wstring ReadSetting(const fs::path& file, const wchar_t* section, const wchar_t* key) {
    wchar_t text[64] = {};
    GetPrivateProfileStringW(section, key, L"<absent>", text, 64, file.c_str());
    return text;
}

void WriteSetting(const fs::path& file, const wchar_t* section, const wchar_t* key,
                  const wchar_t* value) {
    ASSERT_TRUE(WritePrivateProfileStringW(section, key, value, file.c_str()));
}

bool KeyExists(const wchar_t* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

fs::path StartMenuShortcut() {
    PWSTR programs = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_Programs, 0, nullptr, &programs))) return {};
    fs::path link = fs::path(programs) / L"Tolubeni.lnk";
    CoTaskMemFree(programs);
    return link;
}

// The program a shortcut starts, or the empty path.
fs::path ShortcutTarget(const fs::path& link) {
    ComPtr<IShellLinkW> shell;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(shell.Put()))))
        return {};
    ComPtr<IPersistFile> file = shell.As<IPersistFile>();
    if (!file || FAILED(file->Load(link.c_str(), STGM_READ))) return {};
    wchar_t target[MAX_PATH] = {};
    if (FAILED(shell->GetPath(target, MAX_PATH, nullptr, 0))) return {};
    return target;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

bool TrayRuns() {
    UniqueHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, contract::kTrayMutex));
    return mutex.get() != nullptr;
}

class InstallerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = folder_.Path() / "Tolubeni";
        ASSERT_FALSE(KeyExists(kUninstallKey)) << "an earlier installation was left behind";
    }
    void TearDown() override {
        // Whatever a failed case left running or registered goes, so the next case starts clean.
        if (fs::exists(dir_ / "uninstall.exe")) Uninstall(L"/KEEPDATA");
        if (player_) {
            if (WaitForSingleObject(player_.get(), 10000) != WAIT_OBJECT_0)
                TerminateProcess(player_.get(), 1);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
    }

    long Install(const std::wstring& arguments) {
        return RunProgram(FromBuild(VARIZ_SETUP_EXE), arguments);
    }
    long InstallInto(const fs::path& dir) { return Install(L"/S /D=" + dir.wstring()); }
    // The uninstaller copies itself away and removes the original; done when that is gone.
    bool Uninstall(const std::wstring& more = {}) {
        if (RunProgram(dir_ / "uninstall.exe", L"/S " + more) != 0) return false;
        return WaitUntil([&] { return !fs::exists(dir_ / "uninstall.exe"); }, 60s, 100ms);
    }
    void StartInstalledPlayer() {
        player_ = testwin::StartInFolder(dir_ / "Variz.exe", dir_);
        ASSERT_TRUE(player_);
        ASSERT_TRUE(WaitUntil(
            [] { return FindWindowW(contract::kPlayerWindowClass, nullptr) != nullptr; }, 30s));
        ASSERT_TRUE(WaitUntil(TrayRuns, 30s)) << "the player started no tray beside it";
    }

    TempFolder folder_;
    fs::path dir_;
    UniqueHandle player_;
    OleSession ole_;
};

TEST_F(InstallerTest, InstallsIntoOneFolderTheInstalledPlayerRunsAndTheUninstallerLeavesNothing) {
    ASSERT_EQ(InstallInto(dir_), 0);

    for (const char* file : {"Variz.exe", "Zorvane.exe", "web/logo.swf", "web/load.swf",
                             "web/load.gif", "uninstall.exe"})
        EXPECT_GT(fs::file_size(dir_ / file), 0u) << file;
    EXPECT_EQ(ReadSetting(dir_ / "Variz.dat", L"update", L"childver"), L"" VARIZ_VERSION);
    EXPECT_EQ(ReadSetting(dir_ / "Variz.dat", L"update", L"down"), L"0");
    EXPECT_EQ(ShortcutTarget(StartMenuShortcut()), dir_ / "Variz.exe");
    EXPECT_TRUE(KeyExists(kUninstallKey));

    StartInstalledPlayer();
    EXPECT_TRUE(fs::is_directory(dir_ / "cache"));

    // The uninstaller ends the running player and tray itself before it removes their files.
    ASSERT_TRUE(Uninstall());
    EXPECT_EQ(WaitForSingleObject(player_.get(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(WaitUntil([] { return !TrayRuns(); }));
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(dir_); }, 10s)) << "left in the folder";
    EXPECT_FALSE(fs::exists(StartMenuShortcut()));
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_FALSE(KeyExists(kProductKey));
}

TEST_F(InstallerTest, AskedToTheUninstallerKeepsTheCartoonsTheHistoryAndTheSettingsOnly) {
    ASSERT_EQ(InstallInto(dir_), 0);
    WriteFile(dir_ / "cache" / "101-1.swf", "episode");
    WriteFile(dir_ / "web" / "Local.dat", "history");
    WriteFile(dir_ / "web" / "logo3.swf", "refreshed logo");
    WriteSetting(dir_ / "Variz.dat", L"Edit", L"Volume", L"40");

    ASSERT_TRUE(Uninstall(L"/KEEPDATA"));
    for (const char* gone :
         {"Variz.exe", "Zorvane.exe", "web/logo.swf", "web/load.swf", "web/load.gif"})
        EXPECT_FALSE(fs::exists(dir_ / gone)) << gone;
    EXPECT_TRUE(fs::exists(dir_ / "cache" / "101-1.swf"));
    EXPECT_TRUE(fs::exists(dir_ / "web" / "Local.dat"));
    EXPECT_TRUE(fs::exists(dir_ / "web" / "logo3.swf"));
    EXPECT_EQ(ReadSetting(dir_ / "Variz.dat", L"Edit", L"Volume"), L"40");

    // Installed again, the child finds them where they were.
    ASSERT_EQ(InstallInto(dir_), 0);
    EXPECT_TRUE(fs::exists(dir_ / "cache" / "101-1.swf"));
    EXPECT_EQ(ReadSetting(dir_ / "Variz.dat", L"Edit", L"Volume"), L"40");
}

TEST_F(InstallerTest, AnUpdateInstallsOverARunningPlayerIntoTheSameFolderAndEndsTheWaiting) {
    ASSERT_EQ(InstallInto(dir_), 0);
    // As the tray leaves it: an older version recorded, a downloaded installer waiting.
    WriteSetting(dir_ / "Variz.dat", L"update", L"childver", L"0.9");
    WriteSetting(dir_ / "Variz.dat", L"update", L"down", L"1");
    WriteFile(dir_ / "update.exe", "installer");
    WriteFile(dir_ / "web" / "Local.dat", "history");
    StartInstalledPlayer();

    // Started without a folder, as the tray starts it: the folder of the installation.
    ASSERT_EQ(Install(L"/S"), 0);
    EXPECT_EQ(WaitForSingleObject(player_.get(), 0), WAIT_OBJECT_0) << "the player still runs";
    EXPECT_EQ(ReadSetting(dir_ / "Variz.dat", L"update", L"childver"), L"" VARIZ_VERSION);
    EXPECT_EQ(ReadSetting(dir_ / "Variz.dat", L"update", L"down"), L"0");
    EXPECT_FALSE(fs::exists(dir_ / "update.exe"));
    EXPECT_TRUE(fs::exists(dir_ / "web" / "Local.dat"));
    EXPECT_GT(fs::file_size(dir_ / "Variz.exe"), 0u);
}

}  // namespace
