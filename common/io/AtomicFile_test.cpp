// Files written whole or not at all: a failed or interrupted write leaves the old file as it was.
#include "AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

TEST(WriteFileReplacing, ReplacesTheFileWhole) {
    TempFolder folder;
    const std::string path = folder.File("Local.dat");
    ASSERT_TRUE(WriteFileReplacing(path, "old"));
    ASSERT_TRUE(WriteFileReplacing(path, std::string(100000, 'n')));
    EXPECT_EQ(Read(path), std::string(100000, 'n'));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Local.dat"}) << "nothing left beside it";
    std::string none;
    EXPECT_FALSE(ReadWholeFile(folder.File("missing"), none));
}

TEST(WriteFileReplacing, AFileThatCannotBeReplacedStaysAsItWas) {
    TempFolder folder;
    // A folder in the file's place cannot be replaced by a file; nor can a file in a missing
    // folder be made.
    fs::create_directories(folder.Path() / "Local.dat");
    EXPECT_FALSE(WriteFileReplacing(folder.File("Local.dat"), "new"));
    EXPECT_TRUE(fs::is_directory(folder.Path() / "Local.dat"));
    EXPECT_FALSE(WriteFileReplacing(folder.File("missing/Local.dat"), "new"));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Local.dat"});
}

#ifndef _WIN32
// A process that may write only `limit` bytes into any file writes the new content: with the
// default action of the file-size signal it dies in the middle of the write, as in a crash.
int WriteLimited(const std::string& path, const std::string& bytes, rlim_t limit, bool crash) {
    const pid_t child = fork();
    if (child == 0) {
        const rlimit r{limit, limit};
        setrlimit(RLIMIT_FSIZE, &r);
        signal(SIGXFSZ, crash ? SIG_DFL : SIG_IGN);
        _exit(WriteFileReplacing(path, bytes) ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST(WriteFileReplacing, ACrashOrAFullDiskHalfwayLeavesTheOldFile) {
    TempFolder folder;
    const std::string path = folder.File("Local.dat");
    const std::string old(1000, 'o'), fresh(200000, 'f');
    ASSERT_TRUE(WriteFileReplacing(path, old));

    const int crashed = WriteLimited(path, fresh, fresh.size() / 2, true);
    ASSERT_TRUE(WIFSIGNALED(crashed) && WTERMSIG(crashed) == SIGXFSZ) << "no crash mid-write";
    EXPECT_EQ(Read(path), old);

    const int refused = WriteLimited(path, fresh, fresh.size() / 2, false);
    ASSERT_TRUE(WIFEXITED(refused));
    EXPECT_EQ(WEXITSTATUS(refused), 3) << "the write was reported as done";
    EXPECT_EQ(Read(path), old);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Local.dat"});

    // The next write goes through, over a leftover of the crash too.
    ASSERT_TRUE(WriteFileReplacing(path, fresh));
    EXPECT_EQ(Read(path), fresh);
}
#endif

}  // namespace
