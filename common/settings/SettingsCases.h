#pragma once
// One table of settings-file cases, run against every implementation of SettingsFile.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SettingsFile.h"

struct SettingsStep {
    enum Kind { Write, Read } kind;
    std::string section, key, value;  // Read: value is the default
    std::string expect;               // Read: the answer
};

struct SettingsCase {
    const char* name;
    bool fileExists;
    std::string content;  // initial bytes of the file when it exists
    std::size_t buffer;
    std::vector<SettingsStep> steps;
};

inline std::vector<SettingsCase> SettingsCaseTable() {
    using S = SettingsStep;
    const std::string longValue(3000, 'x');
    const std::string gbkName = "\xB6\xF9\xCD\xAF";  // a name in code page 936
    // Code page 936 characters whose second byte is ']'.
    const std::string bracketA = "\xB0\x5D", bracketB = std::string("a") + "\x81\x5D";
    return {
        {"missing file gives the default",
         false,
         "",
         kPlayerSettingsBuffer,
         {{S::Read, "system", "syspass", "", ""}, {S::Read, "update", "down", "0", "0"}}},
        {"missing section and key give the default",
         true,
         "[update]\r\nchildver=1.0\r\n",
         kPlayerSettingsBuffer,
         {{S::Read, "system", "syspass", "", ""},
          {S::Read, "update", "down", "0", "0"},
          {S::Read, "update", "childver", "", "1.0"}}},
        {"names match without regard to case",
         true,
         "[System]\r\nSysPass=abc\r\n",
         kPlayerSettingsBuffer,
         {{S::Read, "system", "syspass", "", "abc"}, {S::Read, "SYSTEM", "SYSPASS", "", "abc"}}},
        {"spaces around name and value are dropped",
         true,
         "[system]\r\n  logoswf =  v2 \r\n",
         kPlayerSettingsBuffer,
         {{S::Read, "system", "logoswf", "", "v2"}}},
        {"quotes around a value are dropped",
         true,
         "[system]\r\nsyspass=\"abc\"\r\n",
         kPlayerSettingsBuffer,
         {{S::Read, "system", "syspass", "", "abc"}}},
        {"a key of another section does not answer",
         true,
         "[update]\r\nsyspass=wrong\r\n[system]\r\nlogoswf=1\r\n",
         kPlayerSettingsBuffer,
         {{S::Read, "system", "syspass", "", ""}}},
        {"the player gets 2047 bytes of a longer value",
         true,
         "[system]\r\nsyspass=" + longValue + "\r\n",
         kPlayerSettingsBuffer,
         {{S::Read, "system", "syspass", "", std::string(2047, 'x')}}},
        {"the tray gets 19 bytes",
         true,
         "[update]\r\nchildver=0123456789abcdefghijkl\r\n",
         kTraySettingsBuffer,
         {{S::Read, "update", "childver", "", "0123456789abcdefghi"}}},
        {"a write creates file, section and key",
         false,
         "",
         kPlayerSettingsBuffer,
         {{S::Write, "system", "syspass", "d41d8cd98f00b204e9800998ecf8427e", ""},
          {S::Read, "system", "syspass", "", "d41d8cd98f00b204e9800998ecf8427e"}}},
        {"a write replaces a value and keeps the rest",
         true,
         "[system]\r\nsyspass=old\r\nlogoswf=7\r\n[update]\r\ndown=1\r\nchildver=2.5\r\n",
         kPlayerSettingsBuffer,
         {{S::Write, "SYSTEM", "SysPass", "new", ""},
          {S::Read, "system", "syspass", "", "new"},
          {S::Read, "system", "logoswf", "", "7"},
          {S::Read, "update", "down", "0", "1"},
          {S::Read, "update", "childver", "", "2.5"}}},
        {"a write adds a key to an existing section",
         true,
         "[update]\r\nchildver=2.5\r\n\r\n[system]\r\nlogoswf=7\r\n",
         kPlayerSettingsBuffer,
         {{S::Write, "update", "down", "1", ""},
          {S::Read, "update", "down", "0", "1"},
          {S::Read, "update", "childver", "", "2.5"},
          {S::Read, "system", "logoswf", "", "7"}}},
        {"a write adds a section to a file without a final line break",
         true,
         "[update]\r\ndown=0",
         kPlayerSettingsBuffer,
         {{S::Write, "system", "logoswf", "tag", ""},
          {S::Read, "system", "logoswf", "", "tag"},
          {S::Read, "update", "down", "", "0"}}},
        {"double-byte values pass as bytes",
         false,
         "",
         kPlayerSettingsBuffer,
         {{S::Write, "system", "logoswf", gbkName, ""},
          {S::Read, "system", "logoswf", "", gbkName}}},
        {"a double-byte character ending in ']' stays whole in a section name",
         true,
         "[" + bracketA + "]\r\nk=1\r\n[" + bracketB + "]\r\nk=2\r\n",
         kPlayerSettingsBuffer,
         {{S::Read, bracketA, "k", "", "1"},
          {S::Read, bracketB, "k", "", "2"},
          {S::Write, bracketA, "k", "3", ""},
          {S::Write, "b" + bracketA, "k", "4", ""},
          {S::Read, bracketA, "k", "", "3"},
          {S::Read, "b" + bracketA, "k", "", "4"},
          {S::Read, bracketB, "k", "", "2"}}},
        {"an empty value is a value, not a missing key",
         true,
         "[update]\r\ndown=\r\n",
         kPlayerSettingsBuffer,
         {{S::Read, "update", "down", "0", ""}}},
    };
}

// Runs one case against a settings file made by `make` on a fresh path; answers the reads.
inline std::vector<std::string> RunSettingsCase(
    const SettingsCase& c, const std::string& path,
    const std::function<std::unique_ptr<SettingsFile>(const std::string&, std::size_t)>& make,
    const std::function<void(const std::string&, const std::string&)>& writeFile) {
    if (c.fileExists) writeFile(path, c.content);
    auto file = make(path, c.buffer);
    std::vector<std::string> answers;
    for (const auto& step : c.steps) {
        if (step.kind == SettingsStep::Write) {
            answers.push_back(file->Write(step.section, step.key, step.value) ? "written"
                                                                              : "refused");
        } else {
            answers.push_back(file->Read(step.section, step.key, step.value));
        }
    }
    return answers;
}

inline std::vector<std::string> ExpectedAnswers(const SettingsCase& c) {
    std::vector<std::string> answers;
    for (const auto& step : c.steps)
        answers.push_back(step.kind == SettingsStep::Write ? "written" : step.expect);
    return answers;
}
