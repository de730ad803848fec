// The platform side of the downloads: the status callback object, the plain download into a file
// against the demo content server (ctest fixture DemoServer), and the removal of partial files
// that a killed process left.
#include "UrlDownload_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "ComPtr_win.h"
#include "DemoServer_win.h"
#include "DownloadFile.h"
#include "DownloadTestFiles_win.h"
#include "TempFolder.h"
#include "TextConv_win.h"

namespace {

namespace ds = demo_server;
using downloadtest::ReadBytes;
using downloadtest::ServerBytes;
using downloadtest::WriteBytes;

// The test's folder in ANSI form, with a separator at the end.
std::string AnsiFolder(const TempFolder& folder) {
    return WideToAnsi(folder.Path().wstring()) + "\\";
}

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

class DownloadToFileWin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(ds::Host().empty()) << "needs the DemoServer fixture: run it through ctest";
    }
    void TearDown() override { EXPECT_TRUE(ds::Reset()); }
    TempFolder dir_;
};

TEST_F(DownloadToFileWin, StoresTheBodyOfA200AndKeepsTheFileOnA404) {
    const auto found = "/__test/bytes?n=3000&token=" + ds::UniqueToken();
    const auto missing = "/__test/bytes?n=3000&token=" + ds::UniqueToken();
    ASSERT_TRUE(ds::SetFault(missing, "status=404"));
    const auto dest = AnsiFolder(dir_) + "me.png";

    EXPECT_TRUE(net::DownloadToFile(ds::Url(found), dest));
    EXPECT_TRUE(ReadBytes(dest) == ServerBytes(3000)) << "the file holds other bytes";

    EXPECT_FALSE(net::DownloadToFile(ds::Url(missing), dest));
    EXPECT_TRUE(ReadBytes(dest) == ServerBytes(3000)) << "a failure changed the file";
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"me.png"}));

    const auto absent = AnsiFolder(dir_) + "none.png";
    EXPECT_FALSE(net::DownloadToFile(ds::Url(missing), absent));
    EXPECT_FALSE(net::DownloadToFile("http://127.0.0.1:9/none.png", absent));
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"me.png"}));
}

TEST(RemoveDownloadLeftoversWin, RemovesOurPartialFilesOnlyInFoldersOfAnyName) {
    // Names in the code page's double-byte characters; the second folder's name ends in a
    // character whose second byte is a backslash.
    if (GetACP() != 936) GTEST_SKIP() << "needs the code page 936 (LANG=zh_CN.UTF-8)";
    for (const std::string folderName : {"cache", "\xBB\xBA\xB4\xE6", "variz_\x81\x5C"}) {
        SCOPED_TRACE(folderName);
        TempFolder temp;
        const auto folder = AnsiFolder(temp) + folderName;
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        const std::string episode = "\xD1\xA7\xCF\xB0 1-1.swf";
        const std::vector<std::string> kept = {episode, "12-1.swf", "12-1.swf.~1.part",
                                               "12-1.swf.~variz-0123456789ABCDEF.part"};
        for (const auto& name : kept) WriteBytes(folder + "\\" + name, name);
        WriteBytes(net::TemporaryNameBeside(folder + "\\" + episode), "cut short");
        WriteBytes(net::TemporaryNameBeside(folder + "\\12-1.swf"), "");
        const auto inner = net::TemporaryNameBeside(folder + "\\old");
        ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));
        // A sibling whose name begins like the folder's must stay untouched.
        const auto sibling = folder + "x.~variz-0123456789abcdef.part";
        WriteBytes(sibling, "");

        WinDownloadFiles files;
        net::RemoveDownloadLeftovers(files, folder);  // no separator at the end
        std::vector<std::string> names;
        for (const auto& path : files.ListFiles(folder + "\\")) {
            EXPECT_EQ(path.rfind(folder + "\\", 0), 0u) << path;
            names.push_back(path.substr(folder.size() + 1));
        }
        std::sort(names.begin(), names.end());
        auto expected = kept;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
        for (const auto& name : kept) EXPECT_EQ(ReadBytes(folder + "\\" + name), name);
        EXPECT_NE(GetFileAttributesA(inner.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_NE(GetFileAttributesA(sibling.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST(RemoveDownloadLeftoversWin, FolderThatIsNotThereIsNothingToDo) {
    TempFolder temp;
    WinDownloadFiles files;
    EXPECT_TRUE(files.ListFiles(AnsiFolder(temp) + "missing").empty());
    net::RemoveDownloadLeftovers(files, AnsiFolder(temp) + "missing");
    EXPECT_TRUE(temp.Names().empty());
}

}  // namespace
