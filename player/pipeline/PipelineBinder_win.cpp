#include "PipelineBinder_win.h"

#include "TextConv_win.h"

void PipelineBinder::SetTitle(const std::string& title) {
    places_.Title().SetCaption(AnsiToWide(title));
}

void PipelineBinder::SetPlaying(bool playing) {
    places_.Button(ButtonId::ImgButton13).SetDown(playing);
}

void PipelineBinder::ShowAdvert(const std::string& address) {
    places_.AdvertPanel().SetVisible(true);
    places_.AdvertBrowser().Navigate(AnsiToWide(address));
}

void PipelineBinder::HideAdvert() {
    places_.AdvertPanel().SetVisible(false);
}

void PipelineBinder::ActivateInPlace() {
    places_.PlayArea().ActivateInPlace();
}
