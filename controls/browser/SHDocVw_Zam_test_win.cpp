// The event arguments as the control passes them: last parameter first, var ones by reference.
#include "SHDocVw_Zam_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EWBEventArgs, NavigateErrorReadsTheUrlAndWritesCancelBack) {
    const EWBEventDef* def = FindEWBEvent(271);
    ASSERT_NE(def, nullptr);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT url, frame, status;
    VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = SysAllocString(L"http://127.0.0.1:8321/a/zodivodedozi/");
    VariantInit(&frame);
    VariantInit(&status);
    status.vt = VT_I4;
    status.lVal = 404;
    VARIANT args[5];
    for (auto& a : args) VariantInit(&a);
    args[0].vt = VT_BYREF | VT_BOOL;  // Cancel
    args[0].pboolVal = &cancel;
    args[1].vt = VT_BYREF | VT_VARIANT;  // StatusCode
    args[1].pvarVal = &status;
    args[2].vt = VT_BYREF | VT_VARIANT;  // Frame
    args[2].pvarVal = &frame;
    args[3].vt = VT_BYREF | VT_VARIANT;  // URL
    args[3].pvarVal = &url;
    args[4].vt = VT_DISPATCH;  // pDisp
    DISPPARAMS params{args, nullptr, 5, 0};

    EWBEventArgs e(nullptr, *def, &params);
    EXPECT_EQ(e.Text(1), L"http://127.0.0.1:8321/a/zodivodedozi/");
    ASSERT_NE(e.Arg(3), nullptr);
    EXPECT_EQ(e.Arg(3)->lVal, 404);
    e.SetBool(4, true);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(e.Arg(7), nullptr);
    VariantClear(&url);
}

}  // namespace
