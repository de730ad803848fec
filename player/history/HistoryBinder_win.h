#pragma once
#include <memory>
#include <string>

#include "DIvezoZaz.h"
#include "Handles_win.h"
#include "MainPlaces_win.h"
#include "PlayPipeline.h"
#include "Uimgdbgrid_win.h"
#include "Ulocatdata.h"

// The play history on the main window: the store with its file, the grid `imgDBGrid1` in the
// side panel's history place with its pop-up menu, and the replays through the play pipeline.
class HistoryBinder : public HistoryHost {
  public:
    HistoryBinder(MainPlaces& places, const PlayerState& state, PlayPipeline& pipeline);
    ~HistoryBinder() override;
    HistoryBinder(const HistoryBinder&) = delete;
    HistoryBinder& operator=(const HistoryBinder&) = delete;

    Tcdsdata& Store() { return *store_; }
    TimgDBGrid& Grid() { return *imgDBGrid1; }

    // HistoryHost
    bool Ask(const std::string& text, const std::string& caption) override;
    void SetTitle(const std::string& title) override;
    bool ReplayCached(const std::string& id, std::int32_t episode) override;
    void RowsChanged() override;

    // The pop-up menu's items.
    static constexpr UINT kDelete = 1;
    static constexpr UINT kDeleteAll = 2;

  private:
    MainPlaces& places_;
    PlayPipeline& pipeline_;
    SystemHistoryFiles files_;
    UniqueMenu PopupMenu1;
    std::unique_ptr<TimgDBGrid> imgDBGrid1;
    std::unique_ptr<Tcdsdata> store_;
};
