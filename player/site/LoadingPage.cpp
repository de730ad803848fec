#include "LoadingPage.h"

#include "Mbcs.h"

namespace {

// "海量学习资料马上呈现 " in code page 936, whatever code page this file is compiled in.
constexpr const char kLoadingText[] =
    "\xBA\xA3\xC1\xBF\xD1\xA7\xCF\xB0\xD7\xCA\xC1\xCF\xC2\xED\xC9\xCF\xB3\xCA\xCF\xD6 ";

bool IsTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

bool NeedsEscape(unsigned char c) {
    return c == '"' || c == '\\' || c == '<' || c == '>' || c < 0x20 || c == 0x7F;
}

}  // namespace

std::string EscapeLoadingTarget(const std::string& target) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(target.size());
    for (std::size_t i = 0; i < target.size(); ++i) {
        const auto c = static_cast<unsigned char>(target[i]);
        if (IsLeadByte(c) && i + 1 < target.size() &&
            IsTrailByte(static_cast<unsigned char>(target[i + 1]))) {
            out += target[i];
            out += target[++i];
        } else if (NeedsEscape(c)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += target[i];
        }
    }
    return out;
}

std::string BuildLoadingPage(const std::string& programDir, const std::string& target) {
    std::string page;
    page += "<body bgcolor=#202F42 align=center><br>";
    page += "<img width=119 height=12 id=\"_x0000_i1026\" src=\"";
    page += programDir;
    page += "web\\load.gif\" />";
    page += "<span style='font-size:9.0pt;color:#7BD1FF'>";
    page += kLoadingText;
    page += "</span></p>";
    page += "<script language=\"JavaScript\"  type=\"text/javascript\">";
    page += "function gotobox(){window.location.href =\"";
    page += EscapeLoadingTarget(target);
    page += "\"}";
    page += "setTimeout(function() {\tgotobox();}, 1000)";
    page += "</script>";
    return page;
}
