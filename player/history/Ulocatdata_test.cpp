// The play history store: adding, cutting, replaying, deleting, and its file after every change.
#include "Ulocatdata.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using V = std::vector<std::string>;

struct Host : HistoryHost {
    V calls;
    bool answer = true;
    std::vector<std::string> cached;  // "id n" of the episodes in the cache
    bool Ask(const std::string& text, const std::string& caption) override {
        calls.push_back("ask " + caption + " " + text);
        return answer;
    }
    void SetTitle(const std::string& t) override { calls.push_back("title " + t); }
    bool ReplayCached(const std::string& id, std::int32_t n) override {
        calls.push_back("replay " + id + " " + std::to_string(n));
        return true;
    }
    void RowsChanged() override {}
};

// The system's files, with writes that can be made to fail.
struct Files : SystemHistoryFiles {
    bool failWrites = false;
    int writes = 0;
    bool WriteReplacing(const std::string& path, const std::string& bytes) override {
        ++writes;
        return !failWrites && SystemHistoryFiles::WriteReplacing(path, bytes);
    }
};

class HistoryStoreTest : public ::testing::Test {
  protected:
    HistoryStoreTest() {
        fs::create_directories(folder_.Path() / "web");
        fs::create_directories(folder_.Path() / "cache");
    }
    std::string Dir() const { return folder_.File(""); }
    std::string Cache() const { return Dir() + "cache" + Sep(); }
    static std::string Sep() { return std::string(1, fs::path::preferred_separator); }
    // The store's file: "web\Local.dat" of the program folder (a plain name natively).
    std::string FileOf() const { return Dir() + "web\\Local.dat"; }
    std::unique_ptr<Tcdsdata> Make() {
        return std::make_unique<Tcdsdata>(Dir(), Cache(), files_, host_);
    }
    std::vector<HistoryRow> OnDisk() const {
        std::string bytes;
        std::vector<HistoryRow> rows;
        EXPECT_TRUE(ReadWholeFile(FileOf(), bytes));
        EXPECT_TRUE(DecodeHistory(bytes, rows));
        return rows;
    }
    void CacheEpisode(const std::string& id, int n) {
        WriteFileReplacing(Cache() + id + "-" + std::to_string(n) + ".swf", "FWS");
    }
    bool Cached(const std::string& id, int n) const {
        return fs::exists(Cache() + id + "-" + std::to_string(n) + ".swf");
    }

    TempFolder folder_;
    Files files_;
    Host host_;
};

TEST_F(HistoryStoreTest, AnEmptyFileIsWrittenAtOnceWhenThereIsNone) {
    auto store = Make();
    EXPECT_EQ(store->GetState(), Tcdsdata::State::Open);
    EXPECT_EQ(store->FileName(), FileOf());
    EXPECT_TRUE(OnDisk().empty());
}

TEST_F(HistoryStoreTest, RowsAreAddedOnceInTheirOrderAndWrittenAfterEveryChange) {
    auto store = Make();
    EXPECT_FALSE(store->AddHistory("101", "Cat", "story", "1"));
    EXPECT_FALSE(store->AddHistory("102", "Song", "song", "1"));
    EXPECT_FALSE(store->AddHistory("101", "Cat again", "other", "1"));  // already there
    EXPECT_FALSE(store->AddHistory("101", "Cat", "story", "2"));
    const std::vector<HistoryRow> want{
        {101, "Cat", "story", 1}, {102, "Song", "song", 1}, {101, "Cat", "story", 2}};
    EXPECT_EQ(store->Rows(), want);
    EXPECT_EQ(OnDisk(), want) << "each change is on disk at once";
    EXPECT_EQ(store->Current(), 2);

    // Another run finds them.
    store.reset();
    EXPECT_EQ(Make()->Rows(), want);
}

TEST_F(HistoryStoreTest, NamesAndCategoriesAreCutToTheirFieldsBeforeAHalfCharacter) {
    auto store = Make();
    const std::string gbk = "\xD0\xA1";  // one double-byte character
    const struct {
        std::string name, wantName;
    } cases[] = {
        {std::string(61, 'n'), std::string(60, 'n')},
        {std::string(59, 'n') + gbk, std::string(59, 'n')},
        {std::string(58, 'n') + gbk + "x", std::string(58, 'n') + gbk},
        {std::string(30, 'n') + gbk, std::string(30, 'n') + gbk},
    };
    int episode = 1;
    for (const auto& c : cases) {
        ASSERT_FALSE(
            store->AddHistory("5", c.name, std::string(99, 't') + gbk, std::to_string(episode++)));
        EXPECT_EQ(store->Rows().back().Name, c.wantName);
        EXPECT_EQ(store->Rows().back().Types, std::string(99, 't'));
    }
}

TEST_F(HistoryStoreTest, AnIdThatIsNoNumberIsAnErrorAndAddsNothing) {
    auto store = Make();
    for (const char* id : {"12a", "x", "-", "99999999999"})
        EXPECT_TRUE(store->AddHistory(id, "n", "t", "1")) << id;
    EXPECT_TRUE(store->AddHistory("1", "n", "t", "one"));
    EXPECT_TRUE(store->Rows().empty());
    // Empty texts leave the numbers empty.
    EXPECT_FALSE(store->AddHistory("", "n", "t", ""));
    EXPECT_EQ(store->Rows().front().FID, std::nullopt);
}

TEST_F(HistoryStoreTest, AReplayPlaysTheCurrentRowUnderItsNameAndNumber) {
    auto store = Make();
    store->AddHistory("101", "Cat", "story", "3");
    store->AddHistory("102", "Song", "song", "1");
    store->SetCurrent(0);
    store->PlayHistory();
    EXPECT_EQ(host_.calls, (V{"title Cat[3]", "replay 101 3"}));
}

TEST_F(HistoryStoreTest, DeletingARowDeletesItsCachedEpisodeAndDeletingAllAsksFirst) {
    auto store = Make();
    for (int n = 1; n <= 3; ++n) {
        store->AddHistory("101", "Cat", "story", std::to_string(n));
        CacheEpisode("101", n);
    }
    CacheEpisode("999", 1);  // not in the history
    store->SetCurrent(1);
    store->DelHistory();
    EXPECT_FALSE(Cached("101", 2));
    EXPECT_TRUE(Cached("101", 1));
    EXPECT_EQ(store->Rows().size(), 2u);
    EXPECT_EQ(store->Current(), 1) << "the next row becomes current";
    EXPECT_EQ(OnDisk().size(), 2u);

    // The grid's Ctrl+Delete: the row goes, its episode stays.
    store->SetCurrent(0);
    store->DeleteCurrentRow();
    EXPECT_TRUE(Cached("101", 1));
    EXPECT_EQ(store->Rows().size(), 1u);

    host_.answer = false;
    store->DelAllHistory();
    EXPECT_EQ(store->Rows().size(), 1u);
    EXPECT_EQ(host_.calls.back(), "ask 询问? 是否删除全部历史记录?");
    host_.answer = true;
    store->DelAllHistory();
    EXPECT_TRUE(store->Rows().empty());
    EXPECT_FALSE(Cached("101", 3));
    EXPECT_TRUE(Cached("999", 1));
    EXPECT_TRUE(OnDisk().empty());
}

TEST_F(HistoryStoreTest, AnEmptyTableHasNothingToDeleteOrPlay) {
    auto store = Make();
    const int writes = files_.writes;
    store->DelHistory();
    store->DeleteCurrentRow();
    store->PlayHistory();
    store->DelAllHistory();
    EXPECT_EQ(host_.calls, V{"ask 询问? 是否删除全部历史记录?"});
    EXPECT_EQ(files_.writes, writes);
    EXPECT_EQ(store->Current(), -1);
}

TEST_F(HistoryStoreTest, ADamagedFileLeavesTheStoreClosedAndTheFileUntouched) {
    {
        auto store = Make();
        store->AddHistory("101", "Cat", "story", "1");
        store->AddHistory("101", "Cat", "story", "2");
    }
    std::string good;
    ASSERT_TRUE(ReadWholeFile(FileOf(), good));
    for (const std::string& damaged :
         {good.substr(0, good.size() / 2), std::string("VZHT"),
          good.substr(0, 20) + std::string(5, 'x') + good.substr(25)}) {
        ASSERT_TRUE(WriteFileReplacing(FileOf(), damaged));
        auto store = Make();
        EXPECT_EQ(store->GetState(), Tcdsdata::State::Closed);
        EXPECT_FALSE(store->AddHistory("101", "Cat", "story", "3"));
        store->DelHistory();
        store->PlayHistory();
        EXPECT_TRUE(store->Rows().empty());
        std::string after;
        ASSERT_TRUE(ReadWholeFile(FileOf(), after));
        EXPECT_EQ(after, damaged) << "a file that cannot be read is never written over";
    }
}

TEST_F(HistoryStoreTest, WithoutAFileTheRowsLiveForTheRunAndAFailedWriteKeepsTheOldFile) {
    files_.failWrites = true;
    auto store = Make();
    EXPECT_EQ(store->GetState(), Tcdsdata::State::OpenWithoutFile);
    EXPECT_FALSE(store->AddHistory("101", "Cat", "story", "1"));
    EXPECT_EQ(store->Rows().size(), 1u);
    EXPECT_FALSE(fs::exists(FileOf()));

    files_.failWrites = false;
    store = Make();
    store->AddHistory("101", "Cat", "story", "1");
    files_.failWrites = true;
    EXPECT_TRUE(store->AddHistory("101", "Cat", "story", "2")) << "a change that is not saved";
    EXPECT_EQ(store->Rows().size(), 2u);
    EXPECT_EQ(OnDisk().size(), 1u);
}

TEST_F(HistoryStoreTest, TheWheelStopsAtTheFirstAndTheLastRow) {
    auto store = Make();
    for (int n = 1; n <= 3; ++n) store->AddHistory("1", "n", "t", std::to_string(n));
    store->Next();
    EXPECT_EQ(store->Current(), 2);
    store->Prior();
    store->Prior();
    store->Prior();
    EXPECT_EQ(store->Current(), 0);
}

}  // namespace
