#include "PlayList.h"

std::vector<std::string> SplitPlayList(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0, i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string EpisodeFileName(const std::string& cacheDir, const std::string& seriesId,
                            std::int32_t n) {
    if (n == 0) return cacheDir + seriesId + ".swf";
    return cacheDir + seriesId + "-" + std::to_string(n) + ".swf";
}
