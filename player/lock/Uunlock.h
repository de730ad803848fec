#pragma once
#include <string>

#include "DIvezoZaz.h"

// The password check of the unlock dialog. `entry` is what the parent typed, bytes of the ANSI
// code page; `sysPass` is the stored digest. True when the entry's MD5, written in lowercase
// hexadecimal, equals the stored text exactly; an empty entry also passes an empty store.
bool CheckPass(const std::string& entry, const std::string& sysPass);

// How a modal window ended.
enum class ModalResult { None = 0, OK = 1, Cancel = 2 };

// What the unlock dialog's logic needs of its window.
class UnlockForm {
  public:
    virtual ~UnlockForm() = default;
    // The password entry, in the ANSI code page.
    virtual std::string EntryText() const = 0;
    virtual void ClearEntry() = 0;
    // Ends the modal showing with this result.
    virtual void EndModal(ModalResult result) = 0;
};

// What the unlock dialog does: cancel ends it, confirm ends it only with the right password, and
// the entry is emptied whenever it ends. A wrong password shows nothing: the dialog stays.
class UnlockDialogLogic {
  public:
    UnlockDialogLogic(UnlockForm& form, const PlayerState& state) : form_(form), state_(state) {}

    void ImgButton1Click() { Close(ModalResult::Cancel); }  // cancel
    void ImgButton2Click();                                 // confirm
    // The window's own close request (WM_CLOSE) counts as cancel.
    void FormCloseRequest() { Close(ModalResult::Cancel); }

  private:
    void Close(ModalResult result);

    UnlockForm& form_;
    const PlayerState& state_;
};
