#pragma once
#include <cstddef>
#include <string>

// Key-by-key access to an INI file with the private-profile rules: a missing file, section or key
// gives the default; a write creates what is missing and changes nothing else; names match without
// regard to case; a value reaches the caller cut to its buffer (buffer size minus one byte).
class SettingsFile {
  public:
    virtual ~SettingsFile() = default;
    virtual std::string Read(const std::string& section, const std::string& key,
                             const std::string& def) const = 0;
    // False when the file could not be written.
    virtual bool Write(const std::string& section, const std::string& key,
                       const std::string& value) = 0;
    virtual const std::string& Path() const = 0;
};

// Read buffers of the two programs.
constexpr std::size_t kPlayerSettingsBuffer = 2048;
constexpr std::size_t kTraySettingsBuffer = 20;
