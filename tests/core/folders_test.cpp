#include "core/folders.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace wexon::core {
namespace {

namespace fs = std::filesystem;

TEST(CallToFileName, LongestLeadingRunOfDigitsAndCapitals) {
    struct Case {
        const char* call;
        const char* stem;
    };
    const Case cases[] = {
        {"W1AW/P", "W1AW"},
        {"W1AW", "W1AW"},
        {"DL1ABC", "DL1ABC"},
        {"DL/W1AW", "DL"},
        {"4X1AA", "4X1AA"},
        {"W1AW-5", "W1AW"},
        {"W1aw", "W1"},
        {"", "YourCall"},
        {"w1aw", "YourCall"},
        {"/P", "YourCall"},
        {" W1AW", "YourCall"},
        {"\xc4"
         "B1",
         "YourCall"},
        {"K1ABC ", "K1ABC"},
        {"VP2E/W1AW", "VP2E"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(callToFileName(c.call), c.stem) << "call \"" << c.call << "\"";
    }
}

TEST(EnsureFolder, EmptyPathIsInvalid) {
    EXPECT_EQ(ensureFolder(""), "Invalid Path");
}

TEST(EnsureFolder, CreatesTheLastLevel) {
    test::TempDir dir;
    const std::string path = dir.file("TARNO Software");
    EXPECT_EQ(ensureFolder(path), "");
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(ensureFolder(path + "/CQ WPX/"), ""); // a trailing slash names the same folder
    EXPECT_TRUE(fs::is_directory(path + "/CQ WPX"));
}

TEST(EnsureFolder, ExistingFolderIsSuccess) {
    test::TempDir dir;
    fs::create_directory(dir.file("BACKUP"));
    dir.write("BACKUP/log.txt", "x");
    EXPECT_EQ(ensureFolder(dir.file("BACKUP")), "");
    EXPECT_EQ(dir.read("BACKUP/log.txt"), "x"); // contents untouched
}

TEST(EnsureFolder, MissingParentIsAnErrorAndNothingIsCreated) {
    test::TempDir dir;
    std::string error = ensureFolder(dir.file("a/b/c"));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(fs::exists(dir.file("a")));
}

TEST(EnsureFolder, FileInTheWayIsAnError) {
    test::TempDir dir;
    dir.write("Shared", "not a folder");
    EXPECT_EQ(ensureFolder(dir.file("Shared")), "File exists");
}

} // namespace
} // namespace wexon::core
