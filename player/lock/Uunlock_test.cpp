// The password check and what the unlock dialog does with its entry. The check runs here with
// the system's libcrypto and, in the Windows build, with the platform's CNG.
#include "Uunlock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CheckPass, ComparesTheLowercaseHexDigestOfTheEntryWithTheStoredText) {
    const struct {
        const char* what;
        std::string entry;
        std::string stored;
        bool passes;
    } cases[] = {
        {"nothing stored, nothing typed", "", "", true},
        {"nothing stored, something typed", "a", "", false},
        {"a stored digest, nothing typed", "", "0cc175b9c0f1b6a831c399e269772661", false},
        // The empty entry has a digest like any other.
        {"the digest of the empty text", "", "d41d8cd98f00b204e9800998ecf8427e", true},
        // RFC 1321, appendix A.5.
        {"a", "a", "0cc175b9c0f1b6a831c399e269772661", true},
        {"abc", "abc", "900150983cd24fb0d6963f7d28e17f72", true},
        {"message digest", "message digest", "f96b697d7cb7938d525a2f31aaf161d0", true},
        {"the alphabet", "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b", true},
        {"letters and digits", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f", true},
        {"eighty digits",
         "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a", true},
        // The entry's bytes as they are, here 密码 in code page 936.
        {"a double-byte password", "\xC3\xDC\xC2\xEB", "d2293e30f0c964c5f6242486aa8a483c", true},
        {"the password in other letters", "ABC", "900150983cd24fb0d6963f7d28e17f72", false},
        {"a stored digest in capitals", "abc", "900150983CD24FB0D6963F7D28E17F72", false},
        {"a stored digest with a space after it", "abc", "900150983cd24fb0d6963f7d28e17f72 ",
         false},
        {"the start of the digest", "abc", "900150983cd24fb0", false},
        {"the password itself stored", "abc", "abc", false},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckPass(c.entry, c.stored), c.passes) << c.what;
}

struct RecordingForm : UnlockForm {
    std::string entry;
    std::vector<std::string> calls;
    std::string EntryText() const override { return entry; }
    void ClearEntry() override {
        entry.clear();
        calls.push_back("clear");
    }
    void EndModal(ModalResult r) override {
        calls.push_back(r == ModalResult::OK       ? "end OK"
                        : r == ModalResult::Cancel ? "end Cancel"
                                                   : "end None");
    }
};

class UnlockDialogTest : public ::testing::Test {
  protected:
    UnlockDialogTest() { state_.SysPass = "5ebe2294ecd0e0f08eab7690d2a6ee69"; }  // "secret"
    PlayerState state_;
    RecordingForm form_;
    UnlockDialogLogic logic_{form_, state_};
};

TEST_F(UnlockDialogTest, AWrongPasswordDoesNothingVisible) {
    for (const char* typed : {"Secret", "secre", ""}) {
        form_.entry = typed;
        logic_.ImgButton2Click();
        EXPECT_TRUE(form_.calls.empty()) << typed;
        EXPECT_EQ(form_.entry, typed);
    }
}

TEST_F(UnlockDialogTest, EveryEndEmptiesTheEntry) {
    const struct {
        const char* what;
        void (UnlockDialogLogic::*action)();
        const char* end;
    } cases[] = {
        {"the right password", &UnlockDialogLogic::ImgButton2Click, "end OK"},
        {"cancel", &UnlockDialogLogic::ImgButton1Click, "end Cancel"},
        {"the window's close", &UnlockDialogLogic::FormCloseRequest, "end Cancel"},
    };
    for (const auto& c : cases) {
        form_.calls.clear();
        form_.entry = "secret";
        (logic_.*c.action)();
        EXPECT_EQ(form_.calls, (std::vector<std::string>{"clear", c.end})) << c.what;
        EXPECT_EQ(form_.entry, "") << c.what;
    }
}

TEST_F(UnlockDialogTest, ThePasswordReplacedAtALoginCountsAtOnce) {
    form_.entry = "abc";
    logic_.ImgButton2Click();
    EXPECT_TRUE(form_.calls.empty());
    state_.SysPass = "900150983cd24fb0d6963f7d28e17f72";
    logic_.ImgButton2Click();
    EXPECT_EQ(form_.calls, (std::vector<std::string>{"clear", "end OK"}));
}

}  // namespace
