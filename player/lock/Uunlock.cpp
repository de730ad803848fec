#include "Uunlock.h"

#include "Md5.h"

bool CheckPass(const std::string& entry, const std::string& sysPass) {
    if (sysPass.empty() && entry.empty()) return true;
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const auto byte : Md5(entry)) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    // The stored digest is lowercase; one in capitals never matches.
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text == sysPass;
}

void UnlockDialogLogic::ImgButton2Click() {
    if (CheckPass(form_.EntryText(), state_.SysPass)) Close(ModalResult::OK);
}

void UnlockDialogLogic::Close(ModalResult result) {
    form_.ClearEntry();
    form_.EndModal(result);
}
