#include <gtest/gtest.h>

#include <map>

#include "spots/pack_spot_settings.h"
#include "spots/skimmer_line.h"
#include "spots/spot_marks.h"

namespace wexon::spots {
namespace {

const core::DateTime kMarksNow{2026, 5, 30, 12, 0, 0};

// A status rule from a table: calls not listed are ordinary.
StatusRule tableRule(std::map<std::string, core::ContactStatus> table) {
    return [table](std::string_view call) {
        core::ContactStatusResult r;
        r.prefix = std::string(call.substr(0, 3));
        const auto it = table.find(std::string(call));
        if (it != table.end()) {
            r.status = it->second;
        }
        return r;
    };
}

// ---------------------------------------------------------------- skimmer lines

TEST(SkimmerLine, ReadsTheWordsWhereTheClusterColumnsWouldMisread) {
    const auto r = parseSkimmerLine(
        "DX de DK9IP-#:    14025.1  JA1ABC       CW    18 dB  26 WPM  CQ      1234Z");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->spotter, "DK9IP");
    EXPECT_DOUBLE_EQ(r->khz, 14025.1);
    EXPECT_EQ(r->call, "JA1ABC");
    EXPECT_EQ(r->mode, "CW");
    EXPECT_EQ(r->db, 18);
    EXPECT_EQ(r->speed, 26);
    EXPECT_EQ(r->kind, "CQ");
    EXPECT_EQ(r->time, "1234Z");

    // RTTY in baud, a long spotter call, lower case.
    const auto rtty =
        parseSkimmerLine("dx de VE7CC-1-#: 7045.5 k1abc RTTY 7 dB 45 BPS CQ 0002Z");
    ASSERT_TRUE(rtty);
    EXPECT_EQ(rtty->spotter, "VE7CC-1");
    EXPECT_EQ(rtty->call, "K1ABC");
    EXPECT_EQ(rtty->speed, 45);

    // A cut-off line still gives the signal.
    const auto cut = parseSkimmerLine("DX de W3LPL-#: 3525.0 OH2BH");
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->call, "OH2BH");
    EXPECT_FALSE(cut->db);
}

TEST(SkimmerLine, PeopleAndRubbishAreNotSkimmerReports) {
    EXPECT_FALSE(parseSkimmerLine("DX de W1XX:     14025.0  JA1XYZ       CQ WPX      1234Z"));
    EXPECT_FALSE(parseSkimmerLine("DX de DK9IP-#:  abc  JA1ABC CW"));
    EXPECT_FALSE(parseSkimmerLine("DX de DK9IP-#:  14025.1  <b>JA1</b>"));
    EXPECT_FALSE(parseSkimmerLine("DX de DK9IP-#:  -5 JA1ABC"));
    EXPECT_FALSE(parseSkimmerLine("DX de DK9IP-#:  1e300 JA1ABC"));
    EXPECT_FALSE(parseSkimmerLine("DX de DK9IP-#:"));
    EXPECT_FALSE(parseSkimmerLine(""));
    EXPECT_TRUE(isSkimmerSpotter("DK9IP-#:"));
    EXPECT_FALSE(isSkimmerSpotter("-#"));
    EXPECT_FALSE(isSkimmerSpotter("W1XX:"));
}

TEST(SkimmerTally, CountsDistinctSkimmersOfOneSignal) {
    SkimmerTally t;
    EXPECT_EQ(t.hear("JA1ABC", "DK9IP", 14025.1).skimmers, 1);
    const auto repeat = t.hear("JA1ABC", "DK9IP", 14025.1);
    EXPECT_TRUE(repeat.sameSignal);
    EXPECT_EQ(repeat.skimmers, 1);
    const auto second = t.hear("ja1abc", "W3LPL", 14025.5);
    EXPECT_TRUE(second.sameSignal);
    EXPECT_EQ(second.skimmers, 2);
    // The same skimmer again is not another one.
    EXPECT_EQ(t.hear("JA1ABC", "w3lpl", 14025.4).skimmers, 2);
    // Further than the tolerance from the last report: another signal.
    const auto moved = t.hear("JA1ABC", "VE2WU", 14026.0);
    EXPECT_FALSE(moved.sameSignal);
    EXPECT_EQ(moved.skimmers, 1);
}

TEST(SkimmerTally, ForgetsTheCallsHeardLongestAgo) {
    SkimmerTally t;
    t.hear("KEEP1", "A", 7000.0);
    for (std::size_t i = 0; i < SkimmerTally::kMaxCalls + 10; ++i) {
        t.hear("K" + std::to_string(i), "A", 7000.0);
        if (i % 100 == 0) {
            t.hear("KEEP1", "B", 7000.0); // heard again and again
        }
    }
    EXPECT_LE(t.size(), SkimmerTally::kMaxCalls);
    EXPECT_TRUE(t.hear("KEEP1", "C", 7000.0).sameSignal);
    EXPECT_FALSE(t.hear("K0", "B", 7000.0).sameSignal) << "long forgotten";
}

// ---------------------------------------------------------------- marks

TEST(SpotMarkWords, SayStatusAndSkimmers) {
    SpotMark m;
    EXPECT_EQ(markWords(m), "");
    m.status = core::ContactStatus::NewPrefix;
    m.prefix = "JA1";
    EXPECT_EQ(markWords(m), "new prefix JA1");
    m.skimmers = 3;
    EXPECT_EQ(markWords(m), "new prefix JA1, 3 skimmers");
    m.status = core::ContactStatus::Dupe;
    m.skimmers = 1;
    m.unconfirmed = true;
    EXPECT_EQ(markWords(m), "dupe, unconfirmed");

    SpotSlot s;
    s.call = "JA1ABC";
    s.frequency = 14.025f;
    s.time = core::DateTime{2026, 5, 30, 11, 57, 0};
    s.mark.status = core::ContactStatus::NewPrefix;
    s.mark.prefix = "JA1";
    EXPECT_EQ(spotSpokenText(s, kMarksNow), "JA1ABC 14.025, new prefix JA1, 3 minutes ago");
    s.time = kMarksNow;
    s.mark = {};
    EXPECT_EQ(spotSpokenText(s, kMarksNow), "JA1ABC 14.025, just now");
    EXPECT_EQ(spotMarkedToolTip(s, 5.0f), "JA1ABC  14.025  17:00:00");
}

TEST(RemarkSpots, ChangesOnlyWhatTheRuleChangedAndKeepsSkimmerCounts) {
    SpotStore store;
    SpotList list;
    store.add("K1AA", 14.010f, kMarksNow);
    store.add("K2BB", 14.020f, kMarksNow);
    store.add("K1AA", 14.030f, kMarksNow); // blanks the first
    SpotMark skimmed;
    skimmed.skimmers = 2;
    store.setMark(49, skimmed);
    list.push(makeSpotListRow("K2BB", 14.020f, "USA", "de W1XX:"));

    auto first = remarkSpots(store, list,
                             tableRule({{"K1AA", core::ContactStatus::Dupe},
                                        {"K2BB", core::ContactStatus::NewPrefix}}));
    EXPECT_EQ(first.changedSlots, (std::vector<int>{48, 49})) << "blank slots are passed over";
    EXPECT_EQ(first.changedRows, (std::vector<std::size_t>{0}));
    EXPECT_EQ(store.slot(49).mark.status, core::ContactStatus::Dupe);
    EXPECT_EQ(store.slot(49).mark.skimmers, 2);
    EXPECT_EQ(list.row(0).status, "new prefix K2B");

    // Nothing changed: nothing to redraw.
    auto again = remarkSpots(store, list,
                             tableRule({{"K1AA", core::ContactStatus::Dupe},
                                        {"K2BB", core::ContactStatus::NewPrefix}}));
    EXPECT_TRUE(again.changedSlots.empty());
    EXPECT_TRUE(again.changedRows.empty());

    // K2BB worked: ordinary, and the row's status is cleared.
    auto worked = remarkSpots(store, list, tableRule({{"K1AA", core::ContactStatus::Dupe}}));
    EXPECT_EQ(worked.changedSlots, (std::vector<int>{48}));
    EXPECT_EQ(list.row(0).status, "");

    // A new spot starts unmarked, whatever the slot held before.
    store.add("K3CC", 14.040f, kMarksNow);
    EXPECT_EQ(store.slot(49).mark, SpotMark{});
}

TEST(SpotFilter, HidesDupesOrShowsOnlyNewPrefixes) {
    SpotStore store;
    store.add("K1AA", 14.010f, kMarksNow);
    store.add("K2BB", 14.020f, kMarksNow);
    store.add("K3CC", 14.030f, kMarksNow);
    remarkSpots(store, *std::make_unique<SpotList>(),
                tableRule({{"K1AA", core::ContactStatus::Dupe},
                           {"K3CC", core::ContactStatus::NewPrefix}}));
    const std::vector<LabelPlacement> all{{49, 0, 0.3, SpotAge::Fresh},
                                          {48, 0, 0.2, SpotAge::Fresh},
                                          {47, 0, 0.1, SpotAge::Fresh}};
    auto shown = [&](SpotFilter f) {
        std::vector<LabelPlacement> p = all;
        filterPlacements(p, store, f);
        std::vector<int> slots;
        for (const auto& l : p) {
            slots.push_back(l.slot);
        }
        return slots;
    };
    EXPECT_EQ(shown({}), (std::vector<int>{49, 48, 47}));
    EXPECT_EQ(shown({true, false}), (std::vector<int>{49, 48}));
    EXPECT_EQ(shown({false, true}), (std::vector<int>{49}));
    EXPECT_EQ(shown({true, true}), (std::vector<int>{49}));
}

TEST(JumpTarget, NearestAboveOrBelowSkippingWhatIsAskedAndTheSpotUnderTheRig) {
    SpotStore store;
    store.add("K1AA", 14.010f, kMarksNow); // 45
    store.add("K2BB", 14.020f, kMarksNow); // 46
    store.add("K3CC", 14.030f, kMarksNow); // 47
    store.add("K4DD", 14.020f, kMarksNow); // 48, same frequency as K2BB, newer
    store.add("K5EE", 14.040f, kMarksNow); // 49
    remarkSpots(store, *std::make_unique<SpotList>(),
                tableRule({{"K3CC", core::ContactStatus::Dupe}}));
    std::vector<LabelPlacement> shown;
    for (int i = 49; i >= 45; --i) {
        shown.push_back({i, 0, 0.0, SpotAge::Fresh});
    }
    using D = JumpDirection;
    EXPECT_EQ(jumpTarget(store, shown, 14.015, D::Up, false), 48) << "the newer of two on 14.020";
    EXPECT_EQ(jumpTarget(store, shown, 14.015, D::Down, false), 45);
    EXPECT_EQ(jumpTarget(store, shown, 14.020, D::Up, false), 47) << "not the spot the rig is on";
    EXPECT_EQ(jumpTarget(store, shown, 14.020, D::Up, true), 49) << "the dupe passed over";
    EXPECT_EQ(jumpTarget(store, shown, 14.040, D::Up, false), std::nullopt);
    EXPECT_EQ(jumpTarget(store, shown, 14.010, D::Down, false), std::nullopt);
    EXPECT_EQ(jumpTarget(store, {}, 14.0, D::Up, false), std::nullopt);
}

TEST(SpottedCalls, TellsTheCheckPartialListWhenTheSetChanges) {
    SpotStore store;
    store.add("k1aa", 14.010f, kMarksNow);
    store.add("K2BB", 14.020f, kMarksNow);
    SpottedCalls spotted;
    const std::vector<LabelPlacement> both{{49, 0, 0.0, SpotAge::Fresh},
                                           {48, 0, 0.0, SpotAge::Fresh}};
    EXPECT_TRUE(spotted.update(store, both));
    EXPECT_EQ(spotted.changes(), 1u);
    EXPECT_TRUE(spotted.contains("K1AA"));
    EXPECT_TRUE(spotted.contains("k2bb"));
    EXPECT_FALSE(spotted.contains("K3CC"));
    EXPECT_FALSE(spotted.update(store, {both[1], both[0]})) << "same set, other order";
    EXPECT_EQ(spotted.changes(), 1u);
    EXPECT_TRUE(spotted.update(store, {both[0]}));
    EXPECT_EQ(spotted.changes(), 2u);
    EXPECT_FALSE(spotted.contains("K1AA"));
}

TEST(KnownCalls, OnlyTheWholeCallCounts) {
    const auto known = core::SuperCheckPartial::fromText("JA1ABC\nJA1ABCD\nOH2BH\n");
    EXPECT_TRUE(isKnownCall(known, "JA1ABC"));
    EXPECT_TRUE(isKnownCall(known, "oh2bh"));
    EXPECT_FALSE(isKnownCall(known, "JA1AB"));
    EXPECT_FALSE(isKnownCall(known, "H2BH"));
    EXPECT_FALSE(isKnownCall(known, ""));
    EXPECT_FALSE(isKnownCall(core::SuperCheckPartial{}, "JA1ABC"));
}

TEST(SpokenCall, OnePromptPerCharacter) {
    EXPECT_EQ(spokenCallPrompts("dl/k1abc"),
              (std::vector<std::string>{"D", "L", "Stroke", "K", "1", "A", "B", "C"}));
    EXPECT_TRUE(spokenCallPrompts("<>").empty());
}

TEST(PackSpotFile, AnOlderFileLeavesTheBandMapChoicesOff) {
    PackSpotSettings s;
    s.telnetHost = "dxc.example.net";
    s.hideDupes = true;
    s.newPrefixesOnly = true;
    s.jumpSkipsDupes = true;
    std::string bytes = writePackSpot(s);
    // Cut the three new lines off: the file an older version wrote.
    for (int i = 0; i < 3; ++i) {
        bytes.erase(bytes.rfind("#TRUE#\r\n"));
    }
    bool complete = false;
    const PackSpotSettings read = readPackSpot(bytes, {}, &complete);
    EXPECT_TRUE(complete);
    EXPECT_EQ(read.telnetHost, "dxc.example.net");
    EXPECT_FALSE(read.hideDupes);
    EXPECT_FALSE(read.newPrefixesOnly);
    EXPECT_FALSE(read.jumpSkipsDupes);
}

} // namespace
} // namespace wexon::spots
