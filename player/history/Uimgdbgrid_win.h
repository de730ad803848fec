#pragma once
#include <windows.h>

#include <functional>

#include "Control_win.h"
#include "Handles_win.h"
#include "Ulocatdata.h"

// The history grid (`TimgDBGrid`): the store's rows in a list view of two columns, the name and
// the episode number, without a title row, with row lines and whole-row selection; the store's
// current row is the grid's selected one. Optionally a picture shows through the grid's pure
// white pixels. The wheel moves the current row one row per message; Ctrl+Delete deletes the
// current row after a question.
class TimgDBGrid : public TWinControl {
  public:
    explicit TimgDBGrid(TWinControl* parent);
    ~TimgDBGrid() override;

    // The rows shown; null shows none. Refresh when the store's rows or current row changed.
    void SetStore(Tcdsdata* store);
    void Refresh();

    const TPicture& BackgroundPicture() const { return picture_; }
    void SetBackgroundPicture(TPicture picture);
    bool UseBackgroundPicture() const { return usePicture_; }
    void SetUseBackgroundPicture(bool use);
    // Whether the last paint kept a snapshot of the grid for the picture.
    bool HasSnapshot() const { return static_cast<bool>(snapshot_); }

    // A click on a row, after it became current.
    std::function<void()> OnCellClick;
    // The pop-up menu shown on a right click (not owned), and the item chosen from it.
    HMENU PopupMenu = nullptr;
    std::function<void(UINT id)> OnPopupCommand;

    LRESULT NotifyMessage(const NMHDR& header, bool& handled) override;

  private:
    static LRESULT CALLBACK GridProc(HWND window, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT HandleGridMessage(UINT msg, WPARAM wp, LPARAM lp);
    void PaintPicture();
    void ShowPopupMenu(LPARAM at);

    Tcdsdata* store_ = nullptr;
    TPicture picture_;
    bool usePicture_ = false;
    UniqueGdi snapshot_;
    SIZE snapshotSize_{};
    UniqueGdi font_;
    std::wstring text_;  // the text handed out for the last cell asked
};
