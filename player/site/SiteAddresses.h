#pragma once

// Address templates of the content site; %s is the content server host.
namespace SiteAddress {
constexpr const char* StartPage = "http://%s/a/zodivodedozi/";
constexpr const char* MemberPage = "http://%s/member/index1.php";
constexpr const char* Forum = "http://%s/bbs/forum.php";
constexpr const char* Space = "http://%s/bbs/home.php?mod=spacecp";
constexpr const char* Diary = "http://%s/bbs/home.php?mod=space&do=blog";
constexpr const char* Album = "http://%s/bbs/home.php?mod=space&do=album";
constexpr const char* Search = "http://%s/plus/search_v.php?channeltype=7&q=";
// The play list of a series: the host, then the series id.
constexpr const char* PlayList = "http://%s/plus/play.php?aid=%s";
// The logo movie of a number; the player uses number 1.
constexpr const char* LogoMovie = "http://%s/images/logo%d.swf";
// Advertising pages when an episode starts, on pause and on stop.
constexpr const char* PlayAdvert = "http://%s/toluad/getplayaad.html";
constexpr const char* PauseAdvert = "http://%s/toluad/getpause.html";
constexpr const char* StopAdvert = "http://%s/toluad/getstop.html";
}  // namespace SiteAddress
