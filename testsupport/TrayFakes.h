#pragma once
// Fakes of the tray's ports for the native tests. They write what they are asked into one journal,
// so that a test sees everything that happened, in order.
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "IniFile.h"
#include "TrayPorts.h"
#include "VersionText.h"

namespace trayfakes {

class Journal {
  public:
    void Add(const std::string& line) {
        std::lock_guard<std::mutex> lock(m_);
        lines_.push_back(line);
    }
    std::vector<std::string> Lines() const {
        std::lock_guard<std::mutex> lock(m_);
        return lines_;
    }
    // The lines so far, and a fresh start.
    std::vector<std::string> Take() {
        std::lock_guard<std::mutex> lock(m_);
        auto lines = std::move(lines_);
        lines_.clear();
        return lines;
    }

  private:
    mutable std::mutex m_;
    std::vector<std::string> lines_;
};

class FakeTimers : public TrayTimers {
  public:
    explicit FakeTimers(Journal& j) : j_(j) {}
    void SetTimer(unsigned id, unsigned ms) override {
        j_.Add("set timer " + std::to_string(id) + " " + std::to_string(ms));
    }
    void KillTimer(unsigned id) override { j_.Add("kill timer " + std::to_string(id)); }

  private:
    Journal& j_;
};

// Answers each question with the next scripted answer; OK once the script is used up.
class FakeMessages : public TrayMessages {
  public:
    explicit FakeMessages(Journal& j) : j_(j) {}
    void Inform(const std::string& text) override { j_.Add("inform " + text); }
    bool Confirm(const std::string& text) override {
        j_.Add("confirm " + text);
        if (answers.empty()) return true;
        const bool ok = answers.front();
        answers.pop_front();
        return ok;
    }
    std::deque<bool> answers;

  private:
    Journal& j_;
};

class FakePrograms : public TrayPrograms {
  public:
    explicit FakePrograms(Journal& j) : j_(j) {}
    void StartProgram(const std::string& path) override { j_.Add("start " + path); }
    void OpenAddress(const std::string& address) override { j_.Add("open " + address); }

  private:
    Journal& j_;
};

class FakeEnding : public TrayEnding {
  public:
    explicit FakeEnding(Journal& j) : j_(j) {}
    void EndTray() override { j_.Add("end"); }

  private:
    Journal& j_;
};

// Answers every request with `answer`.
class FakeVersionSource : public VersionSource {
  public:
    explicit FakeVersionSource(Journal& j) : j_(j) {}
    std::string FetchVersionText(const std::string& address) override {
        j_.Add("version request " + address);
        return answer;
    }
    std::string answer;

  private:
    Journal& j_;
};

// The tray's settings file in the portable INI form, its writes journaled.
class JournaledSettings : public SettingsFile {
  public:
    JournaledSettings(const std::string& path, Journal& j)
        : file_(path, kTraySettingsBuffer), j_(j) {}
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& def) const override {
        return file_.Read(section, key, def);
    }
    bool Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        j_.Add("write " + section + " " + key + "=" + value);
        return file_.Write(section, key, value);
    }
    const std::string& Path() const override { return file_.Path(); }

  private:
    IniFile file_;
    Journal& j_;
};

}  // namespace trayfakes
