#include "MoviePlay_win.h"

#include "DIvezoZaz.h"

void TMoviePlay::StopPlay() {
    if (clearTitle_) clearTitle_();
    if (AdvertisingEnabled && showStopAdvert_) showStopAdvert_();
    MovieControl& control = movie_.Control();
    control.Stop();
    control.LoadMovie(0, u"");
    control.LoadMovie(0, u"http://");
    ShowLogoMovie();
}

void TMoviePlay::ShowLogoMovie() {
    movie_.Control().SetProperty(FlashDispId::ScaleMode, std::int32_t{0});
    movie_.LoadMovieFile(Player().LogoMoviePath);
}
