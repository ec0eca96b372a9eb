// The tool windows plugged into the main window: the File-menu operations, the
// edit and delete buttons of the log list, and the rig windows on their keys.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "keying/element_clock.h"
#include "keying/keying_fakes.h"
#include "keying/morse_table.h"
#include "support/main_window_fixture.h"
#include "ui/keying/cw_window.h"
#include "ui/rig/rig_band_plan_dialog.h"
#include "ui/rig/rig_tune_dialog.h"
#include "ui/station/station_tools.h"

using namespace wexon;
using wexon::test::logOf;
using wexon::test::MainWindowTest;

namespace {

class StationToolsTest : public MainWindowTest {
  protected:
    std::unique_ptr<ui::StationTools> tools;
    std::vector<QString> modalWindows;

    ui::MainWindow& start(int contacts) {
        dir.write("work/log.txt", logOf(contacts));
        prompts.questionAnswers = {true};
        auto& w = make();
        auto stationModal = services.runModal;
        services.runModal = [this, stationModal](QDialog& d) {
            if (dynamic_cast<ui::RigTuneDialog*>(&d) != nullptr) {
                modalWindows.push_back("tune");
            } else if (dynamic_cast<ui::RigBandPlanDialog*>(&d) != nullptr) {
                modalWindows.push_back("privileges");
            }
            return stationModal(d);
        };
        tools = std::make_unique<ui::StationTools>(w, services);
        w.formLoad();
        w.show();
        return w;
    }
    void TearDown() override { tools.reset(); }
};

} // namespace

TEST_F(StationToolsTest, TheLogMenuItemsAreLiveOnceTheToolsArePlugedIn) {
    start(3);
    for (const char* name :
         {"mnuWriteSumm", "mnuADIF", "mnuPavixExport", "mnuCopyListtoClipboard", "mnuArchive",
          "mnuRestore", "mnuGraph", "mnuNew", "mnuRigInterface", "mnuPrivileges"}) {
        ASSERT_NE(child<QAction>(name), nullptr) << name;
        EXPECT_TRUE(child<QAction>(name)->isEnabled()) << name;
    }
}

TEST_F(StationToolsTest, TheListIsCopiedToTheClipboardAsShown) {
    start(3);
    child<QAction>("mnuCopyListtoClipboard")->trigger();
    const QString text = QGuiApplication::clipboard()->text();
    const QStringList lines = text.split(QRegularExpression("\r?\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << text.toStdString();
    EXPECT_TRUE(lines[0].startsWith("Rec#\tCall\t"));
    // The rows go from the bottom of the list up, so the oldest shown comes first.
    EXPECT_TRUE(lines[1].startsWith("1\tK1AA\t")) << lines[1].toStdString();
    EXPECT_TRUE(lines[3].startsWith("3\tK3AA\t")) << lines[3].toStdString();
}

TEST_F(StationToolsTest, AClickOnTheListShowsTheButtonsAndDeleteRemovesThatContact) {
    auto& w = start(10);
    auto* list = child<QTreeView>("ListView1");
    auto* del = child<QPushButton>("cmdDelete");
    EXPECT_FALSE(del->isVisible());
    // The list shows 10 down to 1: row 5 is record 5.
    const QModelIndex row = list->model()->index(5, 0);
    ASSERT_EQ(row.data().toString(), "5");
    list->setCurrentIndex(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    EXPECT_TRUE(del->isVisible());
    EXPECT_TRUE(child<QPushButton>("cmdEdit")->isVisible());
    prompts.questionAnswers = {true};
    QTest::mouseClick(del, Qt::LeftButton);
    EXPECT_TRUE(prompts.wasShown("Are you sure?"));
    EXPECT_EQ(w.contest().qsoCount(), 9);
    EXPECT_FALSE(del->isVisible());
    std::string expected;
    for (int n : {1, 2, 3, 4, 6, 7, 8, 9, 10}) {
        expected += core::formatQsoLine(test::qso(n));
    }
    EXPECT_EQ(dir.read("work/log.txt"), expected);
}

// The buttons can be up with no row selected (the list lost the focus): a press
// then says so and puts the buttons away instead of doing nothing.
TEST_F(StationToolsTest, EditOrDeleteWithNoRowSelectedSaysSoAndHidesTheButtons) {
    auto& w = start(4);
    auto* list = child<QTreeView>("ListView1");
    for (const char* name : {"cmdDelete", "cmdEdit"}) {
        list->setCurrentIndex(QModelIndex());
        child<QPushButton>("cmdEdit")->show();
        child<QPushButton>("cmdDelete")->show();
        prompts.shown.clear();
        QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton);
        ASSERT_EQ(prompts.titles(), std::vector<QString>{ui::kNoContactSelectedTitle}) << name;
        EXPECT_FALSE(child<QPushButton>("cmdDelete")->isVisible()) << name;
        EXPECT_FALSE(child<QPushButton>("cmdEdit")->isVisible()) << name;
    }
    EXPECT_EQ(w.contest().qsoCount(), 4);
    EXPECT_EQ(dir.read("work/log.txt"), logOf(4));
}

// File > New copies the log into BACKUP once, after "YES", and not at all when
// the answer is anything else, whether or not the log changed in this run.
TEST_F(StationToolsTest, FileNewBacksTheLogUpOnceAfterYesAndNeverOnNo) {
    auto& w = start(3);
    ASSERT_TRUE(w.appendQso(test::qso(4)));
    const std::string backup = dir.file("docs/TARNO Software/CQ WPX/BACKUP");
    auto copies = [&] {
        return std::distance(std::filesystem::directory_iterator(backup),
                             std::filesystem::directory_iterator());
    };
    prompts.inputAnswers = {QString("no")};
    child<QAction>("mnuNew")->trigger();
    EXPECT_EQ(copies(), 0);
    EXPECT_EQ(dir.read("work/log.txt"), logOf(4));
    prompts.inputAnswers = {QString("YES")};
    child<QAction>("mnuNew")->trigger();
    EXPECT_EQ(copies(), 1);
    EXPECT_EQ(dir.read("work/log.txt"), "");
}

TEST_F(StationToolsTest, ARigTuneAndThePrivilegesChartOpenFromTheirKeys) {
    auto& w = start(1);
    std::filesystem::copy_file(std::string(WEXON_SOURCE_DIR) + "/data/BandPlan.txt",
                               dir.file("work/BandPlan.txt"));
    auto* call = w.findChild<QLineEdit*>("txtCall");
    call->setFocus();
    QTest::keyClick(call, Qt::Key_G, Qt::ControlModifier);
    QTest::keyClick(call, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(modalWindows, (std::vector<QString>{"tune", "privileges"}));
    // The menu item opens the chart too.
    child<QAction>("mnuPrivileges")->trigger();
    EXPECT_EQ(modalWindows.size(), 3u);
    // Nothing typed with Ctrl reached the call box.
    EXPECT_EQ(call->text(), "");
}

namespace {

// The text a recorded key line sent, read back from its edge times: an element
// gap is one unit, a character gap three, a word gap seven.
std::string decodeMorse(const std::string& units) {
    std::string text;
    std::string pattern;
    auto endCharacter = [&] {
        if (pattern.empty()) {
            return;
        }
        // The table holds each character as its keyed units.
        std::string keyed;
        for (char element : pattern) {
            keyed += element == '.' ? "10" : "1110";
        }
        keyed += "00";
        for (char c = '!'; c <= 'Z'; ++c) {
            if (keying::morsePattern(c) == keyed) {
                text += c;
                break;
            }
        }
        pattern.clear();
    };
    std::size_t i = 0;
    while (i < units.size()) {
        std::size_t j = i;
        while (j < units.size() && units[j] == units[i]) {
            ++j;
        }
        const std::size_t run = j - i;
        if (units[i] == '1') {
            pattern += run >= 2 ? '-' : '.';
        } else if (run >= 5) {
            endCharacter();
            text += ' ';
        } else if (run >= 2) {
            endCharacter();
        }
        i = j;
    }
    endCharacter();
    return text;
}

} // namespace

TEST_F(StationToolsTest, FunctionKeysInTheMainWindowSendTheirMessagesWithTheCallFilledIn) {
    auto& w = start(1);
    keying::CwKeyer& keyer = tools->cwWindow().keyer();
    keying::MonotonicElementClock stamps;
    test::ScriptedKeyLine line(stamps);
    keyer.setInterface(1);
    // The keyer sets its line up before each message; here that line is the
    // recording one instead of a serial port.
    keyer.setLineSetup([&keyer, &line] { keyer.setKeyLine(&line); });
    keyer.setSpeedText("60");
    keyer.setMessage(1, "$ 5NN");
    auto* call = w.findChild<QLineEdit*>("txtCall");
    call->setFocus();
    QTest::keyClicks(call, "K1A");
    QTest::keyClick(call, Qt::Key_F2);
    // F2 reached the keyer with the call in place of "$".
    ASSERT_TRUE(keyer.engine().waitUntilIdle(std::chrono::seconds(10)));
    const double unitNs = 1.2e9 / 60;
    EXPECT_EQ(decodeMorse(line.units(unitNs)), "K1A 5NN");
    // The key went to the keyer, not into the box.
    EXPECT_EQ(call->text(), "K1A");
    keyer.setKeyLine(nullptr);
}
