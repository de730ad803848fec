#include "DIvezoZaz.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(DIvezoZaz, FormsEveryPathFromTheProgramDir) {
    struct Case {
        std::string exe, programDir;
    } cases[] = {
        {"C:\\Program Files\\Variz\\Variz.exe", "C:\\Program Files\\Variz\\"},
        {"D:\\Variz.exe", "D:\\"},
        // A folder name whose double-byte characters end in a backslash byte.
        {"C:\\\xB6\xF9\x81\x5C\\Variz.exe", "C:\\\xB6\xF9\x81\x5C\\"},
        {"C:\\\x81\x5C"
         "Variz.exe",
         "C:\\"},
    };
    for (const auto& c : cases) {
        PlayerState s;
        FormProgramDir(s, c.exe);
        FormMoviePaths(s);
        FormCacheDir(s);
        EXPECT_EQ(s.ProgramDir, c.programDir);
        EXPECT_EQ(s.CacheDir, c.programDir + "cache\\");
        EXPECT_EQ(s.LogoMoviePath, c.programDir + "web\\logo.swf");
        EXPECT_EQ(s.LoadMoviePath, c.programDir + "web\\load.swf");
        EXPECT_EQ(SettingsPathOf(s.ProgramDir), c.programDir + "Variz.dat");
    }
}

class MemorySettings : public SettingsFile {
  public:
    std::string Read(const std::string& s, const std::string& k,
                     const std::string& def) const override {
        auto it = values.find(s + "/" + k);
        return it == values.end() ? def : it->second;
    }
    bool Write(const std::string& s, const std::string& k, const std::string& v) override {
        if (refuse) return false;
        values[s + "/" + k] = v;
        return true;
    }
    const std::string& Path() const override { return path; }
    std::map<std::string, std::string> values;
    bool refuse = false;
    std::string path = "C:\\Variz\\Variz.dat";
};

TEST(DIvezoZaz, SysPassLivesInSystemSyspass) {
    MemorySettings settings;
    EXPECT_EQ(ReadSysPass(settings), "");
    WriteSysPass(settings, "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(settings.values["system/syspass"], "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(ReadSysPass(settings), "0cc175b9c0f1b6a831c399e269772661");
}

TEST(DIvezoZaz, RefusedSysPassWriteNamesTheFile) {
    MemorySettings settings;
    settings.refuse = true;
    try {
        WriteSysPass(settings, "x");
        FAIL() << "no error raised";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Unable to write to C:\\Variz\\Variz.dat");
    }
}

TEST(DIvezoZaz, EpisodeListLifecycle) {
    PlayerState s;
    s.EpisodeIndex = 5;
    ASSERT_TRUE(CreateEpisodeList(s));
    ASSERT_NE(s.EpisodeList, nullptr);
    EXPECT_TRUE(s.EpisodeList->empty());
    EXPECT_EQ(s.EpisodeIndex, 0);
    FreeEpisodeList(s);
    EXPECT_EQ(s.EpisodeList, nullptr);
    FreeEpisodeList(s);  // freeing twice is harmless
}

}  // namespace
