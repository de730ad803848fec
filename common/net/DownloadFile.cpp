#include "DownloadFile.h"

#include "OsFile.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <random>

namespace net {

namespace {

constexpr std::size_t kDigits = 16;

std::uint64_t NextUniqueNumber() {
    static std::mutex mutex;
    static std::mt19937_64 engine = [] {
        // The clock keeps runs apart should the system's random source be missing.
        const auto now =
            static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
        std::seed_seq::result_type entropy[4] = {};
        try {
            std::random_device device;
            for (auto& e : entropy) e = device();
        } catch (...) {
        }
        std::seed_seq seed{entropy[0],
                           entropy[1],
                           entropy[2],
                           entropy[3],
                           static_cast<std::seed_seq::result_type>(now),
                           static_cast<std::seed_seq::result_type>(now >> 32)};
        return std::mt19937_64(seed);
    }();
    std::lock_guard<std::mutex> lock(mutex);
    return engine();
}

bool IsLowerHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool HasContent(const std::string& path) {
    const osfile::File file(osfile::Open(path, osfile::kOpenRead));
    char first = 0;
    return file && osfile::Read(file.get(), &first, 1) == 1;
}

}  // namespace

std::string TemporaryNameBeside(const std::string& destination) {
    static const char hex[] = "0123456789abcdef";
    std::string digits(kDigits, '0');
    auto number = NextUniqueNumber();
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, number >>= 4) *it = hex[number & 15];
    return destination + kPartialMarker + digits + kPartialSuffix;
}

bool IsDownloadLeftover(const std::string& path) {
    // Matched from the end: the pattern is plain ASCII behind a '.', which is never the second
    // byte of a double-byte character, so the bytes before it do not matter.
    const std::size_t marker = std::strlen(kPartialMarker), suffix = std::strlen(kPartialSuffix);
    const std::size_t tail = marker + kDigits + suffix;
    if (path.size() < tail) return false;
    const std::size_t at = path.size() - tail;
    if (path.compare(at, marker, kPartialMarker) != 0) return false;
    for (std::size_t i = at + marker; i < at + marker + kDigits; ++i)
        if (!IsLowerHex(path[i])) return false;
    return path.compare(path.size() - suffix, suffix, kPartialSuffix) == 0;
}

void RemoveDownloadLeftovers(DownloadFiles& files, const std::string& folder) {
    for (const auto& path : files.ListFiles(folder))
        if (IsDownloadLeftover(path)) files.Remove(path);
}

std::int32_t DownloadReplacing(
    DownloadFiles& files, const std::string& destination,
    const std::function<std::int32_t(const std::string& partial)>& fetch) {
    const auto partial = TemporaryNameBeside(destination);
    auto result = fetch(partial);
    if (result == kResultOk && !HasContent(partial)) result = kResultEmpty;
    if (result == kResultOk) result = files.Replace(partial, destination);
    // Also after a failed fetch: the platform may have written part of the file.
    if (result != kResultOk) files.Remove(partial);
    return result;
}

bool DownloadToFile(UrlDownload& download, DownloadFiles& files, const std::string& address,
                    const std::string& fileName) {
    if (address.empty() || fileName.empty()) return false;
    return DownloadReplacing(files, fileName, [&](const std::string& partial) {
               return download.Download(address, partial);
           }) == kResultOk;
}

bool DownloadToFileWithLimit(std::shared_ptr<UrlDownload> download,
                             std::shared_ptr<DownloadFiles> files, const std::string& address,
                             const std::string& fileName, std::shared_ptr<JobWait> wait,
                             std::chrono::milliseconds limit) {
    if (address.empty() || fileName.empty()) return false;
    auto abandoned = std::make_shared<std::atomic<bool>>(false);
    auto done = std::make_shared<std::atomic<bool>>(false);
    const bool ended = CallWithLimit(
        [download, files, address, fileName, abandoned, done] {
            // Looked at once the bytes are in: a download nobody waits for replaces nothing.
            *done = DownloadReplacing(*files, fileName, [&](const std::string& partial) {
                        const auto result = download->Download(address, partial);
                        return *abandoned ? kResultAbort : result;
                    }) == kResultOk;
        },
        std::move(wait), limit);
    if (!ended) *abandoned = true;
    return ended && *done;
}

}  // namespace net
