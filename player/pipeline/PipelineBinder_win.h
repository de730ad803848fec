#pragma once
#include <string>

#include "MainPlaces_win.h"
#include "PlayPipeline.h"

// The play pipeline on the main window: the movie control of the play area, the title and the
// play button of the play bar, and the advertising panel.
class PipelineBinder : public PlayBarView, public MovieWindow {
  public:
    explicit PipelineBinder(MainPlaces& places) : places_(places) {}

    MovieControl& Movie() { return places_.PlayArea().Control(); }

    void SetTitle(const std::string& title) override;
    void SetPlaying(bool playing) override;
    void ShowAdvert(const std::string& address) override;
    void HideAdvert() override;
    void ActivateInPlace() override;

  private:
    MainPlaces& places_;
};
