#include "Ulocatdata.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "AtomicFile.h"
#include "Mbcs.h"
#include "OsFile.h"

namespace {

constexpr char kFile[] = "web\\Local.dat";
constexpr char kDeleteAllQuestion[] = "是否删除全部历史记录?";
constexpr char kDeleteAllCaption[] = "询问?";

// A field's value from its text: empty text is no value; anything but a whole number is an
// error, as the table's own conversion raises it.
std::optional<std::int32_t> FromText(const std::string& text) {
    if (text.empty()) return std::nullopt;
    std::size_t i = 0;
    if (text[0] == '-' || text[0] == '+') ++i;
    if (i == text.size()) throw std::invalid_argument("'" + text + "' is not a valid integer");
    for (std::size_t j = i; j < text.size(); ++j)
        if (text[j] < '0' || text[j] > '9')
            throw std::invalid_argument("'" + text + "' is not a valid integer");
    errno = 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
        throw std::invalid_argument("'" + text + "' is not a valid integer");
    return static_cast<std::int32_t>(v);
}

std::string ToText(const std::optional<std::int32_t>& v) {
    return v ? std::to_string(*v) : std::string();
}

}  // namespace

bool SystemHistoryFiles::Exists(const std::string& path) {
    return osfile::FileExists(path);
}

bool SystemHistoryFiles::Read(const std::string& path, std::string& bytes) {
    return ReadWholeFile(path, bytes);
}

bool SystemHistoryFiles::WriteReplacing(const std::string& path, const std::string& bytes) {
    return WriteFileReplacing(path, bytes);
}

void SystemHistoryFiles::Delete(const std::string& path) {
    if (osfile::FileExists(path)) osfile::RemoveFile(path);
}

std::string CutToField(const std::string& text, std::size_t size) {
    if (text.size() <= size) return text;
    std::size_t end = 0;
    while (end < size) {
        const bool pair =
            IsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size();
        const std::size_t next = end + (pair ? 2 : 1);
        if (next > size) break;
        end = next;
    }
    return text.substr(0, end);
}

Tcdsdata::Tcdsdata(const std::string& programDir, const std::string& cacheDir, HistoryFiles& files,
                   HistoryHost& host)
    : fileName_(programDir + kFile), cacheDir_(cacheDir), files_(files), host_(host) {
    if (!files_.Exists(fileName_)) {
        // An empty table from the start; without its file it still works for this run.
        state_ = files_.WriteReplacing(fileName_, EncodeHistory({})) ? State::Open
                                                                     : State::OpenWithoutFile;
        return;
    }
    std::string bytes;
    if (files_.Read(fileName_, bytes) && DecodeHistory(bytes, rows_)) {
        state_ = State::Open;
        current_ = rows_.empty() ? -1 : 0;
    }
}

bool Tcdsdata::Save() {
    if (state_ != State::Open) return true;
    return files_.WriteReplacing(fileName_, EncodeHistory(rows_));
}

void Tcdsdata::SetCurrent(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size()) || row == current_) return;
    current_ = row;
    host_.RowsChanged();
}

void Tcdsdata::Next() {
    if (Open() && current_ + 1 < static_cast<int>(rows_.size())) SetCurrent(current_ + 1);
}

void Tcdsdata::Prior() {
    if (Open() && current_ > 0) SetCurrent(current_ - 1);
}

bool Tcdsdata::AddHistory(const std::string& id, const std::string& name, const std::string& types,
                          const std::string& episode) {
    if (!Open()) return false;
    try {
        HistoryRow row{FromText(id), CutToField(name, kHistoryNameSize),
                       CutToField(types, kHistoryTypesSize), FromText(episode)};
        for (const auto& r : rows_)
            if (r.FID == row.FID && r.Level == row.Level) return false;
        rows_.push_back(std::move(row));
        current_ = static_cast<int>(rows_.size()) - 1;
        host_.RowsChanged();
        return !Save();
    } catch (...) {
        return true;
    }
}

void Tcdsdata::PlayHistory() {
    try {
        if (!Open() || current_ < 0) return;
        const HistoryRow row = rows_[static_cast<std::size_t>(current_)];
        host_.SetTitle(row.Name + "[" + ToText(row.Level) + "]");
        host_.ReplayCached(ToText(row.FID), row.Level.value_or(0));
    } catch (...) {
        // A replay that fails leaves what plays.
    }
}

std::string Tcdsdata::CacheFileOf(const HistoryRow& row) const {
    return cacheDir_ + ToText(row.FID) + "-" + ToText(row.Level) + ".swf";
}

void Tcdsdata::EraseCurrent(bool withCacheFile) {
    if (current_ < 0) return;
    const auto at = rows_.begin() + current_;
    if (withCacheFile) {
        try {
            files_.Delete(CacheFileOf(*at));
        } catch (...) {
            // The row goes anyway.
        }
    }
    rows_.erase(at);
    if (current_ >= static_cast<int>(rows_.size())) current_ = static_cast<int>(rows_.size()) - 1;
}

void Tcdsdata::DelHistory() {
    if (!Open() || current_ < 0) return;
    EraseCurrent(true);
    host_.RowsChanged();
    Save();
}

void Tcdsdata::DeleteCurrentRow() {
    if (!Open() || current_ < 0) return;
    EraseCurrent(false);
    host_.RowsChanged();
    Save();
}

void Tcdsdata::DelAllHistory() {
    if (!host_.Ask(kDeleteAllQuestion, kDeleteAllCaption)) return;
    if (!Open() || rows_.empty()) return;
    current_ = 0;
    while (!rows_.empty()) EraseCurrent(true);
    host_.RowsChanged();
    Save();
}
