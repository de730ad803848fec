// The platform's private-profile functions and the portable file answer the same table alike.
#include "ProfileFile_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "IniFile.h"
#include "SettingsCases.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class ProfileFileTest : public ::testing::Test {
  protected:
    std::string PathOf(const std::string& name) { return folder_.File(name); }
    TempFolder folder_;
    const fs::path& dir_ = folder_.Path();
};

TEST_F(ProfileFileTest, PlatformAndPortableAnswerTheTableAlike) {
    const auto makeProfile = [](const std::string& p, std::size_t n) {
        return std::unique_ptr<SettingsFile>(new ProfileFile(p, n));
    };
    const auto makeIni = [](const std::string& p, std::size_t n) {
        return std::unique_ptr<SettingsFile>(new IniFile(p, n));
    };
    int n = 0;
    for (const auto& c : SettingsCaseTable()) {
        const auto id = std::to_string(n++);
        const auto platform =
            RunSettingsCase(c, PathOf("p" + id + ".dat"), makeProfile, WriteBytes);
        const auto portable = RunSettingsCase(c, PathOf("i" + id + ".dat"), makeIni, WriteBytes);
        EXPECT_EQ(platform, ExpectedAnswers(c)) << "platform: " << c.name;
        EXPECT_EQ(portable, platform) << "portable: " << c.name;
    }
}

TEST_F(ProfileFileTest, EachReadsWhatTheOtherWrote) {
    const auto path = PathOf("Variz.dat");
    ProfileFile platform(path, kPlayerSettingsBuffer);
    IniFile portable(path, kPlayerSettingsBuffer);
    ASSERT_TRUE(platform.Write("system", "syspass", "abc"));
    ASSERT_TRUE(portable.Write("update", "down", "1"));
    ASSERT_TRUE(platform.Write("update", "childver", "3.1"));
    EXPECT_EQ(portable.Read("system", "syspass", ""), "abc");
    EXPECT_EQ(portable.Read("update", "childver", ""), "3.1");
    EXPECT_EQ(platform.Read("update", "down", "0"), "1");
}

TEST_F(ProfileFileTest, RefusedWriteIsReported) {
    // A folder that does not exist cannot take the file.
    const auto path = PathOf("missing\\Variz.dat");
    ProfileFile platform(path, kPlayerSettingsBuffer);
    IniFile portable(path, kPlayerSettingsBuffer);
    EXPECT_FALSE(platform.Write("system", "syspass", "b"));
    EXPECT_FALSE(portable.Write("system", "syspass", "b"));
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

}  // namespace
