// The settings file on any content. An input is three lines, the section, key and value of a
// write, then the file's bytes. Reading never fails. When the names and the value are ones the
// file can hold (code page 936 text without control bytes, no blanks around; a section name with
// no ']' of its own, a key with no '=' and no '[' in front, a value not in quotes and within the
// buffer), a write answers true, a read then answers the value, and every other key answers as
// before; a second write replaces the value.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "IniFile.h"
#include "Mbcs.h"

namespace fs = std::filesystem;

namespace {

// A folder for the file, in memory where the system has one; removed at exit.
class Folder {
  public:
    Folder() {
        std::error_code ec;
        const fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        path_ = base / ("variz-ini-fuzz-" + std::to_string(getpid()));
        fs::create_directories(path_);
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string File() const { return (path_ / "Variz.dat").string(); }

  private:
    fs::path path_;
};

bool IsTrail(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

// Text of code page 936 without control bytes; `forbidden` may stand only inside a double-byte
// character.
bool IsText(const std::string& s, const char* forbidden) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(c)) {
            if (i + 1 >= s.size() || !IsTrail(static_cast<unsigned char>(s[i + 1]))) return false;
            ++i;
        } else if (c < 0x20 || c >= 0x7F ||
                   std::string(forbidden).find(s[i]) != std::string::npos) {
            return false;
        }
    }
    return true;
}

bool IsName(const std::string& s, const char* forbidden) {
    return !s.empty() && s.front() != ' ' && s.back() != ' ' && IsText(s, forbidden);
}

bool IsValue(const std::string& v) {
    const bool quoted =
        v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
    return v.size() + 1 < kPlayerSettingsBuffer - 1 && !quoted &&
           (v.empty() || (v.front() != ' ' && v.back() != ' ')) && IsText(v, "");
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

using Names = std::pair<std::string, std::string>;

// The section and key of each key line, roughly as a reader would see them, and the written
// section with each key: the answers a write might disturb.
std::vector<Names> KeysOf(const std::string& content, const std::string& writtenSection) {
    constexpr std::size_t kMost = 32;
    std::vector<Names> keys;
    std::string section;
    std::size_t start = 0;
    while (start <= content.size() && keys.size() < kMost) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        const std::string line = Trim(content.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line[0] == '[') {
            section = Trim(line.substr(1, line.find(']') - 1));
        } else if (line.find('=') != std::string::npos) {
            const std::string key = Trim(line.substr(0, line.find('=')));
            keys.emplace_back(section, key);
            keys.emplace_back(writtenSection, key);
        }
    }
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Folder folder;
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string fields[3];
    std::size_t at = 0;
    for (std::string& field : fields) {
        const std::size_t nl = input.find('\n', at);
        if (nl == std::string::npos) return 0;
        field = input.substr(at, nl - at);
        at = nl + 1;
    }
    const std::string &section = fields[0], &key = fields[1], &value = fields[2];
    const std::string content = input.substr(at);

    const std::string path = folder.File();
    {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(content.data(), static_cast<std::streamsize>(content.size()));
        FUZZ_CHECK(f.flush());
    }
    IniFile ini(path, kPlayerSettingsBuffer);
    const std::string def = "<default>";
    std::vector<std::pair<Names, std::string>> answers;
    for (const Names& k : KeysOf(content, section))
        answers.emplace_back(k, ini.Read(k.first, k.second, def));
    if (!IsName(section, "]") || !IsName(key, "=") || key.front() == '[' || !IsValue(value))
        return 0;

    for (const std::string& v : {value, value + "2"}) {
        FUZZ_CHECK(ini.Write(section, key, v));
        FUZZ_CHECK(ini.Read(section, key, def) == v);
        for (const auto& [k, answer] : answers) {
            if (SameTextMbcs(k.first, section) && SameTextMbcs(k.second, key)) continue;
            FUZZ_CHECK(ini.Read(k.first, k.second, def) == answer);
        }
    }
    return 0;
}
