// Downloads into a partial file of our own: its name, the replacement of the destination, the
// removal of what a killed process left, and the plain download into a file, waited for or given
// up at a limit.
#include "DownloadFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>

#include "DownloadFakes.h"
#include "TempFolder.h"
#include "WaitFor.h"

namespace {

using namespace fakes;

const std::string kDigits = "0123456789abcdef";

TEST(PartialName, BesideTheDestinationInOurPatternAndNeverTheSameTwice) {
    TempFolder dir;
    const auto dest = dir.File("12-1.swf");
    std::set<std::string> seen;
    for (int i = 0; i < 10000; ++i) {
        const auto name = net::TemporaryNameBeside(dest);
        ASSERT_TRUE(seen.insert(name).second) << name << " came twice";
        ASSERT_TRUE(net::IsDownloadLeftover(name)) << name;
        ASSERT_EQ(name.rfind(dest + ".~variz-", 0), 0u) << name;
        ASSERT_EQ(fs::path(name).parent_path(), dir.Path());
    }
}

#ifdef PARTIAL_NAME_PROBE
TEST(PartialName, SeparateProcessesStartWithDifferentNames) {
    auto firstNameOfAProcess = [] {
        std::string out;
        if (FILE* p = popen(PARTIAL_NAME_PROBE, "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, p)) out += line;
            EXPECT_EQ(pclose(p), 0);
        }
        return out;
    };
    const auto a = firstNameOfAProcess(), b = firstNameOfAProcess();
    ASSERT_TRUE(net::IsDownloadLeftover(a.substr(0, a.find('\n')))) << a;
    EXPECT_NE(a, b);
}
#endif

TEST(PartialName, OnlyOurPatternIsALeftover) {
    const std::string ours = "12-1.swf.~variz-" + kDigits + ".part";
    struct Case {
        std::string path;
        bool leftover;
    } cases[] = {
        {ours, true},
        {"C:\\Variz\\cache\\" + ours, true},
        {"/tmp/cache/" + ours, true},
        {".~variz-" + kDigits + ".part", true},
        // A name of the code page's double-byte characters before the pattern.
        {"C:\\\xD1\xA7\\\xCF\xC2\xD4\xD8.swf.~variz-" + kDigits + ".part", true},
        {"12-1.swf", false},
        {"12-1.swf.part", false},
        {"12-1.swf.~1.part", false},  // what earlier builds wrote
        {"12-1.swf.~variz-" + kDigits.substr(1) + ".part", false},
        {"12-1.swf.~variz-" + kDigits + "0.part", false},
        {"12-1.swf.~variz-0123456789ABCDEF.part", false},
        {"12-1.swf.~variz-0123456789abcdeg.part", false},
        {"12-1.swf.~variz-" + kDigits + ".PART", false},
        {"12-1.swf.~variz-" + kDigits + ".part.swf", false},
        {"12-1.swf~variz-" + kDigits + ".part", false},
        {"12-1.swf.variz-" + kDigits + ".part", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(net::IsDownloadLeftover(c.path), c.leftover) << c.path;
}

TEST(RemoveDownloadLeftovers, RemovesOurPartialFilesAndNothingElse) {
    TempFolder dir;
    LocalFiles files;
    const std::vector<std::string> kept = {
        "12-1.swf",  "12-1.swf.part", "12-1.swf.~1.part", "logo1.swf.~variz-" + kDigits + ".PART",
        "Variz.dat", "notes.txt",
    };
    for (const auto& name : kept) WriteFile(dir.File(name), name);
    WriteFile(dir.File("12-1.swf.~variz-" + kDigits + ".part"), "cut short");
    WriteFile(dir.File(net::TemporaryNameBeside("logo1.swf")), "");
    WriteFile(dir.File(net::TemporaryNameBeside("12-2.swf")), "x");
    // A folder of that name is not ours to remove, nor is anything below the folder.
    const auto inner = dir.File("old.~variz-" + kDigits + ".part");
    fs::create_directories(inner);
    WriteFile(inner + "/2.swf.~variz-" + kDigits + ".part", "");

    net::RemoveDownloadLeftovers(files, dir.Path().string());
    auto expected = kept;
    expected.push_back("old.~variz-" + kDigits + ".part");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.Names(), expected);
    EXPECT_EQ(dir.Names(fs::path(inner).filename()).size(), 1u);
    for (const auto& name : kept) EXPECT_EQ(ReadFile(dir.File(name)), name);
}

TEST(RemoveDownloadLeftovers, FolderThatIsNotThereIsNothingToDo) {
    TempFolder dir;
    LocalFiles files;
    net::RemoveDownloadLeftovers(files, dir.File("missing"));
    EXPECT_TRUE(dir.Names().empty());
}

// Writes the partial file, then answers as told; records the partial file's name.
struct Fetch {
    std::int32_t answer;
    std::string partial;
    std::string body = "new bytes";
    std::int32_t operator()(const std::string& name) {
        partial = name;
        WriteFile(name, body);
        return answer;
    }
};

// Refuses every replacement; removes and lists as the local files do.
class StuckFiles : public LocalFiles {
  public:
    std::int32_t Replace(const std::string&, const std::string&) override { return kResultFail; }
};

TEST(DownloadReplacing, TheDestinationChangesOnlyWithACompleteFile) {
    struct Case {
        const char* name;
        std::int32_t fetch;
        bool replaceable;
        std::int32_t result;
        std::string body = "new bytes";
    } cases[] = {
        {"complete", kResultOk, true, kResultOk},
        {"fetch failed", kCannotConnect, true, kCannotConnect},
        {"fetch aborted", kResultAbort, true, kResultAbort},
        {"destination cannot be replaced", kResultOk, false, kResultFail},
        {"an empty answer is no file", kResultOk, true, net::kResultEmpty, ""},
    };
    for (const auto& c : cases) {
        for (bool existed : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (existed ? ", file there before" : ""));
            TempFolder dir;
            const auto dest = dir.File("12-1.swf");
            if (existed) WriteFile(dest, "older episode");
            LocalFiles local;
            StuckFiles stuck;
            DownloadFiles& files = c.replaceable ? static_cast<DownloadFiles&>(local) : stuck;
            Fetch fetch{c.fetch, {}, c.body};
            EXPECT_EQ(net::DownloadReplacing(files, dest, std::ref(fetch)), c.result);
            EXPECT_EQ(fs::path(fetch.partial).parent_path(), dir.Path());
            EXPECT_TRUE(net::IsDownloadLeftover(fetch.partial)) << fetch.partial;
            const bool done = c.result == kResultOk;
            if (done || existed) {
                EXPECT_EQ(dir.Names(), (std::vector<std::string>{"12-1.swf"}));
                EXPECT_EQ(ReadFile(dest), done ? "new bytes" : "older episode");
            } else {
                EXPECT_TRUE(dir.Names().empty());
            }
        }
    }
}

TEST(DownloadToFile, OneQuietDownloadThatReplacesTheFileOnlyWhenComplete) {
    const std::string url = "http://127.0.0.1:8321/images/avatar.png";
    struct Case {
        const char* name;
        std::int32_t answer;
        bool stored;
        std::string body = "new picture";
    } cases[] = {
        {"complete", kResultOk, true},
        {"not found", static_cast<std::int32_t>(0x800C0005u), false},  // INET_E_OBJECT_NOT_FOUND
        {"no connection", kCannotConnect, false},
        {"success without a body", kResultOk, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const auto dest = dir.File("me.png");
        WriteFile(dest, "older picture");
        ScriptedDownload download;
        download.SetBody(url, c.body);
        download.Push(url, {FinishStep(c.answer)});
        LocalFiles files;
        EXPECT_EQ(net::DownloadToFile(download, files, url, dest), c.stored);
        // The cached copy is not forgotten first.
        EXPECT_EQ(download.Calls(), (std::vector<std::string>{"quiet download " + url}));
        EXPECT_EQ(ReadFile(dest), c.stored ? "new picture" : "older picture");
        EXPECT_EQ(dir.Names(), (std::vector<std::string>{"me.png"}));
    }
}

TEST(DownloadToFile, EmptyAddressOrFileNameFailsWithoutARequest) {
    TempFolder dir;
    ScriptedDownload download;
    LocalFiles files;
    EXPECT_FALSE(net::DownloadToFile(download, files, "", dir.File("me.png")));
    EXPECT_FALSE(net::DownloadToFile(download, files, "http://h/me.png", ""));
    EXPECT_TRUE(download.Calls().empty());
    EXPECT_TRUE(dir.Names().empty());
}

// Files that count the removals, which end every download that does not replace its file.
class CountingFiles : public LocalFiles {
  public:
    void Remove(const std::string& path) override {
        LocalFiles::Remove(path);
        ++removed;
    }
    std::atomic<int> removed{0};
};

TEST(DownloadToFileWithLimit, InTimeTheFileIsReplacedAndPastTheLimitNeverIs) {
    const std::string url = "http://127.0.0.1:8321/images/avatar.png";
    TempFolder dir;
    const auto dest = dir.File("me.png");
    auto download = std::make_shared<ScriptedDownload>();
    download->SetBody(url, "new picture");
    auto files = std::make_shared<CountingFiles>();

    WriteFile(dest, "older picture");
    download->Push(url, {FinishStep(kResultOk)});
    EXPECT_TRUE(net::DownloadToFileWithLimit(download, files, url, dest,
                                             std::make_shared<BlockingJobWait>(), 10s));
    EXPECT_EQ(ReadFile(dest), "new picture");

    // No step yet: the download waits past the limit, then ends with success unwatched.
    WriteFile(dest, "older picture");
    EXPECT_FALSE(net::DownloadToFileWithLimit(download, files, url, dest,
                                              std::make_shared<BlockingJobWait>(), 50ms));
    download->Push(url, {FinishStep(kResultOk)});
    EXPECT_TRUE(testwait::WaitUntil([&] { return files->removed == 1; }));
    EXPECT_EQ(ReadFile(dest), "older picture");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"me.png"}));
}

}  // namespace
