#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The lines of a series' play list: a line ends at a carriage return, a line feed or both in
// that order; a last line without a line break counts, an empty text has no lines, an empty line
// between others is an entry of its own, and nothing is trimmed.
std::vector<std::string> SplitPlayList(const std::string& text);

// The cache file of episode n of a series: CacheDir, the id, "-", n and ".swf"; for n = 0 the id
// alone and ".swf".
std::string EpisodeFileName(const std::string& cacheDir, const std::string& seriesId,
                            std::int32_t n);
