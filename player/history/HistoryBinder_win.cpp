#include "HistoryBinder_win.h"

#include "TextConv_win.h"

HistoryBinder::HistoryBinder(MainPlaces& places, const PlayerState& state, PlayPipeline& pipeline)
    : places_(places), pipeline_(pipeline), PopupMenu1(CreatePopupMenu()) {
    if (PopupMenu1) {
        AppendMenuW(static_cast<HMENU>(PopupMenu1.get()), MF_STRING, kDelete, L"删除");
        AppendMenuW(static_cast<HMENU>(PopupMenu1.get()), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(static_cast<HMENU>(PopupMenu1.get()), MF_STRING, kDeleteAll, L"全部删除");
    }
    imgDBGrid1 = std::make_unique<TimgDBGrid>(&places_.HistoryPanel());
    imgDBGrid1->SetAlign(TAlign::Client);
    imgDBGrid1->PopupMenu = static_cast<HMENU>(PopupMenu1.get());
    store_ = std::make_unique<Tcdsdata>(state.ProgramDir, state.CacheDir, files_, *this);
    imgDBGrid1->SetStore(store_.get());
    imgDBGrid1->OnCellClick = [this] { store_->PlayHistory(); };
    imgDBGrid1->OnPopupCommand = [this](UINT id) {
        if (id == kDelete) store_->DelHistory();
        if (id == kDeleteAll) store_->DelAllHistory();
    };
}

HistoryBinder::~HistoryBinder() {
    imgDBGrid1->SetStore(nullptr);
}

bool HistoryBinder::Ask(const std::string& text, const std::string& caption) {
    return MessageBoxW(places_.Window(), Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(),
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void HistoryBinder::SetTitle(const std::string& title) {
    pipeline_.SetTitle(title);
}

bool HistoryBinder::ReplayCached(const std::string& id, std::int32_t episode) {
    return pipeline_.ReplayCached(id, episode);
}

void HistoryBinder::RowsChanged() {
    if (imgDBGrid1) imgDBGrid1->Refresh();
}
