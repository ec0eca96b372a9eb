#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "platform/mqtt_test_support.h"
#include "support/temp_dir.h"

namespace wexon::test {
namespace {

// Each station's own serials rise in each sequence (the whole log, or each
// band when serials count per band), and a station's first serial in a
// sequence it opened is 001 unless another station had already given numbers.
void expectSerialsRise(const TestStation& s, bool perBand) {
    std::map<std::string, long> last;
    for (const auto& r : s.contest->qsos()) {
        const std::string seq = perBand ? r.band : "";
        long serial = std::stol(r.serialSent);
        EXPECT_GT(serial, last[seq]) << s.name() << " " << r.call;
        last[seq] = serial;
    }
}

class StationNetworkTest : public ::testing::Test {
  protected:
    TempDir dir;
    TestBroker broker{dir.path() + "/broker"};
};

TEST_F(StationNetworkTest, FourStationsLoggingAtOnceShareOneLogAndOneSerialSequence) {
    ASSERT_TRUE(broker.start());
    std::vector<std::unique_ptr<TestStation>> owned;
    std::vector<TestStation*> all;
    for (const char* name : {"RUN1", "RUN2", "MULT", "SPARE"}) {
        owned.push_back(std::make_unique<TestStation>(dir.path(), name));
        all.push_back(owned.back().get());
        ASSERT_TRUE(all.back()->connect(broker.host(), broker.port()));
    }
    ASSERT_TRUE(converge(all, 0));
    // Taking turns, each contact seen everywhere before the next: one
    // sequence 001..040 over the whole station.
    for (int i = 0; i < 40; ++i) {
        all[static_cast<std::size_t>(i % 4)]->log("K" + std::to_string(i) + "AA");
        ASSERT_TRUE(converge(all, static_cast<std::size_t>(i + 1))) << i;
    }
    std::set<int> serials;
    for (const auto& c : all[0]->sync->mergedLog()) {
        serials.insert(std::stoi(c.record->serialSent));
    }
    EXPECT_EQ(serials.size(), 40u);
    EXPECT_EQ(*serials.begin(), 1);
    EXPECT_EQ(*serials.rbegin(), 40);
    // All at once: numbers may be taken twice, and the next continues above.
    for (int i = 0; i < 25; ++i) {
        for (TestStation* s : all) {
            s->log(s->name() + std::to_string(i));
        }
    }
    ASSERT_TRUE(converge(all, 140));
    for (TestStation* s : all) {
        EXPECT_EQ(s->merged(), all[0]->merged()) << s->name();
        expectSerialsRise(*s, false);
    }
    all[0]->log("W1ZZZ");
    ASSERT_TRUE(converge(all, 141));
    for (const auto& c : all[1]->sync->mergedLog()) {
        if (c.record->call != "W1ZZZ") {
            EXPECT_LT(std::stoi(c.record->serialSent),
                      std::stoi(all[0]->contest->qsos().back().serialSent));
        }
    }
}

TEST_F(StationNetworkTest, TwoStationsOfAMultiTwoCountSerialsPerBand) {
    ASSERT_TRUE(broker.start());
    TestStation a(dir.path(), "RUN20", 1);
    TestStation b(dir.path(), "RUN40", 1);
    ASSERT_TRUE(a.connect(broker.host(), broker.port()));
    ASSERT_TRUE(b.connect(broker.host(), broker.port()));
    for (int i = 0; i < 10; ++i) {
        a.log("DL" + std::to_string(i) + "A", "20");
        b.log("DL" + std::to_string(i) + "B", "40");
        ASSERT_TRUE(converge({&a, &b}, static_cast<std::size_t>(2 * i + 2)));
    }
    EXPECT_EQ(a.merged(), b.merged());
    EXPECT_EQ(a.contest->qsos().back().serialSent, "010");
    EXPECT_EQ(b.contest->qsos().back().serialSent, "010");
    // RUN40 moves to 20 m: it continues RUN20's 20 m sequence.
    b.log("OK1XX", "20");
    EXPECT_EQ(b.contest->qsos().back().serialSent, "011");
    expectSerialsRise(a, true);
    expectSerialsRise(b, true);
}

TEST_F(StationNetworkTest, BrokerKilledAndRestartedLosesNothingAndDoublesNothing) {
    ASSERT_TRUE(broker.start());
    TestStation a(dir.path(), "RUN1");
    TestStation b(dir.path(), "MULT");
    ASSERT_TRUE(a.connect(broker.host(), broker.port()));
    ASSERT_TRUE(b.connect(broker.host(), broker.port()));
    for (int i = 0; i < 5; ++i) {
        a.log("A" + std::to_string(i));
        b.log("B" + std::to_string(i));
    }
    ASSERT_TRUE(converge({&a, &b}, 10));
    // Killed without saving its store: it comes back knowing none of them.
    broker.kill(SIGKILL);
    ASSERT_TRUE(pumpUntil([&] { return !a.link->connected() && !b.link->connected(); }));
    a.log("A5");
    b.log("B5");
    EXPECT_EQ(a.sync->waitingCount(), 1);
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(converge({&a, &b}, 12));
    EXPECT_EQ(a.merged(), b.merged());
    // A station joining now finds the whole log in the broker's store.
    TestStation late(dir.path(), "LATE");
    ASSERT_TRUE(late.connect(broker.host(), broker.port()));
    ASSERT_TRUE(converge({&a, &b, &late}, 12));
    EXPECT_EQ(late.merged(), a.merged());
    // Stopped cleanly the broker keeps its store on disk.
    broker.kill(SIGTERM);
    ASSERT_TRUE(broker.start());
    TestStation later(dir.path(), "LATER");
    ASSERT_TRUE(later.connect(broker.host(), broker.port()));
    ASSERT_TRUE(converge({&later}, 12));
    EXPECT_EQ(later.merged(), a.merged());
}

TEST_F(StationNetworkTest, EditsAndDeletesReachAStationThatWasOfflineAndOneRestarted) {
    ASSERT_TRUE(broker.start());
    TestStation a(dir.path(), "RUN1");
    TestStation b(dir.path(), "MULT");
    ASSERT_TRUE(a.connect(broker.host(), broker.port()));
    ASSERT_TRUE(b.connect(broker.host(), broker.port()));
    for (int i = 0; i < 4; ++i) {
        a.log("A" + std::to_string(i));
    }
    ASSERT_TRUE(converge({&a, &b}, 4));
    b.disconnect();
    core::QsoRecord r = a.contest->qso(2);
    r.call = "A1EDITED";
    ASSERT_TRUE(a.contest->replaceQso(2, r));
    ASSERT_TRUE(a.contest->removeQso(3));
    b.log("B0"); // while away
    // MULT's program restarts while away: its journal holds RUN1's contacts.
    b.link.reset();
    b.sync.reset();
    b.contest = std::make_unique<core::Contest>(b.folder());
    ASSERT_TRUE(b.contest->readLog().opened);
    b.makeSync();
    EXPECT_EQ(b.contest->remoteCount(), 4);
    ASSERT_TRUE(b.connect(broker.host(), broker.port()));
    ASSERT_TRUE(converge({&a, &b}, 4));
    EXPECT_EQ(a.merged(), b.merged());
    const auto m = b.merged();
    EXPECT_NE(std::find(m.begin(), m.end(), "RUN1 A1EDITED 20 002"), m.end());
    EXPECT_EQ(std::find(m.begin(), m.end(), "RUN1 A2 20 003"), m.end());
    EXPECT_NE(std::find(m.begin(), m.end(), "MULT B0 20 005"), m.end());
}

TEST_F(StationNetworkTest, TwoBrokersBridgedCarryTheLogBothWays) {
    ASSERT_TRUE(broker.start());
    TestBroker second(dir.path() + "/second",
                      "connection to-first\naddress 127.0.0.1:" + std::to_string(broker.port()) +
                          "\ntopic wexon/# both 1\ncleansession false\nrestart_timeout 1\n");
    ASSERT_TRUE(second.start());
    TestStation a(dir.path(), "RUN1");
    TestStation b(dir.path(), "MULT");
    ASSERT_TRUE(a.connect(broker.host(), broker.port()));
    ASSERT_TRUE(b.connect(second.host(), second.port()));
    for (int i = 0; i < 10; ++i) {
        a.log("A" + std::to_string(i));
        b.log("B" + std::to_string(i), "40");
    }
    ASSERT_TRUE(converge({&a, &b}, 20));
    EXPECT_EQ(a.merged(), b.merged());
    TestStation late(dir.path(), "LATE");
    ASSERT_TRUE(late.connect(second.host(), second.port()));
    ASSERT_TRUE(converge({&late}, 20));
    EXPECT_EQ(late.merged(), a.merged());
}

TEST_F(StationNetworkTest, BrokerWithTheShippedAclRefusesPublishingUnderAnotherName) {
    const std::string examples = std::string(WEXON_SOURCE_DIR) + "/docs/examples";
    const std::string passwords = dir.file("passwords");
    for (const char* user : {"RUN1", "MULT"}) {
        std::string cmd = "mosquitto_passwd -b " + (std::filesystem::exists(passwords) ? std::string() : "-c ") +
                          passwords + " " + user + " secret-" + user + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    TestBroker guarded(dir.path() + "/guarded", "allow_anonymous false\npassword_file " +
                                                    passwords + "\nacl_file " + examples +
                                                    "/mosquitto.acl\n");
    ASSERT_TRUE(guarded.start());
    TestStation a(dir.path(), "RUN1");
    TestStation b(dir.path(), "MULT");
    ASSERT_TRUE(a.connect(guarded.host(), guarded.port(), "RUN1", "secret-RUN1"));
    ASSERT_TRUE(b.connect(guarded.host(), guarded.port(), "MULT", "secret-MULT"));
    a.log("K1AA");
    ASSERT_TRUE(converge({&a, &b}, 1));
    // RUN1's program forges a contact under MULT's name: the broker drops it,
    // while RUN1's own next contact still arrives.
    net::ContactMessage forged;
    forged.contestId = "WPXTEST";
    forged.station = "MULT";
    forged.instance = "forger";
    forged.id = "forged1";
    forged.record.call = "FAKE";
    a.link->publish({net::contactTopic("WPXTEST", "MULT", "forged1"),
                     net::encodeContact(forged), true, {}, 0});
    a.log("K2BB");
    ASSERT_TRUE(converge({&a, &b}, 2));
    pumpUntil([] { return false; }, 300);
    // MULT itself would refuse a live contact under its own name anyway; RUN1
    // would take it as MULT's if the broker had passed it on.
    for (const TestStation* s : {&a, &b}) {
        for (const auto& line : s->merged()) {
            EXPECT_EQ(line.find("FAKE"), std::string::npos) << s->name() << ": " << line;
        }
    }
    // A wrong password gets no link at all.
    TestStation c(dir.path(), "SPARE");
    ASSERT_TRUE(c.connect(guarded.host(), guarded.port(), "MULT", "wrong"));
    pumpUntil([] { return false; }, 500);
    EXPECT_FALSE(c.link->connected());
}

TEST_F(StationNetworkTest, LateJoinerWithAnEmptyLogReceivesTheWholeLog) {
    ASSERT_TRUE(broker.start());
    TestStation a(dir.path(), "RUN1");
    ASSERT_TRUE(a.connect(broker.host(), broker.port()));
    for (int i = 0; i < 300; ++i) {
        a.log("W" + std::to_string(i) + "X", i % 2 ? "20" : "15");
    }
    ASSERT_TRUE(converge({&a}, 300));
    TestStation late(dir.path(), "LATE");
    ASSERT_TRUE(late.connect(broker.host(), broker.port()));
    ASSERT_TRUE(converge({&a, &late}, 300));
    EXPECT_EQ(late.merged(), a.merged());
    EXPECT_EQ(late.contest->nextSerial(), "301");
}

} // namespace
} // namespace wexon::test
