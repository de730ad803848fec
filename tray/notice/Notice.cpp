#include "Notice.h"

#include "TextFormat.h"

std::string NoticeAddress(const std::string& host) {
    return FormatS("http://%s/toluad/getNotice.html", host);
}

int TaskbarHeight(const std::optional<TRect>& taskbar) {
    return taskbar ? taskbar->Height() : kMissingTaskbarHeight;
}

TRect NoticePlacement(int screenWidth, int screenHeight, int taskbarHeight) {
    constexpr int kWidth = 290, kHeight = 180;
    const int left = screenWidth - 300;
    const int top = screenHeight - taskbarHeight - 190;
    return {left, top, left + kWidth, top + kHeight};
}

std::optional<std::u16string> AppLinkOf(const std::u16string& address) {
    static const char16_t scheme[] = u"app:";
    constexpr std::size_t kLength = 4;
    if (address.size() < kLength) return std::nullopt;
    for (std::size_t i = 0; i < kLength; ++i) {
        char16_t c = address[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != scheme[i]) return std::nullopt;
    }
    return address.substr(kLength);
}
