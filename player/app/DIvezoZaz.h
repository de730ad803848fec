#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SettingsFile.h"
#include "Contract.h"

// The content server host every address is built with.
inline const std::string& ContentHost = contract::kContentHost;
constexpr bool AdvertisingEnabled = VARIZ_ADVERTISING_ENABLED;

using TEpisodeList = std::vector<std::string>;

// Process-wide state of the player. Texts are bytes of the ANSI code page; paths are absolute.
struct PlayerState {
    std::string ProgramDir;  // ends in a backslash
    std::string CacheDir;
    std::string LogoMoviePath;
    std::string LoadMoviePath;
    std::string SysPass;  // lowercase hexadecimal MD5 digest, empty when none is set
    bool SiteLoggedIn = false;

    std::unique_ptr<TEpisodeList> EpisodeList;
    bool EpisodeListReady = false;
    std::int32_t EpisodeIndex = 0;
    std::string SeriesId;
    std::string SeriesName;
    std::string SeriesTypes;
};

PlayerState& Player();

// Directory part of a file path, trailing delimiter included; double-byte aware.
std::string ExtractFilePath(const std::string& path);

// Sets ProgramDir from the executable's path, then the paths formed from it.
void FormProgramDir(PlayerState& state, const std::string& exePath);
void FormMoviePaths(PlayerState& state);
void FormCacheDir(PlayerState& state);

std::string SettingsPathOf(const std::string& programDir);

std::string ReadSysPass(const SettingsFile& settings);
// Throws std::runtime_error "Unable to write to <path>" when the file refuses the write.
void WriteSysPass(SettingsFile& settings, const std::string& value);

bool CreateEpisodeList(PlayerState& state);
void FreeEpisodeList(PlayerState& state);
