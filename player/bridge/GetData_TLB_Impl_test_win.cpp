// The page object as pages meet it: its type library from the executable, its dispatch ids and
// argument checks, and a real JScript engine calling it as a page's script does.
#include "GetData_TLB_Impl_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "BridgeFakes.h"
#include "ComSessions_win.h"
#include "PlayPipeline.h"
#include "ScriptHost_win.h"
#include "Variant_win.h"

namespace {

using V = std::vector<std::string>;

using Recorder = BridgeRecorder;

class PageObjectTest : public ::testing::Test {
  protected:
    ComApartment com_;
    PlayerState state_;
    Recorder r_;
    ScriptBridge bridge_{{state_, r_, r_, r_, r_, r_}};
    ComPtr<TMyExternal> external_ = TMyExternal::Create(bridge_);
    IDispatch* Dispatch() { return static_cast<IGetData*>(external_.Get()); }
    std::wstring RunScript(const std::wstring& code) {
        auto host = MakeComObject<JScriptHost>();
        host->AddItem(L"external", Dispatch());
        return host->Run(code);
    }
};

TEST_F(PageObjectTest, TheTypeLibraryOfTheExecutableNamesTheMethods) {
    UINT count = 0;
    ASSERT_EQ(Dispatch()->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(Dispatch()->GetTypeInfo(0, 0, info.Put()), S_OK);
    EXPECT_EQ(Dispatch()->GetTypeInfo(1, 0, info.Put()), DISP_E_BADINDEX);
    const struct {
        const wchar_t* name;
        DISPID id;
    } names[] = {{L"AddUrl", 201}, {L"Web_Logo", 202}};
    for (const auto& n : names) {
        LPOLESTR name = const_cast<LPOLESTR>(n.name);
        DISPID id = 0;
        ASSERT_EQ(Dispatch()->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK) << n.id;
        EXPECT_EQ(id, n.id);
    }
    LPOLESTR other = const_cast<LPOLESTR>(L"Play");
    DISPID id = 0;
    EXPECT_EQ(Dispatch()->GetIDsOfNames(IID_NULL, &other, 1, 0, &id), DISP_E_UNKNOWNNAME);
    // The object is the interface of its library, and says it describes its errors.
    EXPECT_TRUE(QueryAs<IGetData>(Dispatch()));
    EXPECT_EQ(
        QueryAs<ISupportErrorInfo>(Dispatch())->InterfaceSupportsErrorInfo(__uuidof(IGetData)),
        S_OK);
}

TEST_F(PageObjectTest, OneArgumentIsAParameterCountFailureAndNothingHappens) {
    Variant value = Variant::Text(std::wstring(L"tolu_a_1_b"));
    DISPPARAMS params{value.Ptr(), nullptr, 1, 0};
    EXCEPINFO exception{};
    UINT argError = 0;
    EXPECT_EQ(Dispatch()->Invoke(201, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &exception,
                                 &argError),
              DISP_E_BADPARAMCOUNT);
    EXPECT_NE(RunScript(L"external.AddUrl(\"tolu_a_1_b\");"), L"");
    EXPECT_TRUE(r_.calls.empty());
}

TEST_F(PageObjectTest, AScriptStartsASeriesWithTextInTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 936u) << "run with LANG=zh_CN.UTF-8";
    EXPECT_EQ(RunScript(L"external.AddUrl(\"tolu_小猫钓鱼_101_故事\", true);"), L"");
    // 小猫钓鱼 and 故事 in code page 936.
    EXPECT_EQ(r_.calls, (V{"title \xD0\xA1\xC3\xA8\xB5\xF6\xD3\xE3[1]", "start"}));
    EXPECT_EQ(state_.SeriesId, "101");
    EXPECT_EQ(state_.SeriesTypes, "\xB9\xCA\xCA\xC2");
}

TEST_F(PageObjectTest, AFailureReachesTheScriptWithItsDescription) {
    r_.emptyPlayList = true;
    EXPECT_EQ(RunScript(L"try { external.AddUrl(\"tolu_a_1_b\", false); } catch (e) {"
                        L"  throw new Error(\"caught: \" + e.description); }"),
              L"caught: List index out of bounds (0)");

    // Through the dispatch interface, the description arrives as the exception's.
    Variant value2 = Variant::Bool(true), value = Variant::Text(std::wstring(L"tolu_a_1_b"));
    VARIANT args[2] = {value2.Get(), value.Get()};
    DISPPARAMS params{args, nullptr, 2, 0};
    EXCEPINFO exception{};
    EXPECT_EQ(Dispatch()->Invoke(201, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &exception,
                                 nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, E_UNEXPECTED);
    ASSERT_NE(exception.bstrDescription, nullptr);
    EXPECT_STREQ(exception.bstrDescription, L"List index out of bounds (0)");
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
}

TEST_F(PageObjectTest, AScriptReportsTheMember) {
    r_.downloads = false;
    EXPECT_EQ(RunScript(L"external.Web_Logo(\"anna\", \"0cc175b9c0f1b6a831c399e269772661\","
                        L" \"Anna;7;3;http://h/a.png\");"),
              L"");
    EXPECT_EQ(r_.calls, (V{"buttons", "write system/syspass=0cc175b9c0f1b6a831c399e269772661",
                           "member Anna 3", "download http://h/a.png web\\Avatar.jpg"}));
    EXPECT_TRUE(state_.SiteLoggedIn);
}

TEST_F(PageObjectTest, APageThatOutlivesThePlayerGetsFailures) {
    external_->Detach();
    EXPECT_NE(RunScript(L"external.AddUrl(\"tolu_a_1_b\", true);"), L"");
    EXPECT_TRUE(r_.calls.empty());
}

}  // namespace
