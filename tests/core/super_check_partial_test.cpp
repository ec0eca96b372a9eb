#include "core/super_check_partial.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace wexon::core {
namespace {

using Scp = SuperCheckPartial;

std::vector<std::string> shown(const Scp& scp, const Scp::Matches& m) {
    std::vector<std::string> out;
    for (std::uint32_t i : m.calls) {
        out.emplace_back(scp.call(i));
    }
    return out;
}

std::vector<std::string> find(const Scp& scp, std::string_view typed, std::size_t limit = 50) {
    return shown(scp, scp.search(typed, limit));
}

// A file like the shipped one: a comment block, then calls in order.
const char* kSample = "#\n# Release 2023.05.02.00\n#\n"
                      "K1AB\nK1ABC\nAK1AB\nW1AW\nK1ABD\nN1K1AB\nVE3K1A\nDL1ABC\nK1A/P\n";

// Calls shaped like real ones, for comparing the index with the plain scan.
std::string generatedFile(std::size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const std::string prefixes[] = {"K", "W", "N", "AA", "VE", "DL", "G", "JA", "EA", "OH", "9A"};
    std::string out = "# generated\n";
    for (std::size_t i = 0; i < count; ++i) {
        std::string call = prefixes[rng() % std::size(prefixes)];
        call += static_cast<char>('0' + rng() % 10);
        const std::size_t suffix = 1 + rng() % 3;
        for (std::size_t k = 0; k < suffix; ++k) {
            call += letters[rng() % letters.size()];
        }
        if (rng() % 40 == 0) {
            call += "/P";
        }
        out += call + "\n";
    }
    return out;
}

TEST(SuperCheckPartialLoad, KeepsCallsOnceInCapitalsAndPassesOverCommentsAndNonCalls) {
    Scp::LoadStats stats;
    const Scp scp = Scp::fromText("# comment\r\n  k1ab \r\nK1AB\r\n\r\nhello world\r\nABCDEF\r\n"
                                  "123456\r\nK1\r\nW1AW\rDL1ABC\n#K9ZZ\n",
                                  &stats);
    ASSERT_EQ(scp.size(), 3u);
    EXPECT_EQ(scp.call(0), "DL1ABC");
    EXPECT_EQ(scp.call(1), "K1AB");
    EXPECT_EQ(scp.call(2), "W1AW");
    EXPECT_EQ(stats.duplicates, 1u);
    // "hello world" (a blank inside), "ABCDEF" (no digit), "123456" (no
    // letter) and "K1" (too short) are not calls.
    EXPECT_EQ(stats.skipped, 4u);
    EXPECT_FALSE(stats.callLimitReached);
    EXPECT_FALSE(stats.byteLimitReached);
}

TEST(SuperCheckPartialLoad, EmptyAndCommentOnlyFilesHoldNoCalls) {
    EXPECT_TRUE(Scp::fromText("").empty());
    EXPECT_TRUE(Scp::fromText("#\n# nothing here\n\n").empty());
    EXPECT_TRUE(Scp().search("K1", 10).calls.empty());
}

TEST(SuperCheckPartialLoad, BinaryBytesNeitherCrashNorBringInWhatIsNotACall) {
    std::mt19937 rng(7);
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(rng());
    }
    Scp::LoadStats stats;
    const Scp scp = Scp::fromText(bytes, &stats);
    for (std::uint32_t i = 0; i < scp.size(); ++i) {
        const std::string_view c = scp.call(i);
        EXPECT_GE(c.size(), Scp::kMinCallLength);
        EXPECT_LE(c.size(), Scp::kMaxCallLength);
        EXPECT_EQ(c.find_first_not_of("/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
                  std::string_view::npos);
    }
    EXPECT_GT(stats.skipped, 0u);
    // Searching what was read is as safe as reading it.
    EXPECT_LE(scp.search("A1", 1000).calls.size(), 1000u);
}

TEST(SuperCheckPartialLoad, VeryLongLinesArePassedOverAndTheNextLineStillCounts) {
    std::string bytes = "K1AB\n";
    bytes += std::string(1 << 20, 'K');
    bytes += "\nW1AW\n";
    bytes += "  " + std::string(Scp::kMaxCallLength + 1, 'A') + "1\n";
    Scp::LoadStats stats;
    const Scp scp = Scp::fromText(bytes, &stats);
    ASSERT_EQ(scp.size(), 2u);
    EXPECT_EQ(scp.call(0), "K1AB");
    EXPECT_EQ(scp.call(1), "W1AW");
    EXPECT_EQ(stats.skipped, 2u);
}

TEST(SuperCheckPartialLoad, AFileBeyondTheByteLimitIsReadOnlyUpToTheLastWholeLine) {
    // Comment lines up to three bytes short of the limit, then a call: the
    // limit cuts it to "K1A", which has the shape of a call but must not come in.
    std::string bytes;
    const std::size_t padding = Scp::kMaxFileBytes - 3;
    while (bytes.size() + 100 <= padding) {
        bytes += "#" + std::string(98, 'x') + "\n";
    }
    bytes += "#" + std::string(padding - bytes.size() - 2, 'x') + "\n";
    ASSERT_EQ(bytes.size(), padding);
    bytes += "K1ABCD\nW1AW\n";
    Scp::LoadStats stats;
    const Scp scp = Scp::fromText(bytes, &stats);
    EXPECT_TRUE(stats.byteLimitReached);
    EXPECT_TRUE(scp.empty());

    // Four bytes fewer before it and the call ends right at the limit: it
    // comes in whole, and the call after it does not.
    const Scp whole = Scp::fromText(std::string_view(bytes).substr(4));
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole.call(0), "K1ABCD");
}

TEST(SuperCheckPartialLoad, CallsBeyondTheCallLimitAreLeftOut) {
    std::string bytes;
    for (std::size_t i = 0; i < Scp::kMaxCalls + 10; ++i) {
        bytes += "K" + std::to_string(i) + "A\n";
    }
    Scp::LoadStats stats;
    const Scp scp = Scp::fromText(bytes, &stats);
    EXPECT_TRUE(stats.callLimitReached);
    EXPECT_EQ(scp.size(), Scp::kMaxCalls);
}

TEST(SuperCheckPartialSearch, FindsEveryCallContainingTheTextBeginningsFirst) {
    const Scp scp = Scp::fromText(kSample);
    EXPECT_EQ(find(scp, "K1A"), (std::vector<std::string>{"K1A/P", "K1AB", "K1ABC", "K1ABD",
                                                          "AK1AB", "N1K1AB", "VE3K1A"}));
    EXPECT_EQ(find(scp, "1AB"), (std::vector<std::string>{"AK1AB", "DL1ABC", "K1AB", "K1ABC",
                                                          "K1ABD", "N1K1AB"}));
    EXPECT_EQ(find(scp, "K1ABC"), (std::vector<std::string>{"K1ABC"}));
    EXPECT_EQ(find(scp, "A/P"), (std::vector<std::string>{"K1A/P"}));
    EXPECT_TRUE(find(scp, "ZZZ").empty());
}

TEST(SuperCheckPartialSearch, TypedTextIsReadInCapitalsWithoutSurroundingBlanks) {
    const Scp scp = Scp::fromText(kSample);
    EXPECT_EQ(find(scp, " w1a "), (std::vector<std::string>{"W1AW"}));
}

TEST(SuperCheckPartialSearch, StartsFromTheSecondCharacter) {
    const Scp scp = Scp::fromText(kSample);
    EXPECT_TRUE(find(scp, "").empty());
    EXPECT_TRUE(find(scp, "K").empty());
    EXPECT_TRUE(find(scp, " K ").empty());
    EXPECT_EQ(find(scp, "W1"), (std::vector<std::string>{"W1AW"}));
    EXPECT_EQ(scp.search("K", 10).total, 0u);
}

TEST(SuperCheckPartialSearch, ShowsAtMostTheLimitButCountsEveryMatch) {
    const Scp scp = Scp::fromText(kSample);
    const Scp::Matches m = scp.search("K1", 3);
    EXPECT_EQ(shown(scp, m), (std::vector<std::string>{"K1A/P", "K1AB", "K1ABC"}));
    EXPECT_EQ(m.total, 7u); // K1A/P K1AB K1ABC K1ABD AK1AB N1K1AB VE3K1A
    EXPECT_TRUE(scp.search("K1", 0).calls.empty());
    EXPECT_EQ(scp.search("K1", 0).total, 7u);
}

TEST(SuperCheckPartialSearch, TextNoCallCanHoldMatchesNothing) {
    const Scp scp = Scp::fromText(kSample);
    EXPECT_TRUE(find(scp, "K1?").empty());
    EXPECT_TRUE(find(scp, "K 1").empty());
    EXPECT_TRUE(find(scp, std::string(Scp::kMaxCallLength + 1, 'K')).empty());
    EXPECT_TRUE(find(scp, "\xC4\xD6").empty());
}

TEST(SuperCheckPartialSearch, AnswersAsThePlainScanDoesForEveryTypingStep) {
    const Scp scp = Scp::fromText(generatedFile(5000, 3));
    std::mt19937 rng(11);
    const std::string symbols = "/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int round = 0; round < 200; ++round) {
        std::string target;
        if (round % 4 == 0) {
            // Random text, mostly matching nothing.
            for (std::size_t k = 0; k < 2 + rng() % 4; ++k) {
                target += symbols[rng() % symbols.size()];
            }
        } else {
            target = std::string(scp.call(static_cast<std::uint32_t>(rng() % scp.size())));
        }
        for (std::size_t typed = 1; typed <= target.size(); ++typed) {
            const std::string text = target.substr(0, typed);
            for (std::size_t limit : {std::size_t{5}, std::size_t{100000}}) {
                const Scp::Matches fast = scp.search(text, limit);
                const Scp::Matches slow = scp.searchLinear(text, limit);
                ASSERT_EQ(fast.calls, slow.calls) << text << " limit " << limit;
                ASSERT_EQ(fast.total, slow.total) << text;
            }
        }
    }
}

TEST(SuperCheckPartialFile, ReadsAPlainFileAndKeepsItsCallsWhenANewReadFails) {
    test::TempDir dir;
    dir.write("MASTER.SCP", kSample);
    Scp scp;
    const Scp::LoadResult first = scp.loadFile(dir.file("MASTER.SCP"));
    ASSERT_TRUE(first.ok) << first.error;
    EXPECT_EQ(scp.size(), 9u);

    const Scp::LoadResult missing = scp.loadFile(dir.file("none.scp"));
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());
    EXPECT_EQ(scp.size(), 9u);

    const Scp::LoadResult folder = scp.loadFile(dir.path());
    EXPECT_FALSE(folder.ok);
    EXPECT_EQ(scp.size(), 9u);
}

TEST(SuperCheckPartialFile, APipeInThePlaceOfTheFileIsRefusedWithoutWaiting) {
    test::TempDir dir;
    const std::string pipe = dir.file("MASTER.SCP");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    Scp scp;
    const Scp::LoadResult r = scp.loadFile(pipe); // would hang if it waited for a writer
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(fileStampOf(pipe).has_value());
}

TEST(SuperCheckPartialFile, AnEmptyFileReadsAsNoCalls) {
    test::TempDir dir;
    dir.write("MASTER.SCP", "");
    Scp scp = Scp::fromText(kSample);
    const Scp::LoadResult r = scp.loadFile(dir.file("MASTER.SCP"));
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(scp.empty());
}

TEST(SuperCheckPartialFile, AHugeFileIsReadOnlyUpToTheLimit) {
    test::TempDir dir;
    const std::string path = dir.file("MASTER.SCP");
    {
        dir.write("MASTER.SCP", "K1AB\nW1AW\n");
        // A sparse file of 100 MB: zeros after the two calls.
        ASSERT_EQ(::truncate(path.c_str(), 100L * 1024 * 1024), 0);
    }
    Scp scp;
    const Scp::LoadResult r = scp.loadFile(path);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.stats.byteLimitReached);
    EXPECT_EQ(scp.size(), 2u);
}

TEST(SuperCheckPartialFile, TheStampChangesWhenTheFileIsReplaced) {
    test::TempDir dir;
    dir.write("MASTER.SCP", "K1AB\n");
    const auto before = fileStampOf(dir.file("MASTER.SCP"));
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(fileStampOf(dir.file("MASTER.SCP")), before);
    dir.write("new.scp", "K1AB\nW1AW\n");
    std::filesystem::rename(dir.file("new.scp"), dir.file("MASTER.SCP"));
    EXPECT_NE(fileStampOf(dir.file("MASTER.SCP")), before);
    EXPECT_FALSE(fileStampOf(dir.file("missing")).has_value());
}

TEST(SuperCheckPartialFile, TheWorkingFolderCopyComesBeforeTheSystemCopy) {
    test::TempDir dir;
    dir.write("system/MASTER.SCP", "W1AW\n");
    const std::string system = dir.file("system/MASTER.SCP");
    std::filesystem::create_directories(dir.file("work"));
    EXPECT_EQ(checkPartialFilePath(dir.file("work"), system), system);
    EXPECT_EQ(checkPartialFilePath(dir.file("work"), dir.file("none")), "");
    EXPECT_EQ(checkPartialFilePath(dir.file("work"), ""), "");
    dir.write("work/MASTER.SCP", "K1AB\n");
    EXPECT_EQ(checkPartialFilePath(dir.file("work"), system), dir.file("work/MASTER.SCP"));
}

TEST(SuperCheckPartialFile, TheShippedFileReadsWhole) {
    if (!fileStampOf(kCheckPartialSystemFile)) {
        GTEST_SKIP() << "no system copy of the file";
    }
    Scp scp;
    const Scp::LoadResult r = scp.loadFile(kCheckPartialSystemFile);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_GT(scp.size(), 50000u);
    EXPECT_FALSE(r.stats.byteLimitReached);
    EXPECT_FALSE(r.stats.callLimitReached);
    // The calls and their index stay small: about 2 MB for the shipped file,
    // where lists of plain 32-bit call numbers took twice that.
    EXPECT_LT(scp.heapBytes(), 2u * 1024u * 1024u + scp.size() * 4u);
    // Rare and common pieces alike, whose lists hold gaps of one to three bytes.
    for (const char* text : {"K1", "Q7", "ZZ", "3D2", "JA1", "/P", "DL1ABC", "XX9", "9V1"}) {
        ASSERT_EQ(scp.search(text, 1000).calls, scp.searchLinear(text, 1000).calls) << text;
        ASSERT_EQ(scp.search(text, 1000).total, scp.searchLinear(text, 1000).total) << text;
    }
}

QsoRecord contact(const std::string& call, const std::string& band) {
    QsoRecord r;
    r.call = call;
    r.band = band;
    return r;
}

TEST(WorkedOnBand, TakesTheCallsOfOneBandInCapitalsOnce) {
    const std::vector<QsoRecord> log = {contact("k1ab", "20"), contact("W1AW", "40"),
                                        contact("K1AB", "20"), contact("DL1ABC", "20"),
                                        contact("", "20")};
    const auto calls = callsWorkedOnBand(log, "20");
    EXPECT_EQ(calls, (std::vector<std::string>{"DL1ABC", "K1AB"}));
    EXPECT_TRUE(containsCall(calls, "K1AB"));
    EXPECT_FALSE(containsCall(calls, "W1AW"));
    EXPECT_FALSE(containsCall(calls, "K1A"));
    EXPECT_EQ(callsWorkedOnBand(log, "40"), (std::vector<std::string>{"W1AW"}));
    EXPECT_TRUE(callsWorkedOnBand(log, "10").empty());
}

} // namespace
} // namespace wexon::core
