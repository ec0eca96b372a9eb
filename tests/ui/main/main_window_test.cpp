#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <filesystem>

#include "core/log_file.h"
#include "core/number_format.h"
#include "core/preferences.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/main/main_window.h"
#include "ui/station/startup.h"
#include "ui/station/station_window.h"
#include "support/main_window_fixture.h"
#include <fstream>

using namespace wexon;
using wexon::test::MainWindowTest;
using wexon::test::cell;
using wexon::test::logOf;
using wexon::test::qso;

TEST_F(MainWindowTest, StartsWithTheExistingLogAndShowsTheLastTwenty) {
    dir.write("work/log.txt", logOf(21));
    prompts.questionAnswers = {true};
    auto& w = make();
    EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);

    // Exactly one station window and one question, and no UTC question: the offset matches.
    EXPECT_EQ(stationWindowsShown, 1);
    EXPECT_EQ(prompts.titles(), std::vector<QString>{"Open existing log?"});
    EXPECT_EQ(w.contest().qsoCount(), 21);
    auto* list = child<QTreeView>("ListView1");
    ASSERT_EQ(list->model()->rowCount(), 20);
    EXPECT_EQ(cell(list, 0, 0), "21");
    EXPECT_EQ(cell(list, 19, 0), "2");
    EXPECT_EQ(list->model()->columnCount(), 11);
    EXPECT_EQ(list->model()->headerData(6, Qt::Horizontal).toString(), "Date/Time");
    EXPECT_EQ(list->columnWidth(0), 1920 * 520 / 9600);
    EXPECT_EQ(text("Label4"), "022");
    EXPECT_EQ(w.nextSerialPlain(), "22");
    EXPECT_EQ(text("Label21"), "20");
    EXPECT_EQ(text("Label2"), "W1AW");
    EXPECT_TRUE(child<QAction>("mnu20")->isChecked());
    EXPECT_FALSE(child<QAction>("mnu40")->isChecked());
    EXPECT_FALSE(child<QPushButton>("cmdEdit")->isVisible());
    EXPECT_FALSE(child<QLabel>("Label14")->isVisible());
    EXPECT_EQ(text("lblDialog"),
              "Select a band from the menu bar and click Log \"Time On\" below!");
    EXPECT_EQ(w.focusWidget(), child<QLineEdit>("txtCall"));

    // "Last 20" shows all and back.
    auto* listButton = child<QPushButton>("cmdList");
    QTest::mouseClick(listButton, Qt::LeftButton);
    EXPECT_EQ(listButton->text(), "All");
    EXPECT_EQ(list->model()->rowCount(), 21);
    QTest::mouseClick(listButton, Qt::LeftButton);
    EXPECT_EQ(listButton->text(), "Last 20");
    EXPECT_EQ(list->model()->rowCount(), 20);
}

TEST_F(MainWindowTest, MissingPreferenceFileStopsWithTheDefaultDataMessage) {
    std::filesystem::remove(dir.file("work/wexonprf.txt"));
    dir.write("work/log.txt", logOf(3));
    auto& w = make();
    EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::StoppedEarly);
    const auto* shown = prompts.find("Error opening default data.");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text, "Error loading default data .  Check to make sure wexonprf.txt is in "
                           "your working directory.");
    EXPECT_EQ(prompts.beeps, 1);
    // The log is read all the same, so that nothing is written over it unseen.
    EXPECT_EQ(w.contest().qsoCount(), 3);
    EXPECT_EQ(stationWindowsShown, 0);
    EXPECT_FALSE(prompts.wasShown("Open existing log?"));
}

TEST_F(MainWindowTest, PreferenceFileWithMissingLinesGivesTheDefaultDataMessage) {
    dir.write("work/wexonprf.txt", "\"W1AW\"\r\n5\r\n\"CW\"\r\n");
    auto& w = make();
    EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::StoppedEarly);
    EXPECT_TRUE(prompts.wasShown("Error opening default data."));
}

TEST_F(MainWindowTest, BrokenCountryFileStopsWithTheCountryFileMessage) {
    dir.write("work/arrlpre2.txt", "\"K\",\"USA\",\"NA\",abc,38,\"1\",\"2\",\"3\"\r\n");
    auto& w = make();
    EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::StoppedEarly);
    const auto* shown = prompts.find("Error opening country list file.");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text,
              "Error reading country file (arrlpre2.txt).  Using notepad, open this file and check "
              "to make sure that there are quotes around each field and that they are separated by "
              "commas.");
    EXPECT_EQ(stationWindowsShown, 0);
    EXPECT_EQ(w.contest().countries.count(), 0);
}

TEST_F(MainWindowTest, CountryFileIsTakenFromTheSharedFolderFirst) {
    dir.write("docs/TARNO Software/Shared/arrlpre2.txt",
              "\"K\",\"Shared USA\",\"NA\",97,38,\"1\",\"2\",\"3\"\r\n");
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    EXPECT_EQ(w.contest().countries.count(), 1);
    EXPECT_EQ(w.contest().countries.entry(1).country, "Shared USA");
}

TEST_F(MainWindowTest, NoCountryFileAnywhereLeavesEveryCallNotFound) {
    std::filesystem::remove(dir.file("work/arrlpre2.txt"));
    prompts.questionAnswers = {true};
    auto& w = make();
    EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
    w.show();
    QTest::keyClicks(child<QLineEdit>("txtCall"), "K1ABC");
    EXPECT_EQ(text("txtCntry"), "Not Found");
    EXPECT_EQ(w.foundCountryIndex(), 0);
}

TEST_F(MainWindowTest, FirstStartWithoutALogStartsAnEmptyOne) {
    prompts.questionAnswers = {true};
    auto& w = make();
    EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
    EXPECT_FALSE(prompts.wasShown("File Error"));
    EXPECT_TRUE(dir.exists("work/log.txt"));
    EXPECT_EQ(dir.read("work/log.txt"), "");
    EXPECT_EQ(text("Label4"), "001");
    EXPECT_EQ(child<QTreeView>("ListView1")->model()->rowCount(), 0);
}

TEST_F(MainWindowTest, UnreadableLogEndsTheProgramWithFileError) {
    std::filesystem::create_directories(dir.file("work/log.txt"));
    prompts.questionAnswers = {true};
    auto& w = make();
    EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::EndProgram);
    const auto* shown = prompts.find("File Error");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text, "Error opening file.");
}

TEST_F(MainWindowTest, DamagedLogLoadsWhatItCanAndSaysSo) {
    dir.write("work/log.txt", logOf(2) + "\"K9ZZ\",\"599\"");
    prompts.questionAnswers = {true};
    auto& w = make();
    EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
    EXPECT_EQ(w.contest().qsoCount(), 3);
    EXPECT_TRUE(prompts.wasShown("Log File Warning"));
}

TEST_F(MainWindowTest, UtcOffsetOffByAHundredthAsksAndSavesTheAnswer) {
    prefs.utcOffset = 5.01f;
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
    prompts.inputAnswers = {QString("5")};
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    const auto* shown = prompts.find("Update the Local Time / UTC Offset?");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->defaultText, "5");
    EXPECT_TRUE(shown->text.contains("Current Offset Setting: 5.01"));
    EXPECT_TRUE(shown->text.contains("Current System Time: 12:00"));
    EXPECT_TRUE(shown->text.contains("Current Local Time: 07:00"));
    EXPECT_EQ(w.contest().prefs.utcOffset, 5.0f);
    EXPECT_EQ(savedPrefs().utcOffset, 5.0f);
}

TEST_F(MainWindowTest, UtcOffsetCancelOrTextKeepsTheSavedOffset) {
    prefs.utcOffset = 3;
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
    for (std::optional<QString> answer :
         {std::optional<QString>{}, std::optional<QString>{"soon"}}) {
        prompts = test::FakePrompts{};
        prompts.inputAnswers = {answer};
        prompts.questionAnswers = {true};
        auto& w = make();
        w.formLoad();
        EXPECT_TRUE(prompts.wasShown("Update the Local Time / UTC Offset?"));
        EXPECT_EQ(w.contest().prefs.utcOffset, 3.0f);
    }
}

TEST_F(MainWindowTest, AnsweringNoAndTypingYesStartsANewLogAfterABackup) {
    dir.write("work/log.txt", logOf(4));
    prompts.questionAnswers = {false};
    prompts.inputAnswers = {QString("yes")};
    auto& w = make();
    EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
    EXPECT_TRUE(prompts.wasShown("WARNING - Your existing log file will be ERASED!"));
    EXPECT_EQ(w.contest().qsoCount(), 0);
    EXPECT_EQ(dir.read("work/log.txt"), "");
    // The erased contacts are kept in the backup folder.
    std::string backupFolder = dir.file("docs/TARNO Software/CQ WPX/BACKUP");
    int copies = 0;
    for (const auto& e : std::filesystem::directory_iterator(backupFolder)) {
        ++copies;
        std::ifstream in(e.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(bytes, logOf(4));
    }
    EXPECT_EQ(copies, 1);
}

TEST_F(MainWindowTest, AnsweringNoButNotTypingYesKeepsTheLog) {
    dir.write("work/log.txt", logOf(4));
    prompts.questionAnswers = {false};
    prompts.inputAnswers = {QString("no")};
    auto& w = make();
    w.formLoad();
    EXPECT_EQ(w.contest().qsoCount(), 4);
    EXPECT_EQ(dir.read("work/log.txt"), logOf(4));
}

TEST_F(MainWindowTest, TypingACallShowsCountryContinentBearingAndDistance) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.show();
    auto* call = child<QLineEdit>("txtCall");
    QTest::keyClicks(call, "dl1abc");
    EXPECT_EQ(call->text(), "DL1ABC");
    EXPECT_EQ(text("txtCntry"), "Germany");
    EXPECT_EQ(text("Label19"), "EU");
    EXPECT_EQ(w.foundContinent(), "EU");
    EXPECT_EQ(w.foundCountryIndex(), 1);
    EXPECT_FALSE(text("Label22").trimmed().isEmpty());
    EXPECT_TRUE(text("Label22").startsWith(' '));
    EXPECT_TRUE(text("Label23").contains(','));
    // The country is selected so that typing replaces it.
    EXPECT_EQ(child<QLineEdit>("txtCntry")->selectedText(), "Germany");

    call->clear();
    QTest::keyClicks(call, "KH6XX");
    EXPECT_EQ(text("txtCntry"), "Hawaii");
    call->clear(); // an empty call leaves the country box as it is
    EXPECT_EQ(text("txtCntry"), "Hawaii");
}

TEST_F(MainWindowTest, CountryBoxCompletesFromTheTable) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.show();
    auto* country = child<QLineEdit>("txtCntry");
    country->setFocus();
    QTest::keyClick(country, 'g');
    EXPECT_EQ(country->text(), "Germany"); // last entry in table order beginning with G
    EXPECT_EQ(country->selectedText(), "ermany");
    QTest::keyClick(country, 'e');
    QTest::keyClick(country, 'r');
    EXPECT_EQ(country->text(), "Germany");
    EXPECT_EQ(country->selectedText(), "many");
    EXPECT_EQ(w.foundContinent(), "EU");
    QTest::keyClick(country, 'o'); // no country begins with "Gero": typed as it is
    EXPECT_EQ(country->text(), "Gero");
    EXPECT_EQ(w.foundContinent(), "");
    country->clear();
    QTest::keyClick(country, 's');
    EXPECT_EQ(country->text(), "Scotland");
    EXPECT_EQ(country->selectedText(), "cotland");
    QTest::keyClick(country, '"');
    EXPECT_EQ(country->text(), "Scotland");
    country->clear();
    QTest::keyClick(country, 'x'); // no country: the capital is typed as it is
    EXPECT_EQ(country->text(), "X");
}

TEST_F(MainWindowTest, BandLabelCyclesAndEveryBandChangeIsSaved) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.show();
    auto* band = child<QLabel>("Label21");
    const char* expected[] = {"15", "10", "160", "80", "40", "20"};
    for (const char* b : expected) {
        QTest::mouseClick(band, Qt::LeftButton);
        EXPECT_EQ(band->text(), b);
        EXPECT_EQ(savedPrefs().band, b);
    }
    child<QAction>("mnu80")->trigger();
    EXPECT_EQ(band->text(), "80");
    EXPECT_TRUE(child<QAction>("mnu80")->isChecked());
    EXPECT_FALSE(child<QAction>("mnu20")->isChecked());
}

TEST_F(MainWindowTest, RigFrequencySelectsItsBandOutsideTheBandsOnlyRemembered) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.bandFreqConversion(7.025f);
    EXPECT_EQ(text("Label21"), "40");
    EXPECT_EQ(w.contest().lastFrequency, "7.025");
    w.bandFreqConversion(14.3501f);
    EXPECT_EQ(text("Label21"), "40");
    EXPECT_EQ(w.contest().lastFrequency, "14.350");
}

TEST_F(MainWindowTest, MenusInDesignOrderWithLaterItemsDisabled) {
    auto& w = make();
    QStringList seen;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) {
                seen << "-";
                continue;
            }
            seen << a->objectName() + "=" + a->text() + (a->isEnabled() ? "" : "(off)");
            if (a->menu()) {
                walk(a->menu());
            }
        }
    };
    for (QAction* top : w.menuBar()->actions()) {
        seen << top->text();
        if (top->menu()) {
            walk(top->menu());
        }
    }
    QStringList expected = {"&File",
                            "mnuNew=&New(off)",
                            "-",
                            "mnuArchive=Archive Current &Log(off)",
                            "-",
                            "mnuRestore=&Restore from Archive or Backup(off)",
                            "-",
                            "mnuOpen=Open",
                            "mnuWriteSumm=&Write Cabrillo File(off)",
                            "-",
                            "mnuPavixExport=E&xport for Pavix Import(off)",
                            "mnuADIF=Export &ADIF Format(off)",
                            "-",
                            "mnuCopyListtoClipboard=&Copy Listed Items to Clipboard(off)",
                            "-",
                            "mnuExit=&Exit",
                            "&Options",
                            "mnuTrnsmit=&Transmit",
                            "mnuCw=&CW(off)",
                            "mnuVoice=&Voice(off)",
                            "-",
                            "mnuAppearance=&Appearance",
                            "mnuFormSize=&Form Size(off)",
                            "mnuTaskbar=&Taskbar(off)",
                            "-",
                            "mnuRigInterface=&Rig Interface(off)",
                            "-",
                            "mnuDXSpottingMain=&DX Spotting",
                            "mnuDXSpotting=&Configure(off)",
                            "mnuSpectrumMap=&View Spectrum Map(off)",
                            "-",
                            "mnuBlind=&Voice Navigation(off)",
                            "-",
                            "mnuListPrevious=&List Previous Contacts",
                            "-",
                            "mnuPostContest=&Post Contest Mode",
                            "&Setup",
                            "&Clear",
                            "&Band",
                            "mnu160=1&60",
                            "mnu80=&80",
                            "mnu40=&40",
                            "mnu20=&20",
                            "mnu15=1&5",
                            "mnu10=&10",
                            "-",
                            "mnuPrivileges=&Frequency Privileges(off)",
                            "&Graph",
                            "&Help"};
    EXPECT_EQ(seen, expected);
}

TEST_F(MainWindowTest, ExitWhileLoggedOnKeepsTheOperatingTime) {
    prefs.timeOnSeconds = 600;
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.setLoggedOn(true);
    clock.advanceSeconds(125);
    QSignalSpy ended(&w, &ui::MainWindow::endProgram);
    child<QAction>("mnuExit")->trigger();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(savedPrefs().timeOnSeconds, 725.0f);
    EXPECT_FALSE(w.loggedOn());
}

TEST_F(MainWindowTest, CloseIsRefusedWhileCwIsSendingThenBacksUpAChangedLog) {
    dir.write("work/log.txt", logOf(1));
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.show();
    ASSERT_TRUE(w.appendQso(qso(2)));
    w.cwSending = true;
    w.cwBuffer = "CQ TEST";
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.cwBuffer.empty());
    w.cwSending = false;
    QSignalSpy ended(&w, &ui::MainWindow::endProgram);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(ended.count(), 1);
    std::string backupFile = dir.file("docs/TARNO Software/CQ WPX/BACKUP/202605300700.log");
    ASSERT_TRUE(std::filesystem::exists(backupFile));
}

TEST_F(MainWindowTest, ALogPastThirteenThousandContactsTakesTheNextOne) {
    dir.write("work/log.txt", logOf(13000));
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    std::string before = dir.read("work/log.txt");
    ASSERT_TRUE(w.appendQso(qso(13001)));
    EXPECT_EQ(w.contest().qsoCount(), 13001);
    EXPECT_EQ(dir.read("work/log.txt"), before + core::formatQsoLine(qso(13001)));
    auto* list = w.findChild<QTreeView*>("ListView1");
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "13001");
}

TEST_F(MainWindowTest, ColumnClickSortsOnceAsText) {
    dir.write("work/log.txt", logOf(12));
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.show();
    auto* list = child<QTreeView>("ListView1");
    emit list->header()->sectionClicked(0);
    EXPECT_EQ(cell(list, 0, 0), "1");
    EXPECT_EQ(cell(list, 1, 0), "10"); // text order, not numeric
    EXPECT_FALSE(list->isSortingEnabled());
    w.appendQso(qso(13));
    EXPECT_EQ(cell(list, 0, 0), "13"); // refilled newest first, unsorted
}

TEST_F(MainWindowTest, SetupCopiesTheStationValuesAndSavesThem) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    pressDone = false;
    w.mnuSetupClick(); // closed without Done: nothing changes
    EXPECT_EQ(w.contest().prefs.ownCall, "W1AW");
    pressDone = true;
    settings.write("UserCallSign", "N0CALL");
    prefs.ownCall = "";
    w.contest().prefs.ownCall = "";
    w.mnuSetupClick();
    EXPECT_EQ(w.contest().prefs.ownCall, "N0CALL");
    EXPECT_EQ(text("Label2"), "N0CALL");
    EXPECT_EQ(savedPrefs().ownCall, "N0CALL");
    EXPECT_TRUE(shared.text().find("<OWN_CALL>N0CALL</OWN_CALL>") != std::string::npos);
}

TEST_F(MainWindowTest, ClearEmptiesTheEntryRow) {
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.show();
    QTest::keyClicks(child<QLineEdit>("txtCall"), "K1ABC");
    child<QAction>("mnuClear")->trigger();
    for (const char* name : {"txtCall", "txtCntry", "Label19", "Label22", "Label23"}) {
        EXPECT_TRUE(text(name).isEmpty()) << name;
    }
    EXPECT_EQ(text("lblDialog"), " ");
}

TEST(StartupFolders, CreatesTheProgramFoldersUnderDocuments) {
    test::TempDir dir;
    test::FakePrompts prompts;
    auto f = ui::resolveFolders(QString::fromStdString(dir.path()),
                                QString::fromStdString(dir.file("Documents")), prompts);
    std::filesystem::create_directories(dir.file("Documents")); // made by the platform normally
    f = ui::resolveFolders(QString::fromStdString(dir.path()),
                           QString::fromStdString(dir.file("Documents")), prompts);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Documents/TARNO Software/CQ WPX")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Documents/TARNO Software/Shared")));
    EXPECT_EQ(f.backup.toStdString(), dir.file("Documents/TARNO Software/CQ WPX/BACKUP"));
}

TEST(StartupFolders, FailureNamesTheFolderAndWhy) {
    test::TempDir dir;
    dir.write("Documents/TARNO Software", "a file in the way");
    test::FakePrompts prompts;
    ui::resolveFolders(QString::fromStdString(dir.path()),
                       QString::fromStdString(dir.file("Documents")), prompts);
    const auto* shown = prompts.find("Unable to create directory.");
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->text.contains("TARNO Software  "));
    test::FakePrompts noDocs;
    auto f = ui::resolveFolders(QString::fromStdString(dir.path()), QString(), noDocs);
    EXPECT_TRUE(noDocs.wasShown("User Access Directory Error"));
    EXPECT_EQ(f.documents.toStdString(), dir.path());
}

TEST_F(MainWindowTest, EveryControlOfTheEntryRowIsVisibleInsideTheWindow) {
    dir.write("work/log.txt", logOf(21));
    prompts.questionAnswers = {true};
    auto& w = make();
    w.formLoad();
    w.resize(1400, 800);
    w.show();
    QTest::keyClicks(child<QLineEdit>("txtCall"), "DL1ABC");
    QRect inside = w.rect();
    for (const char* name : {"txtCall", "txtRSTR", "txtSec", "txtRSTS", "txtCntry", "txtPref",
                             "txtPoints", "ListView1", "lblDialog", "Label4", "Label21"}) {
        auto* widget = child<QWidget>(name);
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_TRUE(widget->isVisible()) << name;
        QRect r(widget->mapTo(&w, QPoint(0, 0)), widget->size());
        EXPECT_TRUE(inside.contains(r)) << name;
        EXPECT_GT(r.width(), 10) << name;
    }
    QCoreApplication::processEvents();
    EXPECT_GE(child<QLabel>("Label23")->width(),
              child<QLabel>("Label23")->fontMetrics().horizontalAdvance(text("Label23")));
    QPixmap shot = w.grab();
    EXPECT_FALSE(shot.isNull());
    // Set WEXON_SCREENSHOT_DIR to keep a picture of the window for a look by eye.
    QString folder = qEnvironmentVariable("WEXON_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        shot.save(folder + "/main_window.png");
    }
}
