// The entry row typed as an operator types it: keys go to whichever box has the
// focus, Enter logs, and every logged contact is read back from "log.txt".
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include "core/log_file.h"
#include "support/main_window_fixture.h"

using namespace wexon;
using wexon::test::MainWindowTest;

namespace {

class EntryWorkflowTest : public MainWindowTest {
  protected:
    ui::MainWindow& start(const char* mode = "CW") {
        prefs.contestMode = mode;
        dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
        prompts.questionAnswers = {true};
        auto& w = make();
        EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    QWidget* focused() { return window->focusWidget(); }
    // Types into whatever has the focus, one key at a time.
    void type(const QString& keys) {
        for (QChar c : keys) {
            QTest::keyClick(focused(), c.toLatin1());
        }
    }
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(focused(), key, mods);
    }
    std::vector<std::string> logLines() {
        std::vector<std::string> lines;
        std::string all = dir.read("work/log.txt");
        std::size_t from = 0;
        while (from < all.size()) {
            std::size_t end = all.find("\r\n", from);
            if (end == std::string::npos) {
                lines.push_back(all.substr(from));
                break;
            }
            lines.push_back(all.substr(from, end - from));
            from = end + 2;
        }
        return lines;
    }
    std::vector<core::QsoRecord> logRecords() {
        return core::parseLog(dir.read("work/log.txt")).records;
    }
    QString boxText(const char* name) { return child<QLineEdit>(name)->text(); }
    // W1AW worked in a CW contest: call, report and serial typed without a
    // separator, the report sent filled when the call box was left.
    void logW1aw() {
        child<QLineEdit>("txtCall")->setFocus();
        type("w1aw59912");
        press(Qt::Key_Return);
    }
};

const char* kW1awLine =
    R"("W1AW","599","12","599","USA","2026/05/30","12:00:00","20",1,"W1","001","")";

} // namespace

TEST_F(EntryWorkflowTest, DigitsFlowFromTheCallIntoTheReportAndTheSerial) {
    start();
    child<QLineEdit>("txtCall")->setFocus();
    type("w1aw");
    EXPECT_EQ(boxText("txtPref"), "W1");
    EXPECT_EQ(boxText("txtCntry"), "USA");
    EXPECT_EQ(boxText("txtPoints"), "1"); // own country
    type("5");
    EXPECT_EQ(focused()->objectName(), "txtRSTR");
    EXPECT_EQ(boxText("txtRSTR"), "5");
    EXPECT_EQ(boxText("txtRSTS"), "599"); // filled when the call box was left
    type("99");
    EXPECT_EQ(boxText("txtRSTR"), "599");
    type("12");
    EXPECT_EQ(focused()->objectName(), "txtSec");
    EXPECT_EQ(boxText("txtSec"), "12");
    EXPECT_EQ(boxText("txtCall"), "W1AW");

    press(Qt::Key_Return);
    ASSERT_EQ(logLines(), std::vector<std::string>{kW1awLine});
    // The row is empty again, the next serial ready, the focus in the call box.
    for (const char* name :
         {"txtCall", "txtRSTR", "txtSec", "txtRSTS", "txtCntry", "txtPref", "txtPoints"}) {
        EXPECT_TRUE(boxText(name).isEmpty()) << name;
    }
    EXPECT_EQ(text("Label4"), "002");
    EXPECT_EQ(focused()->objectName(), "txtCall");
}

TEST_F(EntryWorkflowTest, ARigReadingGoesIntoTheNextContactOnly) {
    auto& w = start();
    w.bandFreqConversion(14.025f);
    logW1aw();
    // A second contact with no rig reading in between carries no frequency.
    child<QLineEdit>("txtCall")->setFocus();
    type("dl1abc59913");
    press(Qt::Key_Return);
    const auto records = logRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].frequency, "14.025");
    EXPECT_EQ(records[1].call, "DL1ABC");
    EXPECT_EQ(records[1].frequency, "");
}

TEST_F(EntryWorkflowTest, ALetterAfterTheReportSentStartsTheCountry) {
    start();
    child<QLineEdit>("txtCall")->setFocus();
    type("dl1abc ");
    EXPECT_EQ(boxText("txtRSTR"), "599");
    type(" 7 599");
    EXPECT_EQ(focused()->objectName(), "txtRSTS");
    EXPECT_EQ(boxText("txtRSTS"), "599");
    type("g");
    EXPECT_EQ(focused()->objectName(), "txtCntry");
    EXPECT_EQ(boxText("txtCntry"), "G");
    type("e");
    EXPECT_EQ(boxText("txtCntry"), "Germany");
    EXPECT_EQ(child<QLineEdit>("txtCntry")->selectedText(), "rmany");
    EXPECT_EQ(boxText("txtPoints"), "3"); // another continent, high band
    EXPECT_EQ(text("Label19"), "EU");
}

TEST_F(EntryWorkflowTest, EnterWithBoxesMissingNamesTheLastMissingBoxAndLogsNothing) {
    start();
    struct Case {
        const char* emptied;
        const char* message;
        const char* focus;
    };
    const Case cases[] = {
        {"txtPoints", "Need Points!", "txtPoints"},
        {"txtPref", "Need Prefix!", "txtPref"},
        // An empty country empties the points too: the later test wins.
        {"txtCntry", "Need Country!", "txtCntry"},
        {"txtRSTS", "Need Report Sent!", "txtRSTS"},
        {"txtSec", "Need Serial!", "txtSec"},
        {"txtRSTR", "Report Received!", "txtRSTR"},
    };
    for (const Case& c : cases) {
        child<QAction>("mnuClear")->trigger();
        child<QLineEdit>("txtCall")->setFocus();
        type("w1aw59912");
        child<QLineEdit>(c.emptied)->clear();
        const int beeps = prompts.beeps;
        QTest::keyClick(child<QLineEdit>("txtCall"), Qt::Key_Return);
        EXPECT_EQ(text("lblDialog"), c.message) << c.emptied;
        EXPECT_EQ(focused()->objectName(), c.focus) << c.emptied;
        EXPECT_GT(prompts.beeps, beeps) << c.emptied;
    }
    // A call of two characters is refused after everything else.
    child<QAction>("mnuClear")->trigger();
    child<QLineEdit>("txtCall")->setFocus();
    type("w1 599 1 599");
    child<QLineEdit>("txtRSTR")->clear();
    QTest::keyClick(child<QLineEdit>("txtCall"), Qt::Key_Return);
    EXPECT_EQ(text("lblDialog"), "Need Call Sign!");
    EXPECT_EQ(dir.read("work/log.txt"), "");
}

TEST_F(EntryWorkflowTest, AContactWithoutPointsIsNotLoggedOnASecondEnter) {
    start();
    child<QLineEdit>("txtCall")->setFocus();
    type("w1aw59912");
    child<QLineEdit>("txtPoints")->clear();
    for (int enter = 0; enter < 2; ++enter) {
        QTest::keyClick(focused(), Qt::Key_Return);
        EXPECT_EQ(text("lblDialog"), "Need Points!") << enter;
        EXPECT_EQ(boxText("txtPoints"), "") << enter;
        EXPECT_EQ(focused()->objectName(), "txtPoints") << enter;
    }
    EXPECT_EQ(dir.read("work/log.txt"), "");
    // Typed points log it.
    type("1");
    press(Qt::Key_Return);
    EXPECT_EQ(logLines(), std::vector<std::string>{kW1awLine});
}

TEST_F(EntryWorkflowTest, PastedTextsAreHeldToTheBoxRules) {
    start();
    auto* call = child<QLineEdit>("txtCall");
    call->setFocus();
    call->setText("w1aw");
    EXPECT_EQ(boxText("txtCall"), "W1AW");
    EXPECT_EQ(boxText("txtPref"), "W1");
    type("59912");
    auto* points = child<QLineEdit>("txtPoints");
    EXPECT_EQ(points->maxLength(), 1);
    points->setText("9");
    EXPECT_EQ(boxText("txtPoints"), "6");
    points->setText("1");
    call->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(logLines(), std::vector<std::string>{kW1awLine});
}

TEST_F(EntryWorkflowTest, ADuplicateIsRefusedOnItsBandAndHoldsTheNextKeys) {
    auto& w = start();
    logW1aw();
    ASSERT_EQ(logLines().size(), 1u);

    child<QLineEdit>("txtCall")->setFocus();
    type("w1aw");
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblDialog"), "Duplicate W1AW 2026/05/30 12:00:00 ON 20  Rec#  1");
    EXPECT_EQ(child<QLabel>("lblDialog")->palette().color(QPalette::Window), QColor("#FF0000"));
    EXPECT_TRUE(boxText("txtCall").isEmpty());
    EXPECT_TRUE(boxText("txtCntry").isEmpty());
    EXPECT_EQ(logLines().size(), 1u);

    // Keys typed within 3 seconds wait, in order, without stopping the window.
    type("k2");
    EXPECT_TRUE(boxText("txtCall").isEmpty());
    EXPECT_TRUE(child<QTimer>("tmrDupeHold")->isActive());
    clock.advanceSeconds(2);
    w.entryRow().releaseHeldKeys();
    EXPECT_TRUE(boxText("txtCall").isEmpty()); // not yet
    type("b");
    clock.advanceSeconds(1);
    w.entryRow().releaseHeldKeys();
    EXPECT_EQ(boxText("txtCall"), "K2B");
    type("c");
    EXPECT_EQ(boxText("txtCall"), "K2BC"); // the hold is over

    // The same call on another band is logged.
    child<QAction>("mnuClear")->trigger();
    child<QAction>("mnu40")->trigger();
    logW1aw();
    auto records = logRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].call, "W1AW");
    EXPECT_EQ(records[1].band, "40");
    EXPECT_EQ(records[1].serialSent, "002");
    EXPECT_EQ(records[1].points, 1.0f);
}

TEST_F(EntryWorkflowTest, EscClearsTheRowUnlessCwIsBeingSent) {
    auto& w = start();
    child<QLineEdit>("txtCall")->setFocus();
    type("k1abc");
    w.cwSending = true;
    w.cwBuffer = "CQ TEST";
    press(Qt::Key_Escape);
    EXPECT_TRUE(w.cwBuffer.empty());
    EXPECT_EQ(boxText("txtCall"), "K1ABC");
    w.cwSending = false;
    press(Qt::Key_Escape);
    EXPECT_TRUE(boxText("txtCall").isEmpty());
    EXPECT_TRUE(boxText("txtCntry").isEmpty());
    EXPECT_EQ(text("lblDialog"), " ");
    EXPECT_EQ(focused()->objectName(), "txtCall");
}

TEST_F(EntryWorkflowTest, TheFirstContactBeforeTimeOnLogsOnAndStartsTheTime) {
    auto& w = start();
    auto* logOn = child<QPushButton>("cmdLogOn");
    EXPECT_EQ(logOn->text(), "&Log \"Time On\"");
    child<QLineEdit>("txtCall")->setFocus();
    type("w");
    EXPECT_EQ(text("lblDialog"), "Click Log \"Time On\"!");
    type("1aw59912");
    press(Qt::Key_Return);
    EXPECT_EQ(logLines(), std::vector<std::string>{kW1awLine});
    EXPECT_TRUE(w.loggedOn());
    EXPECT_EQ(logOn->text(), "&Log \"Time Off\"");
    clock.advanceSeconds(65);
    w.timer2Tick();
    EXPECT_EQ(text("lblttrack"), "00:01:05");
    EXPECT_EQ(text("lblutctime"), "12:01:05");
    EXPECT_EQ(text("lblCurTime"), "7:01:05");
    EXPECT_EQ(text("Label16"), "AM");

    // Logging off names the time to log on again and keeps the total.
    QTest::mouseClick(logOn, Qt::LeftButton);
    EXPECT_EQ(text("lblDialog"), "Logged Off at 2026/05/30 12:01:05. Log on after 13:01:05");
    EXPECT_EQ(savedPrefs().timeOnSeconds, 65.0f);
    EXPECT_EQ(logOn->text(), "&Log \"Time On\"");
}

TEST_F(EntryWorkflowTest, ContactsAfterTheSummerTimeChangeKeepTheUtcTime) {
    // A station in central Europe: one hour ahead of UTC in winter, two in
    // summer. The change comes at 01:00 UTC on the WPX SSB weekend, while the
    // program runs with the offset it was started with.
    prefs.utcOffset = -1;
    clock.utc = core::DateTime{2026, 3, 29, 0, 59, 0};
    clock.utcMinusLocalMinutes = -60;
    auto& w = start();
    clock.utc = core::DateTime{2026, 3, 29, 1, 1, 0};
    clock.utcMinusLocalMinutes = -120;
    logW1aw();
    const auto records = logRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].qsoDate, "2026/03/29");
    EXPECT_EQ(records[0].qsoTime, "01:01:00");
    w.timer2Tick();
    EXPECT_EQ(text("lblutctime"), "01:01:00");
    EXPECT_EQ(text("lblCurTime"), "3:01:00");
    // The offset is still there for what else reads it.
    EXPECT_EQ(w.contest().prefs.utcOffset, -1.0f);
}

TEST_F(EntryWorkflowTest, PostContestDateAndTimeAreTypedAndRewritten) {
    start();
    child<QAction>("mnuPostContest")->trigger();
    auto* date = child<QLineEdit>("txtPostConDate");
    auto* time = child<QLineEdit>("txtPostConTime");
    EXPECT_FALSE(date->isHidden());
    EXPECT_EQ(text("lblPostConDate"), "Date");
    EXPECT_EQ(text("lblPostConTime"), "Time");
    date->setFocus();
    EXPECT_EQ(date->text(), "2026/05/30"); // today, selected for typing over
    EXPECT_EQ(date->selectedText(), "2026/05/30");
    type("2006/5/27x");
    EXPECT_EQ(date->text(), "2006/5/27"); // the letter is dropped
    type(" ");
    EXPECT_EQ(focused(), time);
    type("9:3a0");
    EXPECT_EQ(time->text(), "9:30");
    time->setText("930");

    child<QLineEdit>("txtCall")->setFocus();
    type("w1aw59912");
    press(Qt::Key_Return);
    EXPECT_EQ(date->text(), "2006/05/27");
    EXPECT_EQ(time->text(), "09:30");
    EXPECT_EQ(logLines(),
              std::vector<std::string>{
                  R"("W1AW","599","12","599","USA","2006/05/27","09:30","20",1,"W1","001","")"});

    // A date that cannot be read logs nothing.
    date->setText("2006/13/45");
    child<QLineEdit>("txtCall")->setFocus();
    type("dl1abc59912");
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblDialog"), "Invalid date format!");
    EXPECT_EQ(logLines().size(), 1u);
    EXPECT_EQ(boxText("txtCall"), "DL1ABC");

    child<QAction>("mnuPostContest")->trigger();
    EXPECT_TRUE(date->isHidden());
    EXPECT_FALSE(child<QAction>("mnuPostContest")->isChecked());
}

TEST_F(EntryWorkflowTest, PointsTakeOneDigitAndNineBecomesSix) {
    start();
    child<QLineEdit>("txtCall")->setFocus();
    type("dl1abc");
    EXPECT_EQ(boxText("txtPoints"), "3");
    auto* points = child<QLineEdit>("txtPoints");
    points->setFocus();
    points->selectAll();
    type("9");
    EXPECT_EQ(points->text(), "6");
    type("x");
    EXPECT_EQ(points->text(), "6");
    // A band change recomputes the points of the call on the screen.
    child<QAction>("mnu40")->trigger();
    EXPECT_EQ(points->text(), "6");
    child<QAction>("mnu15")->trigger();
    EXPECT_EQ(points->text(), "3");
}

TEST_F(EntryWorkflowTest, ScoreNewFlagAndPrefixListFollowTheContacts) {
    auto& w = start();
    EXPECT_EQ(text("lblTotCon"), "0");
    EXPECT_EQ(text("lbl160"), "Prefixes Worked - 0");
    child<QLineEdit>("txtCall")->setFocus();
    type("w1");
    EXPECT_FALSE(child<QLabel>("Label14")->isHidden()); // "New"
    child<QAction>("mnuClear")->trigger();
    logW1aw();
    EXPECT_EQ(text("lblTotCon"), "1");
    EXPECT_EQ(text("lblsectogo"), "1");
    EXPECT_EQ(text("lblTotSec"), "1");
    EXPECT_EQ(text("lblTotScore"), "1");
    EXPECT_EQ(text("lbl160"), "Prefixes Worked - 1");

    child<QLineEdit>("txtCall")->setFocus();
    type("w1xyz");
    EXPECT_TRUE(child<QLabel>("Label14")->isHidden()); // W1 is worked
    type("599 1 599");
    press(Qt::Key_Return);
    child<QLineEdit>("txtCall")->setFocus();
    type("dl1abc59912");
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblTotCon"), "3");
    EXPECT_EQ(text("lblsectogo"), "2");
    EXPECT_EQ(text("lblTotSec"), "5");
    EXPECT_EQ(text("lblTotScore"), "10");
    // The prefixes-worked text follows a moment later, once per run of contacts.
    auto* worked = child<QPlainTextEdit>("Text1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return worked->toPlainText() == "DL1 W1 "; }, 2000));
    EXPECT_EQ(w.prefixes().count(), 2);
    EXPECT_EQ(text("lblAQSO60"), "3");
    EXPECT_EQ(text("lblAQSO20"), "9");

    QTest::mouseClick(child<QLabel>("lbl160"), Qt::LeftButton);
    EXPECT_EQ(text("Label21"), "160");
    EXPECT_TRUE(child<QAction>("mnu160")->isChecked());
}

TEST_F(EntryWorkflowTest, PartialDupesListTheCallsOfTheBandAndCanBeSwitchedOff) {
    start();
    logW1aw();
    child<QLineEdit>("txtCall")->setFocus();
    type("w1");
    EXPECT_EQ(text("lblDupe"), " W1AW");
    type("a");
    EXPECT_EQ(text("lblDialog"), " "); // three characters: the warning check decides
    type("w");
    EXPECT_EQ(text("lblDialog"), "Possible Duplicate!");
    child<QAction>("mnuClear")->trigger();
    QTest::mouseClick(child<QPushButton>("cmdDup"), Qt::LeftButton);
    EXPECT_EQ(child<QPushButton>("cmdDup")->text(), "Off");
    EXPECT_EQ(focused()->objectName(), "txtCall");
    type("w1");
    EXPECT_EQ(text("lblDupe"), "");
    // Not numeric in the second or third place: a warning.
    child<QAction>("mnuClear")->trigger();
    const int beeps = prompts.beeps;
    type("kaa");
    EXPECT_EQ(text("lblDialog"), "The second or third character is not numeric!");
    EXPECT_GT(prompts.beeps, beeps);
}

TEST_F(EntryWorkflowTest, ListPreviousContactsShowsEveryBandAndIsSaved) {
    start();
    logW1aw();
    child<QAction>("mnu40")->trigger();
    logW1aw();
    child<QAction>("mnuListPrevious")->trigger();
    EXPECT_EQ(savedPrefs().listPrevious, 1);
    child<QLineEdit>("txtCall")->setFocus();
    type("w1aw ");
    auto* list = child<QTreeView>("ListView1");
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(test::cell(list, 0, 0), "1");
    EXPECT_EQ(test::cell(list, 1, 0), "2");
    EXPECT_TRUE(text("lblDialog").startsWith("Duplicate W1AW"));
    // Back in the empty call box, the list shows the log again.
    child<QAction>("mnuListPrevious")->trigger();
    EXPECT_EQ(savedPrefs().listPrevious, 0);
}

TEST_F(EntryWorkflowTest, PastedQuotesCommasAndControlCharactersNeverBreakTheLogLine) {
    start();
    auto* call = child<QLineEdit>("txtCall");
    call->setFocus();
    call->insert(QString::fromUtf8("w1\"a\tw\u20ac"));
    EXPECT_EQ(call->text(), "W1AW"); // quotes, controls and non-Latin-1 are gone
    type(" 599 12 599");
    auto* country = child<QLineEdit>("txtCntry");
    country->selectAll();
    country->insert(QString::fromUtf8("Fo\"o,\r\nB\x01"
                                      "ar"));
    EXPECT_EQ(country->text(), "Foo,Bar");
    child<QLineEdit>("txtPoints")->setText("2");
    QTest::keyClick(call, Qt::Key_Return);
    auto records = logRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].call, "W1AW");
    EXPECT_EQ(records[0].prefix, "W1");
    EXPECT_EQ(records[0].country, "Foo,Bar");
    EXPECT_EQ(records[0].points, 2.0f);
    EXPECT_EQ(logLines().size(), 1u);
}

TEST_F(EntryWorkflowTest, WindowKeysReachTheHooksAndCtrlShortcutsNeverReachTheBoxes) {
    struct Tools : ui::ToolWindowsHook {
        QStringList opened;
        void showCwWindow() override { opened << "cw"; }
        void showSpotting() override { opened << "spotting"; }
        void runSpectrumMap() override { opened << "map"; }
    } tools;
    struct Keyer : ui::CwKeyerHook {
        int speed = 30;
        std::vector<int> keys;
        int cwInterface() const override { return 1; }
        void fKeyCw(int code) override { keys.push_back(code); }
        int speedUp() override { return ++speed; }
    } keyer;
    auto& w = start();
    w.setToolWindows(&tools);
    w.setCwKeyer(&keyer);
    child<QLineEdit>("txtCall")->setFocus();
    press(Qt::Key_C, Qt::ControlModifier);
    press(Qt::Key_D, Qt::ControlModifier);
    press(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(tools.opened, (QStringList{"cw", "spotting", "map"}));
    EXPECT_TRUE(boxText("txtCall").isEmpty());
    press(Qt::Key_F1);
    press(Qt::Key_F10);
    EXPECT_EQ(keyer.keys, (std::vector<int>{112, 124}));
    press(Qt::Key_Up);
    EXPECT_EQ(text("lblDialog"), "31 WPM");
    // Keyboard CW mode: typed characters go to the CW buffer.
    press(Qt::Key_F12);
    EXPECT_TRUE(w.keyboardCwMode());
    type("cq");
    EXPECT_EQ(w.cwBuffer, "CQ");
    EXPECT_TRUE(boxText("txtCall").isEmpty());
    press(Qt::Key_F12);
    EXPECT_FALSE(w.keyboardCwMode());
    w.setCwKeyer(nullptr); // the default again: no keying method, F-keys do nothing
    press(Qt::Key_F1);
    EXPECT_EQ(keyer.keys.size(), 2u);
}

TEST_F(EntryWorkflowTest, EveryControlAndValueLabelHasAnAccessibleName) {
    auto& w = start();
    QStringList unnamed;
    for (QWidget* widget : w.centralWidget()->findChildren<QWidget*>()) {
        const bool interesting =
            qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
            qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
            qobject_cast<QLabel*>(widget) || qobject_cast<QProgressBar*>(widget);
        if (interesting && widget->accessibleName().trimmed().isEmpty()) {
            unnamed << widget->objectName() + "(" + widget->metaObject()->className() + ")";
        }
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
    EXPECT_EQ(child<QLineEdit>("txtCall")->accessibleName(), "Call");
    EXPECT_EQ(child<QLabel>("lblTotScore")->accessibleName(), "Total Score: 0");
    EXPECT_EQ(child<QLabel>("Label4")->accessibleName(), "Next serial number: 001");
}

TEST_F(EntryWorkflowTest, ContactsAddedOrReadByOtherWindowsAreKnownToTheDuplicateCheck) {
    dir.write("work/log.txt", test::logOf(2)); // K1AA and K2AA on 20
    auto& w = start();
    EXPECT_EQ(text("lblTotCon"), "2");
    EXPECT_EQ(text("lbl160"), "Prefixes Worked - 2");
    ASSERT_TRUE(w.appendQso(test::qso(3)));
    child<QLineEdit>("txtCall")->setFocus();
    type("k3aa ");
    EXPECT_EQ(text("lblDialog"), "Duplicate K3AA 2026/05/30 00:00:00 ON 20  Rec#  3");
    // The log rewritten by another program and read again.
    dir.write("work/log.txt", test::logOf(5));
    child<QAction>("mnuOpen")->trigger();
    EXPECT_EQ(text("lbl160"), "Prefixes Worked - 5");
    auto* worked = child<QPlainTextEdit>("Text1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return worked->toPlainText() == "K1 K2 K3 K4 K5 "; }, 2000));
    child<QAction>("mnuClear")->trigger();
    clock.advanceSeconds(3); // past the hold after the duplicate
    type("k5a");
    EXPECT_EQ(text("lblDupe"), " K5AA");
}

TEST_F(EntryWorkflowTest, PhoneContestCarriesAtTwoDigitsAndRoutesKeysAndPromptsToTheVoiceWindows) {
    struct Voice : ui::VoiceKeyerHook {
        std::vector<int> keys;
        bool playing = false;
        int stops = 0;
        void fKeyPhone(int code) override { keys.push_back(code); }
        bool isPlaying() const override { return playing; }
        void stop() override { ++stops; }
    } voice;
    struct Prompter : ui::VoicePrompterHook {
        std::vector<std::string> played;
        void playPrompt(const std::string& name) override { played.push_back(name); }
        void playDupe() override { played.push_back("Dupe"); }
    } prompter;
    prefs.voiceNavigation = 2;
    auto& w = start("PH");
    w.setVoiceKeyer(&voice);
    w.setVoicePrompter(&prompter);
    child<QLineEdit>("txtCall")->setFocus();
    type("w1aw5");
    EXPECT_EQ(boxText("txtRSTS"), "59");
    type("91");
    EXPECT_EQ(boxText("txtRSTR"), "59");
    EXPECT_EQ(boxText("txtSec"), "1");
    EXPECT_EQ(prompter.played, (std::vector<std::string>{"RstRcvd", "SerNum"}));
    press(Qt::Key_F3);
    press(Qt::Key_F10); // swallowed in a phone contest
    EXPECT_EQ(voice.keys, std::vector<int>{114});
    voice.playing = true;
    press(Qt::Key_Escape);
    EXPECT_EQ(voice.stops, 1);
    EXPECT_EQ(boxText("txtCall"), "W1AW"); // only the message stopped
    voice.playing = false;
    press(Qt::Key_Return);
    EXPECT_EQ(logLines(), std::vector<std::string>{R"("W1AW","59","1","59","USA","2026/05/30",)"
                                                   R"("12:00:00","20",1,"W1","001","")"});
    EXPECT_EQ(prompter.played.back(), "Call");
}
