#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/file_io.h"
#include "net/station_sync.h"

namespace wexon::net {
namespace {

namespace fs = std::filesystem;

// A broker in memory: retained store, delivery to every linked station in
// publish order, acknowledgements at once. Enough to test the synchroniser's
// rules without a network; the real broker is tested in platform_tests.
class MemoryBroker {
  public:
    struct Link : SyncTransport {
        MemoryBroker* broker = nullptr;
        StationSync* sync = nullptr;
        bool publish(const Outgoing& m) override {
            broker->route(*this, m);
            return true;
        }
    };

    void connect(Link& link) {
        links.push_back(&link);
        link.broker = this;
        link.sync->linkUp(&link);
        // The retained store arrives first, then the marker the station sent.
        std::vector<Incoming> catchUp;
        for (const auto& [topic, payload] : retained) {
            catchUp.push_back({topic, payload, true});
        }
        link.sync->receive(catchUp);
        flushMarkers();
    }
    void disconnect(Link& link) {
        std::erase(links, &link);
        link.sync->linkDown();
    }
    void route(Link& from, const Outgoing& m) {
        if (m.retained) {
            retained[m.topic] = m.payload;
        }
        if (m.topic.find("/sync/") != std::string::npos) {
            markers.push_back({&from, m.topic});
            return;
        }
        for (Link* l : links) {
            l->sync->receive({{m.topic, m.payload, false}});
        }
        if (!m.contactId.empty()) {
            from.sync->acknowledged(m.contactId, m.revision);
        }
    }
    void flushMarkers() {
        auto pending = std::move(markers);
        markers.clear();
        for (auto& [link, topic] : pending) {
            link->sync->receive({{topic, "x", false}});
        }
    }

    std::map<std::string, std::string> retained;
    std::vector<Link*> links;
    std::vector<std::pair<Link*, std::string>> markers;
};

class SyncStation {
  public:
    SyncStation(const fs::path& root, const std::string& name) : folder(root / name) {
        fs::create_directories(folder);
        contest = std::make_unique<core::Contest>(folder.string());
        contest->startEmptyLog();
        restart(name);
    }
    void restart(const std::string& name) {
        link.sync = nullptr;
        sync.reset();
        sync = std::make_unique<StationSync>(
            *contest, SyncConfig{"TEST", name, "OP" + name, "", 0},
            (folder / NetworkJournal::kFileName).string());
        sync->setNoticeHandler([this](const std::string& n) { notices.push_back(n); });
        sync->start();
        link.sync = sync.get();
    }
    void log(const std::string& call, const std::string& band = "20") {
        core::QsoRecord r;
        r.call = call;
        r.band = band;
        r.serialSent = contest->nextSerial();
        r.points = 1;
        ASSERT_EQ(contest->appendQso(r).status, core::Contest::AppendStatus::Appended);
    }
    // Every contact of the station as "call/band/serial", sorted.
    std::vector<std::string> merged() const {
        std::vector<std::string> out;
        for (const auto& c : sync->mergedLog()) {
            out.push_back(c.record->call + "/" + c.record->band + "/" + c.record->serialSent);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    fs::path folder;
    std::unique_ptr<core::Contest> contest;
    std::unique_ptr<StationSync> sync;
    MemoryBroker::Link link;
    std::vector<std::string> notices;
};

class StationSyncTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("wexon_sync_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
    MemoryBroker broker;
};

TEST_F(StationSyncTest, ContactsEditsAndDeletesReachAStationThatWasAway) {
    SyncStation a(root, "RUN1");
    SyncStation b(root, "MULT");
    broker.connect(a.link);
    broker.connect(b.link);
    a.log("K1AA");
    b.log("K2BB");
    EXPECT_EQ(a.merged(), b.merged());
    EXPECT_EQ(a.merged().size(), 2u);
    EXPECT_EQ(b.merged()[1], "K2BB/20/002"); // continued above RUN1's 001

    broker.disconnect(b.link);
    core::QsoRecord edited = a.contest->qso(1);
    edited.call = "K1AAA";
    ASSERT_TRUE(a.contest->replaceQso(1, edited));
    a.log("K3CC");
    ASSERT_TRUE(a.contest->removeQso(2));
    b.log("K4DD"); // waits while away
    EXPECT_EQ(b.sync->waitingCount(), 1);

    broker.connect(b.link);
    EXPECT_EQ(b.sync->waitingCount(), 0);
    EXPECT_EQ(a.merged(), b.merged());
    EXPECT_EQ(a.merged(), (std::vector<std::string>{"K1AAA/20/001", "K2BB/20/002",
                                                     "K4DD/20/003"}));
}

TEST_F(StationSyncTest, RestartWithoutBrokerKeepsTheWholeLogAndSendsNothingTwice) {
    SyncStation a(root, "RUN1");
    SyncStation b(root, "MULT");
    broker.connect(a.link);
    broker.connect(b.link);
    a.log("K1AA");
    b.log("K2BB");
    broker.disconnect(b.link);
    b.log("K5EE");
    // MULT restarts with the broker unreachable: the journal gives it RUN1's
    // contact and its own waiting one.
    b.sync.reset();
    b.contest = std::make_unique<core::Contest>(b.folder.string());
    ASSERT_TRUE(b.contest->readLog().opened);
    b.restart("MULT");
    EXPECT_EQ(b.contest->remoteCount(), 1);
    EXPECT_EQ(b.sync->waitingCount(), 1);
    broker.connect(b.link);
    EXPECT_EQ(a.merged(), b.merged());
    EXPECT_EQ(a.merged().size(), 3u);
    EXPECT_EQ(broker.retained.size(), 3u + 2u); // three contacts, two station states
}

TEST_F(StationSyncTest, BrokerThatLostItsStoreGetsEveryContactBack) {
    SyncStation a(root, "RUN1");
    SyncStation b(root, "MULT");
    broker.connect(a.link);
    broker.connect(b.link);
    a.log("K1AA");
    b.log("K2BB");
    broker.disconnect(a.link);
    broker.disconnect(b.link);
    broker.retained.clear();
    broker.connect(a.link);
    broker.connect(b.link);
    SyncStation late(root, "LATE");
    broker.connect(late.link);
    EXPECT_EQ(late.merged(), a.merged());
    EXPECT_EQ(late.merged().size(), 2u);
}

TEST_F(StationSyncTest, LogChangedByHandIsReconciledByContent) {
    SyncStation a(root, "RUN1");
    SyncStation b(root, "MULT");
    broker.connect(a.link);
    broker.connect(b.link);
    a.log("K1AA");
    a.log("K2BB");
    a.log("K3CC");
    broker.disconnect(a.link);
    // The operator removes K2BB from log.txt by hand and adds a line.
    core::QsoRecord k1 = a.contest->qso(1);
    core::QsoRecord k3 = a.contest->qso(3);
    core::QsoRecord k9 = k3;
    k9.call = "K9ZZ";
    k9.serialSent = "004";
    a.sync.reset();
    a.contest = std::make_unique<core::Contest>(a.folder.string());
    a.contest->startEmptyLog();
    for (const auto& r : {k1, k3, k9}) {
        ASSERT_EQ(a.contest->appendQso(r).status, core::Contest::AppendStatus::Appended);
    }
    a.restart("RUN1");
    broker.connect(a.link);
    EXPECT_EQ(b.merged(), (std::vector<std::string>{"K1AA/20/001", "K3CC/20/003",
                                                     "K9ZZ/20/004"}));
    EXPECT_EQ(a.merged(), b.merged());
}

TEST_F(StationSyncTest, RefusesForeignAndImpostorMessagesChangingNothing) {
    SyncStation a(root, "RUN1");
    broker.connect(a.link);
    ContactMessage m;
    m.contestId = "TEST";
    m.station = "RUN1";
    m.instance = "someoneelse";
    m.id = "abc";
    m.record.call = "K7XX";
    // Another program calling itself RUN1, live.
    a.sync->receive({{contactTopic("TEST", "RUN1", "abc"), encodeContact(m), false}});
    // Another contest's message on this contest's topic.
    m.station = "MULT";
    m.contestId = "OTHER";
    a.sync->receive({{contactTopic("TEST", "MULT", "abc"), encodeContact(m), false}});
    // A message whose station differs from its topic.
    m.contestId = "TEST";
    a.sync->receive({{contactTopic("TEST", "RUN2", "abc"), encodeContact(m), false}});
    // Garbage and an unknown version.
    a.sync->receive({{contactTopic("TEST", "MULT", "abc"), "WXN9\tjunk", false}});
    a.sync->receive({{contactTopic("TEST", "MULT", "abc"), std::string(5000, 'x'), false}});
    EXPECT_EQ(a.contest->remoteCount(), 0);
    EXPECT_EQ(a.contest->qsoCount(), 0);
    ASSERT_EQ(a.notices.size(), 5u);
    EXPECT_NE(a.notices[0].find("calling itself RUN1"), std::string::npos);
    EXPECT_NE(a.notices[1].find("another contest"), std::string::npos);
    EXPECT_NE(a.notices[3].find("unknown message version"), std::string::npos);
}

TEST_F(StationSyncTest, SameSerialFromAnotherStationIsToldAndKept) {
    SyncStation a(root, "RUN1");
    SyncStation b(root, "MULT");
    broker.connect(a.link);
    broker.connect(b.link);
    // Both log at once: neither has seen the other's 001 yet.
    broker.disconnect(b.link);
    a.log("K1AA");
    b.log("K2BB");
    broker.connect(b.link);
    EXPECT_EQ(a.merged(), (std::vector<std::string>{"K1AA/20/001", "K2BB/20/001"}));
    ASSERT_FALSE(a.notices.empty());
    EXPECT_NE(a.notices.back().find("also sent serial 001"), std::string::npos);
    EXPECT_EQ(a.contest->nextSerial(), "002");
    EXPECT_EQ(b.contest->nextSerial(), "002");
}

TEST_F(StationSyncTest, LostJournalOrReplacementComputerDoublesNothing) {
    SyncStation a(root, "RUN1");
    SyncStation b(root, "MULT");
    broker.connect(a.link);
    broker.connect(b.link);
    a.log("K1AA");
    a.log("K2BB");
    broker.disconnect(a.link);
    // RUN1's journal is lost; its log.txt is intact. Its contacts come back
    // under the ids the broker knows them by.
    a.sync.reset();
    fs::remove(a.folder / NetworkJournal::kFileName);
    a.restart("RUN1");
    broker.connect(a.link);
    EXPECT_EQ(b.merged(), (std::vector<std::string>{"K1AA/20/001", "K2BB/20/002"}));
    EXPECT_EQ(a.sync->waitingCount(), 0);
    // A replacement computer for RUN1 with an empty log: it gets the station's
    // earlier contacts and the next serial continues above them.
    broker.disconnect(a.link);
    SyncStation spare(root / "spare", "RUN1");
    broker.connect(spare.link);
    EXPECT_EQ(spare.merged(), b.merged());
    EXPECT_EQ(spare.contest->nextSerial(), "003");
    spare.log("K3CC");
    EXPECT_EQ(b.merged().size(), 3u);
    EXPECT_TRUE(spare.notices.empty()) << spare.notices.front();
}

TEST_F(StationSyncTest, ALogNotYetReadWithdrawsNothing) {
    SyncStation a(root, "RUN1");
    SyncStation b(root, "MULT");
    broker.connect(a.link);
    broker.connect(b.link);
    a.log("K1AA");
    broker.disconnect(a.link);
    // RUN1 starts again but its log could not be read (yet).
    a.sync.reset();
    a.contest = std::make_unique<core::Contest>(a.folder.string());
    a.restart("RUN1");
    broker.connect(a.link);
    EXPECT_EQ(b.merged(), (std::vector<std::string>{"K1AA/20/001"}));
    // Once read, the contact is matched to its id, not sent again.
    ASSERT_TRUE(a.contest->readLog().opened);
    EXPECT_EQ(a.sync->waitingCount(), 0);
    EXPECT_EQ(a.merged(), b.merged());
}

TEST_F(StationSyncTest, OlderRevisionNeverUndoesANewerOne) {
    SyncStation a(root, "RUN1");
    ContactMessage m;
    m.contestId = "TEST";
    m.station = "MULT";
    m.instance = "i";
    m.id = "c1";
    m.revision = 2;
    m.deleted = true;
    m.record.call = "K1AA";
    a.sync->receive({{contactTopic("TEST", "MULT", "c1"), encodeContact(m), false}});
    m.revision = 1;
    m.deleted = false;
    a.sync->receive({{contactTopic("TEST", "MULT", "c1"), encodeContact(m), true}});
    EXPECT_EQ(a.contest->remoteCount(), 0);
}

} // namespace
} // namespace wexon::net
