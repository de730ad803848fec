#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "Control_win.h"
#include "DIvezoZaz.h"
#include "Edit_win.h"
#include "ImgButton_win.h"
#include "LockMode.h"
#include "Uunlock.h"

// The unlock dialog: a borderless rounded window with the password entry, cancel and confirm.
// Made once at the program's start, hidden, and kept until the end.
class TFrm_unlock : public TWinControl, public UnlockDialog, private UnlockForm {
  public:
    // `owner` is the main window; the password is checked against `state`'s SysPass. Throws
    // std::runtime_error when the window cannot be made.
    TFrm_unlock(HWND owner, const PlayerState& state);
    ~TFrm_unlock() override;

    // Shows the dialog centred on its owner, which it disables meanwhile, until the parent
    // cancels or types the right password. A close of the owner (or the end of the program)
    // ends it with Cancel first and then takes place.
    ModalResult ShowModal() override;
    bool Showing() const { return showing_; }
    // The password entry's window.
    HWND EntryWindow() const { return Edt_pass->Handle(); }

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    // UnlockForm
    std::string EntryText() const override;
    void ClearEntry() override;
    void EndModal(ModalResult result) override;

    void CentreOnOwner();

    HWND owner_;
    UnlockDialogLogic logic_;
    bool showing_ = false;
    ModalResult modalResult_ = ModalResult::None;
    std::unique_ptr<Tzamimage> Image1;
    std::unique_ptr<TEdit> Edt_pass;
    std::unique_ptr<TImgButton> ImgButton1;  // cancel
    std::unique_ptr<TImgButton> ImgButton2;  // confirm
};
