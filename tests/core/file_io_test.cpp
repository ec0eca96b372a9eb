#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/file_io.h"
#include "support/temp_dir.h"

using namespace wexon::core;
using wexon::test::TempDir;

namespace {

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `append` in a child whose file size limit is `limit` bytes, with SIGXFSZ
// ignored so that the write fails with EFBIG instead of killing the child.
// Returns the child's exit code: 0 when the append reported success, 1 when it
// reported failure.
int appendUnderSizeLimit(const std::string& path, const std::string& bytes, rlim_t limit) {
    pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl {
            limit, limit
        };
        ::setrlimit(RLIMIT_FSIZE, &rl);
        _exit(appendDurably(path, bytes).ok() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(AppendDurably, CreatesAndAppends) {
    TempDir dir;
    ASSERT_TRUE(appendDurably(dir.file("log.txt"), "a\r\n").ok());
    ASSERT_TRUE(appendDurably(dir.file("log.txt"), "b\r\n").ok());
    ASSERT_TRUE(appendDurably(dir.file("log.txt"), "").ok());
    EXPECT_EQ(dir.read("log.txt"), "a\r\nb\r\n");
    EXPECT_FALSE(appendDurably(dir.file("missing/log.txt"), "a").ok());
}

// A write that fails half way (here at a file size limit, as on a full disk)
// takes back the part that reached the file, so the next append starts on a
// clean line.
TEST(AppendDurably, AFailedWriteLeavesNoPartOfTheLine) {
    TempDir dir;
    const std::string before = "\"K1ABC\",\"599\"\r\n";
    dir.write("log.txt", before);
    const std::string line(100, 'x');
    for (rlim_t limit : {before.size() + 1, before.size() + 40, before.size() + 99}) {
        EXPECT_EQ(appendUnderSizeLimit(dir.file("log.txt"), line + "\r\n", limit), 1) << limit;
        EXPECT_EQ(dir.read("log.txt"), before) << limit;
    }
    // With room enough the same append goes through.
    EXPECT_EQ(appendUnderSizeLimit(dir.file("log.txt"), line + "\r\n", 1 << 20), 0);
    EXPECT_EQ(dir.read("log.txt"), before + line + "\r\n");
}

TEST(ReplaceAtomically, ReplacesWholeAndLeavesNoTemporaryFile) {
    TempDir dir;
    dir.write("log.txt", "old");
    ASSERT_TRUE(replaceAtomically(dir.file("log.txt"), "new content").ok());
    EXPECT_EQ(dir.read("log.txt"), "new content");
    ASSERT_TRUE(replaceAtomically(dir.file("fresh.txt"), "first").ok());
    EXPECT_EQ(dir.read("fresh.txt"), "first");
    ASSERT_TRUE(replaceThroughNamedTemp(dir.file("log.txt"), "named").ok());
    EXPECT_EQ(dir.read("log.txt"), "named");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"fresh.txt", "log.txt"}));
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("log.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(ReplaceAtomically, FailureLeavesTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    EXPECT_FALSE(replaceAtomically(dir.file("none/log.txt"), "x").ok());
    EXPECT_FALSE(replaceThroughNamedTemp(dir.file("none/log.txt"), "x").ok());
    // A folder in the target's place cannot be replaced by a file.
    std::filesystem::create_directory(dir.file("log.txt"));
    EXPECT_FALSE(replaceAtomically(dir.file("log.txt"), "x").ok());
    EXPECT_FALSE(replaceThroughNamedTemp(dir.file("log.txt"), "x").ok());
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"log.txt"}));
}

TEST(LeftoverTempFiles, NamesTheProgramMakesAreRecognised) {
    EXPECT_TRUE(isLeftoverTempName("log.txt.aB3xYz", "log.txt"));
    EXPECT_TRUE(isLeftoverTempName("log.txt.AB12CD", "log.txt"));
    EXPECT_TRUE(isLeftoverTempName("log.txt.abc123", "log.txt"));
    // Not six letters and digits after the target's name and a dot.
    for (const char* other : {"log.txt", "log.txt.", "log.txt.aB3xY", "log.txt.aB3xYz1",
                              "log.txt.aB3x-z", "log.txt.aB3 yz", "xlog.txt.aB3xYz",
                              "log.txtXaB3xYz", "wexonprf.txt.aB3xYz", "log.txt.aB3xYz.txt"}) {
        EXPECT_FALSE(isLeftoverTempName(other, "log.txt")) << other;
    }
    // Names a person might give a copy, which the program never makes.
    for (const char* person :
         {"log.txt.backup", "log.txt.BACKUP", "log.txt.Backup", "log.txt.202605"}) {
        EXPECT_FALSE(isLeftoverTempName(person, "log.txt")) << person;
    }
    EXPECT_FALSE(isLeftoverTempName("log.txt.aB3xYz", ""));
}

TEST(LeftoverTempFiles, ClearingRemovesOnlyTheTargetsTemporaryFiles) {
    TempDir dir;
    for (const char* name : {"log.txt", "log.txt.aB3xYz", "log.txt.Q9rT2m", "log.txt.backup",
                             "wexonprf.txt", "wexonprf.txt.x7Yk2P", "notes.txt.aB3xYz"}) {
        dir.write(name, "x");
    }
    std::filesystem::create_directory(dir.file("log.txt.dD4eE5")); // a folder: never removed
    std::filesystem::create_symlink(dir.file("notes.txt.aB3xYz"), dir.file("log.txt.s1Ym2L"));
    auto removed = clearLeftoverTempFiles(dir.path(), "log.txt");
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{"log.txt.Q9rT2m", "log.txt.aB3xYz"}));
    EXPECT_EQ(
        namesIn(dir.path()),
        (std::vector<std::string>{"log.txt", "log.txt.backup", "log.txt.dD4eE5", "log.txt.s1Ym2L",
                                  "notes.txt.aB3xYz", "wexonprf.txt", "wexonprf.txt.x7Yk2P"}));
    EXPECT_EQ(clearLeftoverTempFiles(dir.path(), "wexonprf.txt"),
              (std::vector<std::string>{"wexonprf.txt.x7Yk2P"}));
    EXPECT_TRUE(clearLeftoverTempFiles(dir.file("missing"), "log.txt").empty());
}

// A rewrite that runs out of room (a file size limit stands in for a full
// disk) keeps the old file and leaves no temporary file, by either route.
TEST(ReplaceAtomically, RunningOutOfRoomKeepsTheOldFile) {
    TempDir dir;
    dir.write("log.txt", "old content\r\n");
    const std::string big(4096, 'n');
    for (bool named : {false, true}) {
        pid_t child = ::fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit rl {
                1000, 1000
            };
            ::setrlimit(RLIMIT_FSIZE, &rl);
            FileResult r = named ? replaceThroughNamedTemp(dir.file("log.txt"), big)
                                 : replaceAtomically(dir.file("log.txt"), big);
            _exit(r.ok() ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1) << named;
        EXPECT_EQ(dir.read("log.txt"), "old content\r\n") << named;
        EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"log.txt"})) << named;
    }
}

TEST(ReadWholeFile, RefusesFoldersAndOversizedFiles) {
    TempDir dir;
    dir.write("a.txt", std::string(100, 'a'));
    bool tooLarge = false;
    EXPECT_FALSE(readWholeFile(dir.file("a.txt"), 99, &tooLarge).has_value());
    EXPECT_TRUE(tooLarge);
    EXPECT_EQ(readWholeFile(dir.file("a.txt"), 100, &tooLarge)->size(), 100u);
    EXPECT_FALSE(tooLarge);
    EXPECT_FALSE(readWholeFile(dir.path()).has_value());
    EXPECT_FALSE(readWholeFile(dir.file("missing")).has_value());
}

// Files follow the operator's umask when they are made and keep their mode when
// they are rewritten: a log made private stays private after an edit.
class FileModes : public ::testing::Test {
  protected:
    TempDir dir;
    mode_t savedMask = 0;
    void SetUp() override { savedMask = ::umask(077); }
    void TearDown() override { ::umask(savedMask); }
    mode_t modeOf(const std::string& name) {
        struct stat st {};
        EXPECT_EQ(::stat(dir.file(name).c_str(), &st), 0) << name;
        return st.st_mode & 07777;
    }
};

TEST_F(FileModes, NewFilesFollowTheUmask) {
    ASSERT_TRUE(replaceAtomically(dir.file("new.txt"), "a").ok());
    ASSERT_TRUE(replaceThroughNamedTemp(dir.file("named.txt"), "a").ok());
    ASSERT_TRUE(appendDurably(dir.file("appended.txt"), "a").ok());
    for (const char* name : {"new.txt", "named.txt", "appended.txt"}) {
        EXPECT_EQ(modeOf(name), 0600u) << name;
    }
    ::umask(022);
    ASSERT_TRUE(replaceAtomically(dir.file("shared.txt"), "a").ok());
    EXPECT_EQ(modeOf("shared.txt"), 0644u);
}

TEST_F(FileModes, ARewriteKeepsTheModeTheFileHad) {
    ::umask(022);
    for (mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0664}}) {
        dir.write("log.txt", "old");
        ASSERT_EQ(::chmod(dir.file("log.txt").c_str(), mode), 0);
        ASSERT_TRUE(replaceAtomically(dir.file("log.txt"), "new").ok());
        EXPECT_EQ(modeOf("log.txt"), mode);
        ASSERT_TRUE(replaceThroughNamedTemp(dir.file("log.txt"), "newer").ok());
        EXPECT_EQ(modeOf("log.txt"), mode);
        EXPECT_EQ(dir.read("log.txt"), "newer");
    }
}
