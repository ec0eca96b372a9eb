// The main window keeps the log and its own state whole when files fail: an
// unreadable log, a backup that cannot be made, a damaged country file.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <cstring>

#include "core/log_repair.h"
#include "support/main_window_fixture.h"
#include "support/small_mount.h"

using namespace wexon;
using wexon::test::cell;
using wexon::test::logOf;
using wexon::test::MainWindowTest;
using wexon::test::qso;

namespace {

void makeUnreadable(const std::string& path) {
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
}

} // namespace

TEST_F(MainWindowTest, OpenRereadsAReadableLog) {
    dir.write("work/log.txt", logOf(3));
    prompts.questionAnswers = {true};
    auto& w = make();
    ASSERT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
    dir.write("work/log.txt", logOf(5)); // another program added two contacts
    QSignalSpy ended(&w, &ui::MainWindow::endProgram);
    child<QAction>("mnuOpen")->trigger();
    EXPECT_EQ(ended.count(), 0);
    EXPECT_EQ(w.contest().qsoCount(), 5);
    EXPECT_EQ(child<QTreeView>("ListView1")->model()->rowCount(), 5);
    EXPECT_EQ(text("Label4"), "006");
}

TEST_F(MainWindowTest, OpenOfAnUnreadableLogKeepsTheStoreAndEndsTheProgram) {
    dir.write("work/log.txt", logOf(3));
    prompts.questionAnswers = {true};
    auto& w = make();
    ASSERT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
    makeUnreadable(dir.file("work/log.txt"));
    QSignalSpy ended(&w, &ui::MainWindow::endProgram);
    child<QAction>("mnuOpen")->trigger();
    ASSERT_TRUE(prompts.find("File Error"));
    EXPECT_EQ(prompts.find("File Error")->text, "Error opening file.");
    ASSERT_EQ(ended.count(), 1);
    EXPECT_NE(ended.at(0).at(0).toInt(), 0);
    // Nothing in memory was thrown away, so nothing can be written over the log.
    EXPECT_EQ(w.contest().qsoCount(), 3);
    EXPECT_EQ(child<QTreeView>("ListView1")->model()->rowCount(), 3);
    EXPECT_EQ(text("Label4"), "004");
}

// A rewrite that cannot be written (here a read-only file system, which stops
// root too) leaves the file and the store as they were and says so.
TEST_F(MainWindowTest, ARewriteThatFailsLeavesTheFileAndTheStoreAsTheyWere) {
    test::SmallMount mount(dir.file("work"));
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.reason();
    }
    SetUp(); // the working files again, on the mounted file system
    dir.write("work/log.txt", logOf(4));
    prompts.questionAnswers = {true};
    auto& w = make();
    ASSERT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
    ASSERT_TRUE(mount.makeReadOnly());
    QSignalSpy ended(&w, &ui::MainWindow::endProgram);
    EXPECT_FALSE(w.contest().removeQso(2).ok());
    EXPECT_FALSE(w.rewriteLog());
    EXPECT_TRUE(prompts.wasShown("File Error"));
    EXPECT_EQ(ended.count(), 0);
    EXPECT_EQ(w.contest().qsoCount(), 4);
    EXPECT_EQ(dir.read("work/log.txt"), logOf(4));
    // Logging reports the real cause, not a torn line.
    EXPECT_FALSE(w.appendQso(qso(5)));
    ASSERT_TRUE(prompts.find("Log Write Error"));
    EXPECT_TRUE(prompts.find("Log Write Error")->text.contains(std::strerror(EROFS)));
    EXPECT_FALSE(prompts.wasShown(core::kTornTailErrorTitle));
    window.reset();
}

// A start-up that stops at a message still reads the log, so contacts logged
// afterwards join it and an edit cannot write the log from an empty store.
TEST_F(MainWindowTest, AStartUpThatStopsEarlyStillReadsTheLogBeforeAnythingIsWritten) {
    for (int fault = 0; fault < 2; ++fault) {
        SetUp();
        if (fault == 0) {
            std::filesystem::remove(dir.file("work/wexonprf.txt"));
        } else {
            dir.write("work/arrlpre2.txt", std::string(test::kCountries) + "\"ZZ\",Broken\r\n");
        }
        dir.write("work/log.txt", logOf(3));
        prompts.shown.clear();
        prompts.questionAnswers = {};
        auto& w = make();
        ASSERT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::StoppedEarly) << fault;
        EXPECT_EQ(w.contest().qsoCount(), 3) << fault;
        ASSERT_TRUE(w.appendQso(qso(4))) << fault;
        EXPECT_EQ(dir.read("work/log.txt"), logOf(4)) << fault;
        ASSERT_TRUE(w.contest().removeQso(1).ok()) << fault;
        EXPECT_EQ(w.contest().qsoCount(), 3) << fault;
        std::string expected;
        for (int n : {2, 3, 4}) {
            expected += core::formatQsoLine(qso(n));
        }
        EXPECT_EQ(dir.read("work/log.txt"), expected) << fault;
        window.reset();
    }
}

// Record by record the values must be what their places hold; a slide is
// named with its record and line when the log is read.
TEST_F(MainWindowTest, ShiftedRecordsAreNamedByRecordAndLine) {
    std::string line2 = core::formatQsoLine(qso(2));
    line2 = line2.substr(0, line2.rfind(",\"")) + "\r\n"; // one value short
    dir.write("work/log.txt", core::formatQsoLine(qso(1)) + line2 + core::formatQsoLine(qso(3)) +
                                  core::formatQsoLine(qso(4)));
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    ASSERT_TRUE(prompts.find("Log File Warning"));
    EXPECT_TRUE(prompts.find("Log File Warning")->text.contains("record 3 (line 3)"))
        << prompts.find("Log File Warning")->text.toStdString();
    EXPECT_TRUE(w.contest().rewriteNeedsConsent());
}

// A whole last record that only lacks its CR LF stays in the log: the next
// contact ends its line instead of moving it aside.
TEST_F(MainWindowTest, AWholeLastRecordWithoutItsLineEndStaysInTheLog) {
    std::string log = logOf(3);
    log.resize(log.size() - 2);
    dir.write("work/log.txt", "\xEF\xBB\xBF" + log);
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    EXPECT_EQ(w.contest().qso(1).call, "K1AA");         // the byte-order mark is no part of it
    EXPECT_FALSE(prompts.wasShown("Log File Warning")); // nothing is wrong with it
    ASSERT_TRUE(w.appendQso(qso(4)));
    EXPECT_EQ(dir.read("work/log.txt"), "\xEF\xBB\xBF" + logOf(4));
    EXPECT_EQ(w.contest().qsoCount(), 4);
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("docs/TARNO Software/CQ WPX/BACKUP")));
    EXPECT_FALSE(text("lblDialog").startsWith(core::kTornTailMessage));
}

TEST_F(MainWindowTest, StartUpAsksTheUtcQuestionThenShowsTheStationWindowThenAsksAboutTheLog) {
    prefs.utcOffset = 4; // differs from the fake clock's five hours
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
    prompts.questionAnswers = {true};
    auto& w = make();
    ASSERT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
    const auto titles = prompts.titles();
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0], "Update the Local Time / UTC Offset?");
    EXPECT_EQ(titles[1], "Open existing log?");
    EXPECT_EQ(stationWindowsShown, 1);
    EXPECT_EQ(shownBeforeStation, 1); // after the UTC question, before the log question
}

TEST_F(MainWindowTest, CloseAfterLoggingMakesABackupAndCloseWithoutLoggingMakesNone) {
    dir.write("work/log.txt", logOf(2));
    prompts.questionAnswers = {true};
    {
        auto& w = make();
        w.formLoad();
        w.close();
        EXPECT_TRUE(std::filesystem::is_empty(dir.file("docs/TARNO Software/CQ WPX/BACKUP")));
    }
    window.reset();
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    ASSERT_TRUE(w.appendQso(qso(3)));
    w.close();
    int copies = 0;
    for (const auto& e :
         std::filesystem::directory_iterator(dir.file("docs/TARNO Software/CQ WPX/BACKUP"))) {
        ++copies;
        EXPECT_EQ(dir.read(std::filesystem::relative(e.path(), dir.path()).string()), logOf(3));
    }
    EXPECT_EQ(copies, 1);
}

TEST_F(MainWindowTest, ANewLogIsNotStartedWhenTheOldOneCannotBeBackedUp) {
    dir.write("work/log.txt", logOf(6));
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    // The backup folder has become a file, so no copy can go there.
    const std::string backup = dir.file("docs/TARNO Software/CQ WPX/BACKUP");
    std::filesystem::remove_all(backup);
    dir.write("docs/TARNO Software/CQ WPX/BACKUP", "not a folder");
    prompts.inputAnswers = {QString("YES")};
    w.confirmNewLog();
    EXPECT_TRUE(prompts.wasShown("Backup Failed"));
    EXPECT_EQ(dir.read("work/log.txt"), logOf(6));
    EXPECT_EQ(w.contest().qsoCount(), 6);
}

TEST_F(MainWindowTest, TheNewLogAnswerIsComparedInCapitalsWithoutTrimming) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    dir.write("work/log.txt", logOf(2));
    prompts.inputAnswers = {QString(" yes ")};
    w.confirmNewLog();
    EXPECT_EQ(dir.read("work/log.txt"), logOf(2));
    prompts.inputAnswers = {QString("")};
    w.confirmNewLog();
    EXPECT_EQ(dir.read("work/log.txt"), logOf(2));
    prompts.inputAnswers = {QString("yes")};
    w.confirmNewLog();
    EXPECT_EQ(dir.read("work/log.txt"), "");
    EXPECT_EQ(w.contest().qsoCount(), 0);
}

TEST_F(MainWindowTest, AnEmptiedCallBoxForgetsTheCountryFound) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    auto* call = child<QLineEdit>("txtCall");
    call->setText("DL1ABC");
    ASSERT_NE(w.foundCountryIndex(), 0);
    ASSERT_EQ(w.foundContinent(), "EU");
    call->clear();
    EXPECT_EQ(w.foundCountryIndex(), 0);
    EXPECT_EQ(w.foundContinent(), "");
    EXPECT_EQ(text("Label19"), "");
    EXPECT_EQ(text("Label22"), "");
    EXPECT_EQ(text("Label23"), "");
}

TEST_F(MainWindowTest, BackspaceAndEnterInTheCountryBoxDropTheContinent) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.show();
    auto* call = child<QLineEdit>("txtCall");
    auto* country = child<QLineEdit>("txtCntry");
    for (int key : {int(Qt::Key_Backspace), int(Qt::Key_Return)}) {
        call->clear();
        call->setText("DL1ABC");
        ASSERT_EQ(w.foundContinent(), "EU");
        country->setFocus();
        QTest::keyClick(country, static_cast<Qt::Key>(key));
        EXPECT_EQ(w.foundContinent(), "") << key;
    }
}

TEST_F(MainWindowTest, ADamagedCountryFileKeepsTheEntriesReadBeforeTheFault) {
    dir.write("work/arrlpre2.txt", std::string(test::kCountries) + "\"ZZ\",Broken,\"EU\"\r\n");
    prompts.questionAnswers = {true};
    auto& w = make();
    EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::StoppedEarly);
    EXPECT_TRUE(prompts.wasShown("Error opening country list file."));
    EXPECT_EQ(w.contest().countries.count(), 6);
    child<QLineEdit>("txtCall")->setText("KH6XX");
    EXPECT_EQ(text("txtCntry"), "Hawaii");
}

TEST_F(MainWindowTest, ThePlainSerialCopyStartsAt001AndFollowsTheLabel) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    EXPECT_EQ(text("Label4"), "001");
    EXPECT_EQ(w.nextSerialPlain(), "001");
    ASSERT_TRUE(w.appendQso(qso(1)));
    w.mnuopen2();
    EXPECT_EQ(text("Label4"), "002");
    EXPECT_EQ(w.nextSerialPlain(), "2");
}

TEST_F(MainWindowTest, AStationWindowClosedWithoutDoneStillFillsAnEmptyCallFromTheStore) {
    prefs.ownCall = "";
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
    settings.write("UserCallSign", "N0CALL");
    pressDone = false;
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    EXPECT_EQ(w.contest().prefs.ownCall, "N0CALL");
    EXPECT_EQ(text("Label2"), "N0CALL");
}

TEST_F(MainWindowTest, OnASmallScreenTheCallAndCountryKeepTheirRoom) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.setWindowState(Qt::WindowNoState);
    w.resize(1024, 700);
    w.show();
    QCoreApplication::processEvents();
    auto* call = child<QLineEdit>("txtCall");
    auto* country = child<QLineEdit>("txtCntry");
    const QFontMetrics m(country->font());
    EXPECT_GE(country->width(), m.horizontalAdvance("Guantanamo Bay"));
    EXPECT_GE(call->width(), m.horizontalAdvance("W1AW/KH6"));
    // The reports, serial and points stay narrow.
    EXPECT_LT(child<QLineEdit>("txtRSTR")->width(), country->width() / 2);
    EXPECT_LT(child<QLineEdit>("txtPoints")->width(), country->width() / 2);
    EXPECT_LE(w.centralWidget()->minimumSizeHint().width(), 1024);
}

TEST_F(MainWindowTest, ASelectionShowsOnlyInTheBoxThatHasTheFocus) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const char* names[] = {"txtCall", "txtRSTR", "txtCntry", "txtPref", "txtPoints"};
    auto shows = [this](const char* name, QPalette::ColorGroup group) {
        const QPalette p = child<QLineEdit>(name)->palette();
        return p.color(group, QPalette::Highlight) != p.color(group, QPalette::Base);
    };
    for (const char* focus : names) {
        child<QLineEdit>(focus)->setFocus();
        QApplication::processEvents();
        for (const char* name : names) {
            // The country selected for typing over stays unpainted while the
            // call box has the focus, and so on for every box.
            EXPECT_EQ(shows(name, QPalette::Active), std::string_view(name) == focus)
                << name << " with the focus in " << focus;
            EXPECT_FALSE(shows(name, QPalette::Inactive)) << name;
        }
    }
}

TEST_F(MainWindowTest, TheLogListShowsTheStoreWithoutCopies) {
    dir.write("work/log.txt", logOf(30));
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    auto* list = child<QTreeView>("ListView1");
    EXPECT_EQ(list->model()->rowCount(), 20);
    QTest::mouseClick(child<QPushButton>("cmdList"), Qt::LeftButton);
    EXPECT_EQ(list->model()->rowCount(), 30);
    EXPECT_EQ(cell(list, 29, 0), "1");
    EXPECT_EQ(cell(list, 0, 1), "K30AA");
    EXPECT_EQ(cell(list, 0, 6), "05/30 00:00");
    QTest::mouseClick(child<QPushButton>("cmdList"), Qt::LeftButton);
    EXPECT_EQ(list->model()->rowCount(), 20);
}

TEST_F(MainWindowTest, ATornLastLineIsMovedAsideBeforeTheNextContact) {
    std::string torn = logOf(2) + "\"K9TORN\",\"59";
    dir.write("work/log.txt", torn);
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    ASSERT_TRUE(prompts.wasShown("Log File Warning"));
    ASSERT_TRUE(w.appendQso(qso(3)));
    EXPECT_TRUE(text("lblDialog").startsWith("The incomplete last line of log.txt was moved to "))
        << text("lblDialog").toStdString();
    // The file reads back as the two whole contacts and the new one; the fragment
    // waits in the backup folder.
    std::string expected = logOf(2) + core::formatQsoLine(qso(3));
    EXPECT_EQ(dir.read("work/log.txt"), expected);
    // Memory follows the file: the torn record read at start is gone there too.
    ASSERT_EQ(w.contest().qsoCount(), 3);
    EXPECT_EQ(w.contest().qso(3).call, "K3AA");
    bool fragmentKept = false;
    for (const auto& e :
         std::filesystem::directory_iterator(dir.file("docs/TARNO Software/CQ WPX/BACKUP"))) {
        fragmentKept |=
            dir.read(std::filesystem::relative(e.path(), dir.path()).string()) == "\"K9TORN\",\"59";
    }
    EXPECT_TRUE(fragmentKept);
}

TEST_F(MainWindowTest, PointsThatNoContactCanHaveAreCountedAsNoneAndReported) {
    auto a = qso(1);
    a.points = 3e9f;
    auto b = qso(2);
    b.points = -5;
    dir.write("work/log.txt",
              core::formatQsoLine(a) + core::formatQsoLine(b) + core::formatQsoLine(qso(3)));
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    EXPECT_EQ(w.contest().totalPoints(), 1);
    ASSERT_TRUE(prompts.find("Log File Warning"));
    EXPECT_TRUE(prompts.find("Log File Warning")->text.contains("below 0 or above 999"));
}

TEST_F(MainWindowTest, LeftoverTemporaryFilesOfTheProgramAreClearedAtStart) {
    dir.write("work/log.txt.a1B2c3", "half a log");
    dir.write("work/wexonprf.txt.Zq9x0P", "half the preferences");
    dir.write("work/log.txt.keep", "someone else's file");
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    EXPECT_FALSE(std::filesystem::exists(dir.file("work/log.txt.a1B2c3")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("work/wexonprf.txt.Zq9x0P")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("work/log.txt.keep")));
}
