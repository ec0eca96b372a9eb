// Spot marks in the real main window, fed by a cluster on 127.0.0.1 that
// speaks both people's and skimmers' spot lines: the dupe / new-prefix marks
// agree with the entry row, follow the log and the band, the filters hide what
// they say, skimmer reports of one signal become one spot with a count, and
// Ctrl+Up / Ctrl+Down walk the band.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QListWidget>
#include <QRadioButton>
#include <QCheckBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTreeWidget>

#include "core/super_check_partial.h"
#include "support/main_window_fixture.h"
#include "ui/main/main_window_hooks.h"
#include "ui/rig/rig_host.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/band_map_widget.h"
#include "ui/spots/spot_list_widget.h"
#include "ui/spots/spotting_window.h"
#include "ui/spots/station_spots.h"
#include "ui/station/station_tools.h"

using namespace wexon;
using wexon::test::logOf;
using wexon::test::MainWindowTest;

namespace {

class MarksTuner : public ui::RigTuner {
  public:
    std::vector<float> tuned;
    void changeFrequency(float mhz) override { tuned.push_back(mhz); }
    void changeMode(float, const std::string&) override {}
    std::string rigName() const override { return "Kenwood"; }
};

class MarksPrompter : public ui::VoicePrompterHook {
  public:
    std::vector<std::string> played;
    void playPrompt(const std::string& name) override { played.push_back(name); }
};

std::string personLine(const std::string& khz, const std::string& call) {
    std::string line = "DX de W9XX:";
    line.resize(15, ' ');
    line += std::string(9 - khz.size(), ' ') + khz + "  " + call;
    line.resize(39, ' ');
    line += "CQ WPX";
    line.resize(70, ' ');
    return line + "1234Z";
}

// A skimmer's line: its columns drift with the spotter's call and the
// frequency, so the fixed cluster columns would misread it.
std::string skimmerLine(const std::string& skimmer, const std::string& khz,
                        const std::string& call) {
    return "DX de " + skimmer + "-#:    " + khz + "  " + call +
           "       CW    18 dB  26 WPM  CQ      1234Z";
}

bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

core::QsoRecord loggedQso(const std::string& call, const std::string& band,
                          const std::string& prefix) {
    core::QsoRecord r = test::qso(90, band);
    r.call = call;
    r.prefix = prefix;
    return r;
}

class SpotMarksWindowTest : public MainWindowTest {
  protected:
    std::unique_ptr<ui::StationTools> tools;
    std::unique_ptr<ui::StationSpots> spots;
    MarksTuner tuner;
    MarksPrompter prompter;
    core::SuperCheckPartial known = core::SuperCheckPartial::fromText("OH2BH\nJA2ABC\n");
    QTcpServer server;
    QTcpSocket* peer = nullptr;

    // The log holds K1AA and K2AA on 20; the band map is open on a cluster.
    void startWithCluster(bool list = false) {
        dir.write("work/log.txt", logOf(2));
        prompts.questionAnswers = {true};
        auto& w = make();
        tools = std::make_unique<ui::StationTools>(w, services);
        spots = std::make_unique<ui::StationSpots>(w, services, *tools, &tuner);
        spots->setKnownCalls(&known);
        spots->setVoicePrompter(&prompter);
        w.formLoad();
        w.show();
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection,
                         [this] { peer = server.nextPendingConnection(); });
        ui::SpottingWindow* sw = controller().spottingWindow();
        sw->findChild<QLineEdit*>("txtTelnetHost")->setText("127.0.0.1");
        sw->findChild<QLineEdit*>("txtTelnetPort")->setText(QString::number(server.serverPort()));
        auto* sources = sw->findChild<QListWidget*>("List1");
        const auto items = sources->findItems("Telnet", Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        sources->setCurrentItem(items[0]);
        sw->list1Click(sources->row(items[0]));
        sw->findChild<QRadioButton*>(list ? "OptList" : "OptBand")->setChecked(true);
        QTest::mouseClick(sw->findChild<QPushButton*>("cmdDone"), Qt::LeftButton);
        ASSERT_TRUE(waitFor([this] { return peer != nullptr; }));
    }
    void TearDown() override {
        if (spots) {
            spots->shutdown();
        }
        spots.reset();
        tools.reset();
    }

    ui::BandMapController& controller() { return spots->controller(); }

    // Sends lines and waits until the last one's call is stored.
    void send(const std::vector<std::string>& lines, const std::string& lastCall) {
        std::string text;
        for (const auto& l : lines) {
            text += l + "\r\n";
        }
        peer->write(QByteArray::fromStdString(text));
        peer->flush();
        ASSERT_TRUE(waitFor([&] { return newest().call == lastCall; })) << lastCall;
        // Past the redraw cap, so the maps and the list are drawn.
        QTest::qWait(ui::BandMapController::kBurstRedrawMs + 50);
    }
    const spots::SpotSlot& newest() { return controller().store().slot(spots::SpotStore::kSlots - 1); }
    // The shown spot of a call (frequency not 0), newest first.
    const spots::SpotSlot* shown(const std::string& call) {
        for (int i = spots::SpotStore::kSlots - 1; i >= 0; --i) {
            const spots::SpotSlot& s = controller().store().slot(i);
            if (s.call == call && s.frequency != 0.0f) {
                return &s;
            }
        }
        return nullptr;
    }
    QLabel* labelOf(const std::string& call) {
        for (int i = spots::SpotStore::kSlots - 1; i >= 0; --i) {
            const spots::SpotSlot& s = controller().store().slot(i);
            if (s.call == call && s.frequency != 0.0f) {
                QLabel* l = controller().bandMap()->spotLabel(i);
                return l->isHidden() ? nullptr : l;
            }
        }
        return nullptr;
    }
    QTreeWidgetItem* rowOf(const std::string& call) {
        auto* list = controller().spotList();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (list->topLevelItem(i)->text(0) == QString::fromStdString(call)) {
                return list->topLevelItem(i);
            }
        }
        return nullptr;
    }
    int rowsOf(const std::string& call) {
        auto* list = controller().spotList();
        int n = 0;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            n += list->topLevelItem(i)->text(0) == QString::fromStdString(call) ? 1 : 0;
        }
        return n;
    }
    void pressJump(Qt::Key key) {
        QTest::keyClick(child<QLineEdit>("txtCall"), key, Qt::ControlModifier);
        QApplication::processEvents();
    }
};

using core::ContactStatus;

} // namespace

TEST_F(SpotMarksWindowTest, EveryMarkIsTheEntryRowsOwnDecision) {
    startWithCluster();
    ASSERT_TRUE(window->appendQso(loggedQso("JA1XYZ", "15", "JA1")));
    QApplication::processEvents();
    send({personLine("14010.0", "K1AA"), personLine("14012.0", "JA1ABC"),
          personLine("14014.0", "K3AA"), personLine("14016.0", "JA1XYZ"),
          skimmerLine("DK9IP", "14025.1", "JA2ABC"), personLine("14018.0", "DL/K2AA"),
          personLine("14019.0", "k2aa"), personLine("14021.0", "RAEM"),
          skimmerLine("W3LPL", "14027.3", "OH2BH")},
         "OH2BH");

    int dupes = 0;
    int newPrefixes = 0;
    int ordinary = 0;
    for (int i = 0; i < spots::SpotStore::kSlots; ++i) {
        const spots::SpotSlot s = controller().store().slot(i);
        if (s.frequency == 0.0f) {
            continue;
        }
        // What the entry row makes of the call: its "New" flag while typed,
        // and its duplicate message once the call box is left.
        child<QLabel>("lblDialog")->clear();
        spots->enterCall(s.call, false);
        const bool newFlag = !child<QLabel>("Label14")->isHidden();
        spots->enterCall(s.call, true);
        const bool dupe = text("lblDialog").startsWith("Duplicate");
        SCOPED_TRACE(s.call);
        EXPECT_EQ(s.mark.status == ContactStatus::Dupe, dupe);
        EXPECT_EQ(s.mark.status == ContactStatus::NewPrefix, !dupe && newFlag);
        dupes += s.mark.status == ContactStatus::Dupe ? 1 : 0;
        newPrefixes += s.mark.status == ContactStatus::NewPrefix ? 1 : 0;
        ordinary += s.mark.status == ContactStatus::Ordinary ? 1 : 0;
        // Past the duplicate hold, so the next call is taken at once.
        clock.advanceSeconds(4);
        child<QLineEdit>("txtCall")->clear();
        QApplication::processEvents();
    }
    // The walk met each kind: K1AA and k2aa are dupes; K3AA, JA2ABC, DL/K2AA
    // and OH2BH are new; JA1ABC, JA1XYZ and RAEM are ordinary.
    EXPECT_EQ(dupes, 2);
    EXPECT_EQ(newPrefixes, 4);
    EXPECT_EQ(ordinary, 3);
}

TEST_F(SpotMarksWindowTest, MarksFollowTheLogAndTheBand) {
    startWithCluster();
    send({skimmerLine("DK9IP", "14030.0", "XX9ZZZ"), personLine("14012.0", "JA1ABC"),
          personLine("14016.0", "JA1XYZ")},
         "JA1XYZ");
    ASSERT_NE(labelOf("XX9ZZZ"), nullptr);
    EXPECT_EQ(labelOf("XX9ZZZ")->text(), "XX9?") << "one skimmer, a call nobody knows";
    ASSERT_NE(shown("JA1ABC"), nullptr);
    EXPECT_EQ(shown("JA1ABC")->mark.status, ContactStatus::NewPrefix);
    QLabel* label = labelOf("JA1ABC");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->font().bold());
    EXPECT_TRUE(label->font().underline());
    EXPECT_TRUE(label->accessibleName().startsWith("JA1ABC 14.012, new prefix JA1, "))
        << label->accessibleName().toStdString();
    EXPECT_TRUE(label->toolTip().contains("new prefix JA1"));
    // The age colour is untouched by the mark: a fresh spot is light yellow.
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 128));

    // A contact with JA1 on 15: JA1 is worked, so JA1ABC is ordinary now, and
    // JA1XYZ is ordinary on 20 but a dupe on 15.
    ASSERT_TRUE(window->appendQso(loggedQso("JA1XYZ", "15", "JA1")));
    ASSERT_TRUE(waitFor([&] { return shown("JA1ABC")->mark.status == ContactStatus::Ordinary; }));
    EXPECT_FALSE(label->font().bold());
    EXPECT_EQ(shown("JA1XYZ")->mark.status, ContactStatus::Ordinary);

    window->selectBand("15");
    QApplication::processEvents();
    EXPECT_EQ(shown("JA1XYZ")->mark.status, ContactStatus::Dupe);
    window->selectBand("20");
    QApplication::processEvents();
    EXPECT_EQ(shown("JA1XYZ")->mark.status, ContactStatus::Ordinary);
}

TEST_F(SpotMarksWindowTest, SkimmerReportsOfOneSignalAreOneSpotWithACount) {
    startWithCluster(true);
    send({skimmerLine("DK9IP", "14025.1", "JA2ABC")}, "JA2ABC");
    EXPECT_NEAR(newest().frequency, 14.0251, 1e-5) << "read by words, not by columns";
    EXPECT_EQ(newest().mark.skimmers, 1);
    EXPECT_FALSE(newest().mark.unconfirmed) << "JA2ABC is a known call";

    // Two more skimmers near the same frequency, one of them twice: one spot,
    // one list row, three skimmers.
    send({skimmerLine("W3LPL", "14025.2", "JA2ABC"), skimmerLine("VE2WU", "14025.0", "JA2ABC"),
          skimmerLine("W3LPL", "14025.3", "JA2ABC")},
         "JA2ABC");
    ASSERT_TRUE(waitFor([&] { return newest().mark.skimmers == 3; }));
    EXPECT_NEAR(newest().frequency, 14.0253, 1e-5) << "the newer report replaces the older";
    int shownSpots = 0;
    for (int i = 0; i < spots::SpotStore::kSlots; ++i) {
        const auto& s = controller().store().slot(i);
        shownSpots += s.call == "JA2ABC" && s.frequency != 0.0f ? 1 : 0;
    }
    EXPECT_EQ(shownSpots, 1);
    EXPECT_EQ(rowsOf("JA2ABC"), 1);
    ASSERT_NE(rowOf("JA2ABC"), nullptr);
    EXPECT_EQ(rowOf("JA2ABC")->text(3), "new prefix JA2, 3 skimmers");
    EXPECT_EQ(rowOf("JA2ABC")->text(1), "14.0253");
    EXPECT_EQ(rowOf("JA2ABC")->text(6), "1234") << "the time word, not a column";

    // Heard 2 kHz away: another signal, counted afresh.
    send({skimmerLine("DK9IP", "14027.3", "JA2ABC")}, "JA2ABC");
    EXPECT_EQ(newest().mark.skimmers, 1);
    EXPECT_EQ(rowsOf("JA2ABC"), 2);

    // One skimmer and a call nobody knows: unconfirmed; the known OH2BH is not.
    send({skimmerLine("DK9IP", "14030.0", "XX9ZZZ"), skimmerLine("DK9IP", "14031.0", "OH2BH")},
         "OH2BH");
    EXPECT_TRUE(shown("XX9ZZZ")->mark.unconfirmed);
    EXPECT_FALSE(shown("OH2BH")->mark.unconfirmed);
    ASSERT_NE(rowOf("XX9ZZZ"), nullptr);
    EXPECT_EQ(rowOf("XX9ZZZ")->text(3), "new prefix XX9, unconfirmed");

    // A second skimmer confirms it.
    send({skimmerLine("W3LPL", "14030.1", "XX9ZZZ")}, "XX9ZZZ");
    EXPECT_FALSE(shown("XX9ZZZ")->mark.unconfirmed);
}

TEST_F(SpotMarksWindowTest, FiltersHideDupesOrShowOnlyNewPrefixesAndAreSaved) {
    startWithCluster();
    send({personLine("14010.0", "K1AA"), personLine("14012.0", "K2BB"),
          personLine("14014.0", "K3AA")},
         "K3AA");
    ASSERT_NE(labelOf("K1AA"), nullptr);
    EXPECT_TRUE(labelOf("K1AA")->font().strikeOut());
    ui::SpottingWindow* sw = controller().spottingWindow();
    int spottedChanges = 0;
    QObject::connect(&controller(), &ui::BandMapController::spottedCallsChanged,
                     [&] { ++spottedChanges; });
    sw->findChild<QCheckBox*>("chkHideDupes")->setChecked(true);
    EXPECT_EQ(labelOf("K1AA"), nullptr);
    EXPECT_NE(labelOf("K2BB"), nullptr);
    sw->findChild<QCheckBox*>("chkNewPrefixesOnly")->setChecked(true);
    EXPECT_EQ(labelOf("K2BB"), nullptr) << "K2 is worked";
    EXPECT_NE(labelOf("K3AA"), nullptr);
    // The spotted calls the check-partial list marks follow what is shown.
    EXPECT_TRUE(spots->spottedCalls().contains("k3aa"));
    EXPECT_FALSE(spots->spottedCalls().contains("K1AA"));
    EXPECT_EQ(spottedChanges, 2) << "once per filter that changed the set";

    // "&Done" saves them with the other spot settings, and a new window reads them.
    QTest::mouseClick(sw->findChild<QPushButton*>("cmdDone"), Qt::LeftButton);
    const auto saved = spots::readPackSpot(dir.read("work/PackSpot.txt"));
    EXPECT_TRUE(saved.hideDupes);
    EXPECT_TRUE(saved.newPrefixesOnly);
    EXPECT_FALSE(saved.jumpSkipsDupes);

    sw->findChild<QCheckBox*>("chkNewPrefixesOnly")->setChecked(false);
    sw->findChild<QCheckBox*>("chkHideDupes")->setChecked(false);
    EXPECT_NE(labelOf("K1AA"), nullptr);
}

TEST_F(SpotMarksWindowTest, CtrlUpAndDownJumpToTheNearestSpotsAndSayTheCall) {
    startWithCluster();
    window->contest().prefs.voiceNavigation = 1;
    send({personLine("14010.0", "K1AA"), personLine("14020.0", "K3AA"),
          personLine("14030.0", "K4AA"), personLine("14005.0", "K5AA")},
         "K5AA");
    // No rig: the first Ctrl+Up starts from the bottom of the band.
    pressJump(Qt::Key_Up);
    EXPECT_EQ(text("txtCall"), "K5AA");
    EXPECT_TRUE(tuner.tuned.empty()) << "no rig is chosen";
    pressJump(Qt::Key_Up);
    EXPECT_EQ(text("txtCall"), "K1AA");
    // The second jump cut the first call short; the new one is spelt whole,
    // a letter at a time.
    const std::vector<std::string> spelt{"K", "1", "A", "A"};
    EXPECT_TRUE(waitFor([&] {
        return prompter.played.size() >= 4 &&
               std::vector<std::string>(prompter.played.end() - 4, prompter.played.end()) == spelt;
    }));
    EXPECT_LE(prompter.played.size(), 6u);

    // Skipping dupes passes over K1AA.
    controller().spottingWindow()->findChild<QCheckBox*>("chkJumpSkipsDupes")->setChecked(true);
    pressJump(Qt::Key_Down);
    EXPECT_EQ(text("txtCall"), "K5AA");
    pressJump(Qt::Key_Up);
    EXPECT_EQ(text("txtCall"), "K3AA");

    // With a rig, its reading is where the jump starts, and the rig is tuned.
    window->contest().prefs.rigName = "Kenwood";
    window->contest().lastFrequency = "14.024";
    pressJump(Qt::Key_Up);
    EXPECT_EQ(text("txtCall"), "K4AA");
    ASSERT_EQ(tuner.tuned.size(), 1u);
    EXPECT_FLOAT_EQ(tuner.tuned[0], 14.03f);
    window->contest().lastFrequency = "14.024";
    pressJump(Qt::Key_Down);
    EXPECT_EQ(text("txtCall"), "K3AA");
    // Nothing above the top spot: the call box keeps its call.
    window->contest().lastFrequency = "14.030";
    pressJump(Qt::Key_Up);
    EXPECT_EQ(text("txtCall"), "K3AA");
}
