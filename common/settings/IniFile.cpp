#include "IniFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "Mbcs.h"

namespace {

struct Line {
    std::string text;  // without its line break
    bool broken;       // was followed by a line break
};

std::vector<Line> SplitLines(const std::string& data) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < data.size()) {
        auto nl = data.find('\n', start);
        if (nl == std::string::npos) {
            lines.push_back({data.substr(start), false});
            break;
        }
        auto end = nl;
        if (end > start && data[end - 1] == '\r') --end;
        lines.push_back({data.substr(start, end - start), true});
        start = nl + 1;
    }
    return lines;
}

std::string Trim(const std::string& s) {
    const char* ws = " \t\r";
    const auto b = s.find_first_not_of(ws);
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

// The second byte of a double-byte character may be ']' and closes nothing.
std::size_t ClosingBracket(const std::string& t) {
    for (std::size_t i = 1; i < t.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size()) {
            ++i;
        } else if (t[i] == ']') {
            return i;
        }
    }
    return std::string::npos;
}

bool SectionName(const std::string& line, std::string* name) {
    const auto t = Trim(line);
    if (t.empty() || t[0] != '[') return false;
    const auto close = ClosingBracket(t);
    *name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

bool KeyValue(const std::string& line, std::string* key, std::string* value) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) return false;
    *key = Trim(line.substr(0, eq));
    *value = Trim(line.substr(eq + 1));
    return true;
}

// A value in matching quotes reaches the caller without them.
std::string Unquote(const std::string& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

std::string CutToBuffer(std::string v, std::size_t bufferSize) {
    const std::size_t room = bufferSize == 0 ? 0 : bufferSize - 1;
    if (v.size() > room) v.resize(room);
    return v;
}

bool Load(const std::string& path, std::string* data) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    data->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

std::string IniFile::Read(const std::string& section, const std::string& key,
                          const std::string& def) const {
    std::string data;
    if (Load(path_, &data)) {
        bool inSection = false;
        for (const auto& line : SplitLines(data)) {
            std::string name, value;
            if (SectionName(line.text, &name)) {
                if (inSection) break;  // the first section of that name answers
                inSection = SameTextMbcs(name, section);
            } else if (inSection && KeyValue(line.text, &name, &value) && SameTextMbcs(name, key)) {
                return CutToBuffer(Unquote(value), size_);
            }
        }
    }
    return CutToBuffer(Trim(def), size_);
}

bool IniFile::Write(const std::string& section, const std::string& key, const std::string& value) {
    std::string data;
    Load(path_, &data);  // a missing file is created
    auto lines = SplitLines(data);
    const Line entry{key + "=" + value, true};

    bool inSection = false, found = false, replaced = false;
    std::size_t insertAt = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name, v;
        if (SectionName(lines[i].text, &name)) {
            if (inSection) break;
            inSection = found = SameTextMbcs(name, section);
            if (found) insertAt = i + 1;
        } else if (inSection) {
            if (KeyValue(lines[i].text, &name, &v) && SameTextMbcs(name, key)) {
                lines[i].text = entry.text;
                replaced = true;
                break;
            }
            if (!Trim(lines[i].text).empty()) insertAt = i + 1;
        }
    }
    if (!replaced) {
        if (!found) {
            if (!lines.empty()) lines.back().broken = true;
            lines.push_back({"[" + section + "]", true});
            lines.push_back(entry);
        } else {
            if (insertAt > 0) lines[insertAt - 1].broken = true;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
        }
    }

    std::string out;
    for (const auto& line : lines) out += line.text + (line.broken ? "\r\n" : "");

    // Written beside the file and moved over it, so a failed write loses nothing.
    const std::string temp = path_ + ".tmp";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        if (!f) return false;
        f.write(out.data(), static_cast<std::streamsize>(out.size()));
        if (!f.flush()) {
            f.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path_, ec);
    if (ec) std::remove(temp.c_str());
    return !ec;
}
