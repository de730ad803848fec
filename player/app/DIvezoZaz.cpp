#include "DIvezoZaz.h"

#include <new>
#include <stdexcept>

#include "Mbcs.h"
#include "TextFormat.h"

PlayerState& Player() {
    static PlayerState state;
    return state;
}

std::string ExtractFilePath(const std::string& path) {
    const auto at = LastDelimiter(path, "\\:");
    return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

void FormProgramDir(PlayerState& state, const std::string& exePath) {
    state.ProgramDir = ExtractFilePath(exePath);
}

void FormMoviePaths(PlayerState& state) {
    state.LogoMoviePath = state.ProgramDir + "web\\logo.swf";
    state.LoadMoviePath = state.ProgramDir + "web\\load.swf";
}

void FormCacheDir(PlayerState& state) {
    state.CacheDir = state.ProgramDir + "cache\\";
}

std::string SettingsPathOf(const std::string& programDir) {
    return programDir + "Variz.dat";
}

std::string ReadSysPass(const SettingsFile& settings) {
    return settings.Read("system", "syspass", "");
}

void WriteSysPass(SettingsFile& settings, const std::string& value) {
    if (!settings.Write("system", "syspass", value))
        throw std::runtime_error(FormatS("Unable to write to %s", settings.Path()));
}

bool CreateEpisodeList(PlayerState& state) {
    try {
        state.EpisodeList = std::make_unique<TEpisodeList>();
        state.EpisodeIndex = 0;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void FreeEpisodeList(PlayerState& state) {
    state.EpisodeList.reset();
}
