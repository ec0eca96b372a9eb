#include "core/dupe_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "core/text_util.h"

namespace wexon::core {
namespace {

QsoRecord contact(const std::string& call, const std::string& band) {
    QsoRecord r;
    r.call = call;
    r.band = band;
    return r;
}

// The partial list as a plain walk of the whole log in record order.
std::string referenceWalk(const std::vector<QsoRecord>& records, const std::string& typed,
                          const std::string& band, std::size_t limit = 100) {
    std::string out;
    if (typed.empty()) {
        return out;
    }
    for (const auto& r : records) {
        if (!equalsIgnoreCase(r.band, band)) {
            continue;
        }
        if (r.call.size() >= typed.size() &&
            equalsIgnoreCase(std::string_view(r.call).substr(0, typed.size()), typed)) {
            out += " " + r.call;
            if (out.size() > limit) {
                break;
            }
        }
    }
    return out;
}

std::string randomCall(std::mt19937& rng, const std::string& firstLetters) {
    static const std::string letters = "ABKWabkw";
    std::uniform_int_distribution<std::size_t> first(0, firstLetters.size() - 1);
    std::uniform_int_distribution<std::size_t> letter(0, letters.size() - 1);
    std::uniform_int_distribution<int> digit(0, 3);
    std::uniform_int_distribution<int> suffix(1, 3);
    std::string call(1, firstLetters[first(rng)]);
    call += static_cast<char>('0' + digit(rng));
    for (int n = suffix(rng); n > 0; --n) {
        call += letters[letter(rng)];
    }
    return call;
}

TEST(DupeIndex, RecordsWithCallMatchTheWholeCallIgnoringCase) {
    DupeIndex index;
    index.rebuild({contact("W1AW", "20"), contact("W1AW/P", "20"), contact("w1aw", "40"),
                   contact("K1ABC", "20"), contact("W1AW", "15")});
    EXPECT_EQ(index.recordsWithCall("W1AW"), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(index.recordsWithCall("w1aw/p"), (std::vector<int>{2}));
    EXPECT_TRUE(index.recordsWithCall("W1A").empty());
    EXPECT_TRUE(index.recordsWithCall("").empty());
    EXPECT_EQ(index.count(), 5);
    EXPECT_TRUE(index.hasCallOnBand("w1aw", "40"));
    EXPECT_TRUE(index.hasCallOnBand("W1AW/P", "20"));
    EXPECT_FALSE(index.hasCallOnBand("W1AW/P", "40"));
    EXPECT_FALSE(index.hasCallOnBand("W1A", "20"));
    EXPECT_FALSE(index.hasCallOnBand("W1AW", "10"));
}

TEST(DupeIndex, PartialListKeepsRecordOrderAndTheBand) {
    std::vector<QsoRecord> log{contact("W1AW", "20"), contact("K1ABC", "20"),
                               contact("W1ABC", "40"), contact("w1xyz", "20"),
                               contact("W1A", "20")};
    DupeIndex index;
    index.rebuild(log);
    EXPECT_EQ(index.partialList("W1", "20"), " W1AW w1xyz W1A");
    EXPECT_EQ(index.partialList("w1a", "20"), " W1AW W1A");
    EXPECT_EQ(index.partialList("W1", "40"), " W1ABC");
    EXPECT_EQ(index.partialList("W1", "10"), "");
    EXPECT_EQ(index.partialList("W1AWX", "20"), "");
    EXPECT_EQ(index.partialList("", "20"), "");
}

TEST(DupeIndex, PartialListStopsOnceItPassesTheLimit) {
    std::vector<QsoRecord> log;
    for (int i = 0; i < 60; ++i) {
        log.push_back(contact(
            "W1A" + std::string(1, static_cast<char>('A' + i % 26)) + std::to_string(i), "20"));
    }
    DupeIndex index;
    index.rebuild(log);
    std::string list = index.partialList("W", "20");
    EXPECT_GT(list.size(), 100u);
    EXPECT_LE(list.size(), 100u + 1 + log.back().call.size());
    EXPECT_EQ(list, referenceWalk(log, "W", "20"));
    // The call that crossed the limit is the last one shown.
    std::string withoutLast = list.substr(0, list.rfind(' '));
    EXPECT_LE(withoutLast.size(), 100u);
}

TEST(DupeIndex, AddingRecordsOneByOneEqualsARebuild) {
    std::mt19937 rng(3);
    std::vector<QsoRecord> log;
    DupeIndex added;
    // Enough records that the recent calls are merged into the sorted run many times.
    for (int i = 0; i < 3000; ++i) {
        QsoRecord r = contact(randomCall(rng, "KW"), i % 3 == 0 ? "40" : "20");
        log.push_back(r);
        added.add(r);
    }
    DupeIndex rebuilt;
    rebuilt.rebuild(log);
    for (const std::string typed : {"K", "W1", "w2a", "K0B", "W3KK"}) {
        for (const std::string band : {"20", "40"}) {
            EXPECT_EQ(added.partialList(typed, band), rebuilt.partialList(typed, band));
            EXPECT_EQ(added.partialList(typed, band), referenceWalk(log, typed, band));
        }
    }
    for (int n = 1; n <= 3000; n += 37) {
        EXPECT_EQ(added.recordsWithCall(log[n - 1].call), rebuilt.recordsWithCall(log[n - 1].call));
        EXPECT_TRUE(added.hasCallOnBand(log[n - 1].call, log[n - 1].band));
    }
}

TEST(DupeIndex, OtherStationsContactsCountOnTheirBandButAreNoRecords) {
    std::mt19937 rng(11);
    std::vector<QsoRecord> log;
    DupeIndex::RemoteMap remotes;
    DupeIndex added;
    for (int i = 0; i < 2000; ++i) {
        QsoRecord r = contact(randomCall(rng, "KW"), i % 2 == 0 ? "40" : "20");
        if (i % 5 == 0) {
            const std::string id = "R" + std::to_string(i);
            remotes[id] = RemoteContact{"RUN2", "K1OP", r};
            added.addRemote(id, r);
        } else {
            log.push_back(r);
            added.add(r);
        }
    }
    DupeIndex rebuilt;
    rebuilt.rebuild(log, remotes);
    EXPECT_EQ(added.count(), static_cast<int>(log.size()));
    EXPECT_EQ(added.entryCount(), 2000);
    for (const auto& [id, c] : remotes) {
        for (const DupeIndex* index : {&added, &rebuilt}) {
            EXPECT_TRUE(index->hasCallOnBand(c.record.call, c.record.band));
            std::string lower = c.record.call;
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
            auto ids = index->remotesWithCallOnBand(lower, c.record.band);
            EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << c.record.call;
            // Record numbers name this station's records only.
            for (int n : index->recordsWithCall(c.record.call)) {
                ASSERT_GE(n, 1);
                ASSERT_LE(n, static_cast<int>(log.size()));
                EXPECT_TRUE(
                    equalsIgnoreCase(log[static_cast<std::size_t>(n - 1)].call, c.record.call));
            }
        }
    }
    // The partial list shows other stations' calls too.
    const auto& first = remotes.begin()->second.record;
    EXPECT_NE(added.partialList(first.call, first.band).find(first.call), std::string::npos);
}

// Logs of many shapes: few and many matches, matches spread over the log or
// bunched at its end, several bands, a limit small enough to cut the list often.
TEST(DupeIndex, PartialListEqualsAPlainWalkOnRandomLogs) {
    std::mt19937 rng(5);
    const std::string bands[] = {"20", "40", "160"};
    for (int round = 0; round < 30; ++round) {
        std::uniform_int_distribution<int> size(0, 3000);
        const int n = size(rng);
        std::vector<QsoRecord> log;
        for (int i = 0; i < n; ++i) {
            // Early records start with K, later ones with W in half of the rounds.
            std::string first = (round % 2 == 0 || i < n / 2) ? "KW" : "W";
            if (round % 2 == 1 && i < n / 2) {
                first = "K";
            }
            log.push_back(contact(randomCall(rng, first),
                                  bands[static_cast<std::size_t>((i * 7 + round) % 3)]));
        }
        DupeIndex index;
        index.rebuild(log);
        std::uniform_int_distribution<int> pickRecord(0, std::max(0, n - 1));
        for (int q = 0; q < 30; ++q) {
            std::string typed;
            if (n > 0 && q % 4 != 0) {
                const std::string& call = log[static_cast<std::size_t>(pickRecord(rng))].call;
                std::uniform_int_distribution<std::size_t> len(1, call.size());
                typed = call.substr(0, len(rng));
            } else {
                typed = randomCall(rng, "KWZ").substr(0, 2);
            }
            const std::string& band = bands[static_cast<std::size_t>(q % 3)];
            for (std::size_t limit : {std::size_t{100}, std::size_t{10}, std::size_t{150}}) {
                ASSERT_EQ(index.partialList(typed, band, limit),
                          referenceWalk(log, typed, band, limit))
                    << "round " << round << " typed " << typed << " band " << band;
            }
        }
    }
}

TEST(DupeIndex, BandsCompareIgnoringCase) {
    DupeIndex index;
    index.rebuild({contact("W1AW", "20m"), contact("K1A", "20M")});
    EXPECT_EQ(index.partialList("W", "20M"), " W1AW");
    EXPECT_EQ(index.partialList("K", "20m"), " K1A");
}

} // namespace
} // namespace wexon::core
