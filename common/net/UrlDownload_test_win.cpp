// The platform side of the downloads: the status callback object.
#include "UrlDownload_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "ComPtr_win.h"

namespace {

class Sink : public DownloadProgressSink {
  public:
    enum class Answer { Go, Abort, Throw } answer = Answer::Go;
    std::int32_t OnProgress(std::uint32_t, std::uint32_t) override {
        if (answer == Answer::Throw) throw std::runtime_error("sink failed");
        return answer == Answer::Go ? kResultOk : kResultAbort;
    }
};

TEST(BindStatusCallback, AnswersItsTwoInterfacesWithOneIdentityAndCountsReferences) {
    auto callback = ComPtr<BindStatusCallback>::Attach(new BindStatusCallback(nullptr));
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(callback->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.Put())),
              S_OK);
    ComPtr<IBindStatusCallback> status;
    ASSERT_EQ(
        callback->QueryInterface(IID_IBindStatusCallback, reinterpret_cast<void**>(status.Put())),
        S_OK);
    ComPtr<IHttpNegotiate> negotiate;
    ASSERT_EQ(
        callback->QueryInterface(IID_IHttpNegotiate, reinterpret_cast<void**>(negotiate.Put())),
        S_OK);
    ComPtr<IUnknown> again;
    ASSERT_EQ(negotiate->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(again.Put())), S_OK);
    EXPECT_EQ(again.Get(), unknown.Get());

    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(callback->QueryInterface(IID_IDispatch, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(callback->QueryInterface(IID_IUnknown, nullptr), E_POINTER);

    // The creator's reference and the four above.
    EXPECT_EQ(callback->AddRef(), 6u);
    EXPECT_EQ(callback->Release(), 5u);
}

TEST(BindStatusCallback, ProgressGoesToTheSinkUntilDetachedAndAFailingSinkAbandonsTheDownload) {
    Sink sink;
    auto callback = ComPtr<BindStatusCallback>::Attach(new BindStatusCallback(&sink));
    const struct {
        Sink::Answer answer;
        HRESULT result;
    } cases[] = {
        {Sink::Answer::Go, S_OK},
        {Sink::Answer::Abort, E_ABORT},
        {Sink::Answer::Throw, E_ABORT},
    };
    for (const auto& c : cases) {
        sink.answer = c.answer;
        EXPECT_EQ(callback->OnProgress(10, 100, BINDSTATUS_DOWNLOADINGDATA, L""), c.result);
    }
    callback->Detach();
    EXPECT_EQ(callback->OnProgress(20, 100, BINDSTATUS_DOWNLOADINGDATA, L""), S_OK);
}

TEST(BindStatusCallback, AnHttpErrorStatusTurnsASuccessfulDownloadIntoAFailure) {
    const struct {
        DWORD status;
        HRESULT download, outcome;
    } cases[] = {
        {200, S_OK, S_OK},
        {304, S_OK, S_OK},
        {404, S_OK, INET_E_OBJECT_NOT_FOUND},
        {410, S_OK, INET_E_OBJECT_NOT_FOUND},
        {500, S_OK, INET_E_DOWNLOAD_FAILURE},
        {404, E_ABORT, E_ABORT},
    };
    for (const auto& c : cases) {
        auto callback = ComPtr<BindStatusCallback>::Attach(new BindStatusCallback(nullptr));
        LPWSTR extra = reinterpret_cast<LPWSTR>(1);
        EXPECT_EQ(callback->OnResponse(c.status, L"", nullptr, &extra), S_OK);
        EXPECT_EQ(extra, nullptr);
        EXPECT_EQ(callback->Outcome(c.download), c.outcome) << c.status;
    }
}

}  // namespace
