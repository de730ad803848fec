#include "PageOrigin.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

}  // namespace

bool PageMayUseBridge(const std::string& location, const std::string& host) {
    if (location == "about:blank") return true;
    constexpr char kScheme[] = "http://";
    const std::string lower = Lower(location);
    if (lower.compare(0, sizeof kScheme - 1, kScheme) != 0) return false;
    const std::size_t start = sizeof kScheme - 1;
    const std::size_t end = lower.find_first_of("/?#\\", start);
    const std::string authority =
        lower.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::string wanted = Lower(host);
    // The default port may be written out.
    return authority == wanted ||
           (wanted.find(':') == std::string::npos && authority == wanted + ":80");
}
