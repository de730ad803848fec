// Movie files into the control: every form of a movie, missing and damaged files, and the file
// closed before the control starts.
#include "ShockwaveEx.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "EmbedMovie.h"
#include "FakeMovieControl.h"
#include "SwfTestData.h"
#include "TempFolder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

const Bytes& Episode() {
    static const Bytes episode = ReadBytes(TestMovie("episode.swf"));
    return episode;
}

// Whether the process holds the file open: on Windows an open file cannot be removed; elsewhere
// the process's descriptors are looked through.
bool HeldOpen(const std::string& path) {
#ifdef _WIN32
    std::error_code ec;
    const auto copy = path + ".copy";
    std::filesystem::copy_file(std::filesystem::u8path(path), std::filesystem::u8path(copy), ec);
    const bool removed = std::filesystem::remove(std::filesystem::u8path(path), ec);
    if (removed)
        std::filesystem::rename(std::filesystem::u8path(copy), std::filesystem::u8path(path), ec);
    return !removed;
#else
    const auto target = std::filesystem::canonical(std::filesystem::u8path(path));
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const auto link = std::filesystem::read_symlink(fd.path(), ec);
        if (!ec && link == target) return true;
    }
    return false;
#endif
}

class LoadMovieFileTest : public ::testing::Test {
  protected:
    TempFolder folder_;
};

TEST_F(LoadMovieFileTest, EveryFormOfAMovieGivesTheSameImage) {
    for (const char* name :
         {"episode.swf", "episode_cws.swf", "episode_kpv.swf", "episode_kpv_fws.swf"}) {
        FakeControl c;
        EXPECT_TRUE(LoadMovieFile(c, TestMovie(name))) << name;
        EXPECT_EQ(c.loaded, c.ImageFor(Episode())) << name;
    }
}

TEST_F(LoadMovieFileTest, NothingHappensForAMissingOrUnusableFile) {
    const std::string damaged = folder_.File("damaged.swf");
    Bytes cws = ReadBytes(TestMovie("episode_cws.swf"));
    cws.resize(cws.size() / 2);
    WriteBytes(damaged, cws);
    const std::string scrambledDamaged = folder_.File("damaged_kpv.swf");
    Bytes kpv = ReadBytes(TestMovie("episode_kpv.swf"));
    kpv.resize(kpv.size() - 20);
    WriteBytes(scrambledDamaged, kpv);
    const std::string tiny = folder_.File("tiny.swf");
    WriteBytes(tiny, BytesOf("KPV\x88"
                             "F"));

    for (const std::string& path :
         {folder_.File("missing.swf"), damaged, scrambledDamaged, tiny, folder_.File("")}) {
        FakeControl control;
        EXPECT_FALSE(LoadMovieFile(control, path)) << path;
        EXPECT_TRUE(control.calls.empty()) << path;
    }
}

TEST_F(LoadMovieFileTest, AControlFailureIsDropped) {
    FakeControl control;
    control.failLoad = true;
    EXPECT_FALSE(LoadMovieFile(control, TestMovie("episode.swf")));
    MemoryStream s(Episode());
    EXPECT_THROW(EmbedMovieStream(control, &s), MovieControlError);
    FakeControl untouched;
    EmbedMovieStream(untouched, nullptr);
    EXPECT_TRUE(untouched.calls.empty());
}

TEST_F(LoadMovieFileTest, TheFileIsClosedBeforeTheControlLoads) {
    const std::string path = folder_.File("logo.swf");
    WriteBytes(path, ReadBytes(TestMovie("episode_kpv.swf")));
    FakeControl control;
    bool checked = false, open = true;
    control.onLoad = [&] {
        checked = true;
        open = HeldOpen(path);
    };
    EXPECT_TRUE(LoadMovieFile(control, path));
    ASSERT_TRUE(checked);
    EXPECT_FALSE(open) << "a file still open could not be replaced by a new download";
}

}  // namespace
