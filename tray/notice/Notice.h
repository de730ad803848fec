#pragma once
#include <optional>
#include <string>

#include "Geometry.h"

// The notice popup: its page, where it shows, how long, and the page's "app:" links.

std::string NoticeAddress(const std::string& host);

// The popup's own timer, and how long it shows and slides.
constexpr unsigned kNoticeHideTimer = 4;
constexpr unsigned kNoticeShowTime = 15000;
constexpr unsigned kNoticeSlideTime = 1000;

// The height assumed when there is no taskbar window.
constexpr int kMissingTaskbarHeight = 20;

// The taskbar's height: that of its window rectangle whatever edge it is docked at.
int TaskbarHeight(const std::optional<TRect>& taskbar);

// The popup's place on a screen of that size: 290 x 180 pixels, 10 pixels from the right edge
// and 10 above a taskbar of that height at the bottom.
TRect NoticePlacement(int screenWidth, int screenHeight, int taskbarHeight);

// What follows "app:" (in any case) at the start of an address; nothing for any other address.
std::optional<std::u16string> AppLinkOf(const std::u16string& address);
