#include "IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "SettingsCases.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test {
  protected:
    TempFolder folder_;
    const fs::path& dir_ = folder_.Path();
};

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<SettingsFile> MakeIni(const std::string& path, std::size_t buffer) {
    return std::make_unique<IniFile>(path, buffer);
}

TEST_F(IniFileTest, AnswersTheCaseTable) {
    int n = 0;
    for (const auto& c : SettingsCaseTable()) {
        const auto path = (dir_ / ("case" + std::to_string(n++) + ".dat")).string();
        EXPECT_EQ(RunSettingsCase(c, path, MakeIni, WriteBytes), ExpectedAnswers(c)) << c.name;
    }
}

TEST_F(IniFileTest, WriteChangesOnlyItsOwnLine) {
    const auto path = (dir_ / "Variz.dat").string();
    const std::string before =
        "; kept comment\r\n[update]\r\nchildver = 2.5\r\ndown=0\r\n\r\n[system]\r\nsyspass=a\r\n";
    WriteBytes(path, before);
    IniFile ini(path, kPlayerSettingsBuffer);
    ASSERT_TRUE(ini.Write("update", "down", "1"));
    EXPECT_EQ(
        ReadBytes(path),
        "; kept comment\r\n[update]\r\nchildver = 2.5\r\ndown=1\r\n\r\n[system]\r\nsyspass=a\r\n");
    ASSERT_TRUE(ini.Write("update", "extra", "x"));
    EXPECT_EQ(ReadBytes(path),
              "; kept comment\r\n[update]\r\nchildver = 2.5\r\ndown=1\r\nextra=x\r\n"
              "\r\n[system]\r\nsyspass=a\r\n");
}

TEST_F(IniFileTest, RefusedWriteLeavesTheFileAlone) {
    // A directory in the file's place cannot be replaced by a file.
    const auto path = (dir_ / "Variz.dat").string();
    fs::create_directories(path);
    IniFile ini(path, kPlayerSettingsBuffer);
    EXPECT_FALSE(ini.Write("system", "syspass", "x"));
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

}  // namespace
