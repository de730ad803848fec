#pragma once
#include "SettingsFile.h"

// Portable private-profile file for systems without the platform's INI functions.
class IniFile : public SettingsFile {
  public:
    IniFile(std::string path, std::size_t bufferSize) : path_(std::move(path)), size_(bufferSize) {}
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& def) const override;
    bool Write(const std::string& section, const std::string& key,
               const std::string& value) override;
    const std::string& Path() const override { return path_; }

  private:
    std::string path_;
    std::size_t size_;
};
