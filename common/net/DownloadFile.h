#pragma once
// A download never shows at its destination until it is complete: it goes into a file of its own
// beside the destination, named after a pattern of ours, and replaces the destination only once
// the platform reports success.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "CallWithLimit.h"
#include "DownloadPorts.h"

namespace net {

// What follows the destination's name in a partial file's name: the marker, 16 lowercase hex
// digits, the suffix. "12-1.swf" is written as "12-1.swf.~variz-0123456789abcdef.part".
constexpr const char* kPartialMarker = ".~variz-";
constexpr const char* kPartialSuffix = ".part";

// A fresh name for the partial file of `destination`, in its folder. The digits are random, so
// names of other runs and processes, and leftovers of a killed one, are never reused.
std::string TemporaryNameBeside(const std::string& destination);

// True when the path's file name ends in the partial files' pattern.
bool IsDownloadLeftover(const std::string& path);

// Removes the partial files that a killed process left in `folder` and nothing else. Call it
// before this process starts a download there: a download in progress looks the same.
void RemoveDownloadLeftovers(DownloadFiles& files, const std::string& folder);

// An answer without a body: nothing these programs fetch is ever an empty file, and one kept at
// the destination would stand for the content from then on (a logo that never shows, an episode
// never fetched again).
constexpr std::int32_t kResultEmpty = static_cast<std::int32_t>(0x80070026u);  // ERROR_HANDLE_EOF

// Runs `fetch` into a partial file beside `destination`, then moves that over the destination.
// When either fails, or the fetch left an empty file, the partial file is removed and the
// destination stays as it was. The result is that of the fetch (kResultEmpty for an empty file),
// or of the move.
std::int32_t DownloadReplacing(
    DownloadFiles& files, const std::string& destination,
    const std::function<std::int32_t(const std::string& partial)>& fetch);

// One download of `address` into `fileName`, without progress; the platform may answer from its
// cache. True when the file now holds the address's content. An empty address or file name fails
// without a request.
bool DownloadToFile(UrlDownload& download, DownloadFiles& files, const std::string& address,
                    const std::string& fileName);

// DownloadToFile on a thread of its own, waited for through `wait` at most `limit`; true only for
// a download that ended in time with the file in place. One given up is dropped when it ends
// later, unless it was already putting its file in place.
bool DownloadToFileWithLimit(std::shared_ptr<UrlDownload> download,
                             std::shared_ptr<DownloadFiles> files, const std::string& address,
                             const std::string& fileName, std::shared_ptr<JobWait> wait,
                             std::chrono::milliseconds limit);

}  // namespace net
