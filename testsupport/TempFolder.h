#pragma once
// A fresh folder for one test, removed with everything in it at the end.
#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

class TempFolder {
  public:
    TempFolder() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("variz-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // A name inside the folder, in the system's form.
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // The names directly in the folder, or in `inside` of it, files and folders, sorted.
    std::vector<std::string> Names(const std::filesystem::path& inside = {}) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_ / inside))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::filesystem::path path_;
};
