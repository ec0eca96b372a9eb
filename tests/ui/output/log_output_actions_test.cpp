#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <functional>

#include "core/contest.h"
#include "core/log_file.h"
#include "core/number_format.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/small_mount.h"
#include "support/temp_dir.h"
#include "ui/output/edit_contact_window.h"
#include "ui/output/log_output_actions.h"
#include "ui/output/rate_graph_window.h"
#include "ui/output/summary_sheet_window.h"

using namespace wexon;

namespace {

core::QsoRecord qso(int n, const std::string& band = "20") {
    core::QsoRecord r;
    r.call = "K" + std::to_string(n) + "AA";
    r.rstReceived = "599";
    r.serialReceived = std::to_string(n);
    r.rstSent = "599";
    r.country = "USA";
    r.qsoDate = "2026/03/28";
    r.qsoTime = core::zeroPad(n % 24, 2) + ":00:00";
    r.band = band;
    r.points = 1;
    r.prefix = "K" + std::to_string(n);
    r.serialSent = core::zeroPad(n, 3);
    return r;
}

std::string logOf(int count) {
    std::vector<core::QsoRecord> v;
    for (int i = 1; i <= count; ++i) {
        v.push_back(qso(i));
    }
    return core::formatLog(v);
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A working folder with a log, the program data, shared and backup folders
// beside it, and the operations wired to fakes. Modal windows go to `onModal`.
class LogOutputTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    test::FakeClock clock;
    test::FakePrompts prompts;
    core::MemorySettingsStore settings;
    core::SharedPreferences shared;
    std::unique_ptr<core::Contest> contest;
    std::function<void(QDialog&)> onModal;
    int reloads = 0;

    void SetUp() override {
        for (const char* f : {"work", "data", "data/BACKUP", "shared"}) {
            std::filesystem::create_directories(dir.file(f));
        }
        shared.load(dir.file("shared/SharedUserPreferences.xml"));
    }

    core::Contest& withLog(int count) {
        dir.write("work/log.txt", logOf(count));
        contest = std::make_unique<core::Contest>(dir.file("work"));
        contest->prefs.ownCall = "W1AW";
        contest->prefs.contestMode = "CW";
        contest->countries.add({"K", "USA", "NA", 97, 38});
        contest->countries.add({"DL", "Germany", "EU", -10, 51});
        EXPECT_TRUE(contest->readLog().opened);
        return *contest;
    }

    ui::LogOutputActions actions() {
        ui::LogOutputServices s;
        s.contest = contest.get();
        s.prompts = &prompts;
        s.clock = &clock;
        s.settings = &settings;
        s.shared = &shared;
        s.folders = {q(dir.file("work")), q(dir.file("data")), q(dir.file("shared")),
                     q(dir.file("data/BACKUP"))};
        s.programTitle = [] { return QString("Wexon - CQ WPX Contest Logger"); };
        s.runModal = [this](QDialog& d) {
            if (onModal) {
                onModal(d);
            }
            return 0;
        };
        s.reloadLog = [this] {
            ++reloads;
            return contest->readLog().opened;
        };
        return ui::LogOutputActions(s);
    }

    template <typename T> static T* child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
};

// ---------------------------------------------------------------- edit and delete

TEST_F(LogOutputTest, EditIntoADuplicateAndOutOfItAgain) {
    withLog(3);
    int dones = 0;
    onModal = [&](QDialog& d) {
        auto& w = dynamic_cast<ui::EditContactWindow&>(d);
        EXPECT_EQ(w.windowTitle(), "Edit Contact Entry");
        EXPECT_EQ(child<QLineEdit>(w, "txtEditCall")->text(), "K2AA");
        EXPECT_EQ(child<QLineEdit>(w, "Text2")->text(), "002");
        EXPECT_EQ(child<QLineEdit>(w, "txtEditPoints")->text(), "1");
        // Record 2 renamed to record 1's call on the same band: a duplicate.
        child<QLineEdit>(w, "txtEditCall")->setText("K1AA");
        w.cmdDoneClick();
        ++dones;
        EXPECT_FALSE(child<QLabel>(w, "Label1")->isHidden());
        EXPECT_FALSE(child<QPushButton>(w, "cmdDeleteDupe")->isHidden());
        EXPECT_EQ(w.outcome(), ui::EditContactWindow::Outcome::Closed);
        EXPECT_EQ(prompts.beeps, 1);
        // A different case is a different call here.
        child<QLineEdit>(w, "txtEditCall")->setText("k1aa");
        child<QLineEdit>(w, "txtEditBnd")->setText("40");
        child<QLineEdit>(w, "txtEditCall")->setText("K1AA");
        w.cmdDoneClick();
        ++dones;
        EXPECT_TRUE(child<QLabel>(w, "Label1")->isHidden());
        EXPECT_EQ(w.outcome(), ui::EditContactWindow::Outcome::Saved);
    };
    auto a = actions();
    EXPECT_EQ(a.editContact(2), ui::LogOutputActions::EditResult::Changed);
    EXPECT_EQ(dones, 2);
    EXPECT_EQ(reloads, 1);
    ASSERT_EQ(contest->qsoCount(), 3);
    EXPECT_EQ(contest->qso(2).call, "K1AA");
    EXPECT_EQ(contest->qso(2).band, "40");
    auto expected = logOf(3);
    core::QsoRecord changed = qso(2);
    changed.call = "K1AA";
    changed.band = "40";
    EXPECT_EQ(dir.read("work/log.txt"), core::formatLog({qso(1), changed, qso(3)}));
}

TEST_F(LogOutputTest, EditWithoutChangesWritesTheSameFileAndClosingWritesNothing) {
    withLog(4);
    const std::string before = dir.read("work/log.txt");
    onModal = [](QDialog& d) { dynamic_cast<ui::EditContactWindow&>(d).cmdDoneClick(); };
    auto a = actions();
    EXPECT_EQ(a.editContact(3), ui::LogOutputActions::EditResult::Changed);
    EXPECT_EQ(dir.read("work/log.txt"), before);
    // Closing the window keeps the record and the file.
    onModal = [](QDialog&) {};
    EXPECT_EQ(a.editContact(3), ui::LogOutputActions::EditResult::Unchanged);
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(dir.read("work/log.txt"), before);
    EXPECT_EQ(a.editContact(0), ui::LogOutputActions::EditResult::Unchanged);
    EXPECT_EQ(a.editContact(5), ui::LogOutputActions::EditResult::Unchanged);
}

TEST_F(LogOutputTest, DeleteDupeAsksAndDeletesTheEditedRecord) {
    withLog(3);
    onModal = [&](QDialog& d) {
        auto& w = dynamic_cast<ui::EditContactWindow&>(d);
        child<QLineEdit>(w, "txtEditCall")->setText("K3AA");
        w.cmdDoneClick();
        w.cmdDeleteDupeClick();
    };
    prompts.questionAnswers = {true};
    auto a = actions();
    EXPECT_EQ(a.editContact(1), ui::LogOutputActions::EditResult::Deleted);
    EXPECT_TRUE(prompts.wasShown("Are you sure?"));
    ASSERT_EQ(contest->qsoCount(), 2);
    EXPECT_EQ(contest->qso(1).call, "K2AA");
}

TEST_F(LogOutputTest, DeletingRecordFiveOfTen) {
    withLog(10);
    prompts.questionAnswers = {true};
    auto a = actions();
    EXPECT_TRUE(a.deleteContact(5));
    EXPECT_EQ(prompts.shown.at(0).title, "Are you sure?");
    EXPECT_EQ(prompts.shown.at(0).text, "Are you sure?");
    ASSERT_EQ(contest->qsoCount(), 9);
    // Records 6 to 10 are now 5 to 9, on disk too.
    EXPECT_EQ(contest->qso(4).call, "K4AA");
    EXPECT_EQ(contest->qso(5).call, "K6AA");
    EXPECT_EQ(contest->qso(9).call, "K10AA");
    std::vector<core::QsoRecord> left;
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 10}) {
        left.push_back(qso(i));
    }
    EXPECT_EQ(dir.read("work/log.txt"), core::formatLog(left));
    EXPECT_EQ(contest->nextSerial(), "011"); // after the highest serial left
}

TEST_F(LogOutputTest, DeleteAnsweredNoOrOnAnEmptyLogChangesNothing) {
    withLog(2);
    const std::string before = dir.read("work/log.txt");
    auto a = actions();
    prompts.questionAnswers = {false};
    EXPECT_FALSE(a.deleteContact(1));
    EXPECT_EQ(dir.read("work/log.txt"), before);
    prompts.questionAnswers = {true, true};
    EXPECT_TRUE(a.deleteContact(1));
    EXPECT_TRUE(a.deleteContact(1));
    EXPECT_EQ(dir.read("work/log.txt"), "");
    prompts.questionAnswers = {true};
    EXPECT_FALSE(a.deleteContact(1)); // only the question
    EXPECT_EQ(prompts.shown.back().title, "Are you sure?");
    EXPECT_EQ(reloads, 2);
}

// Edit and delete are all or nothing. On a full file system the store and the
// file keep the contact as it was, the operator is told so, and the edit window
// comes back with what was typed; nothing of a failed change surfaces later.
TEST_F(LogOutputTest, AnEditOrDeleteThatCannotBeWrittenChangesNothingAndCanBeRetried) {
    test::SmallMount mount(dir.file("work"));
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.reason();
    }
    withLog(3);
    const std::string before = dir.read("work/log.txt");
    ASSERT_TRUE(mount.fill());
    auto a = actions();

    prompts.questionAnswers = {true};
    EXPECT_FALSE(a.deleteContact(2));
    EXPECT_EQ(contest->qsoCount(), 3);
    EXPECT_EQ(dir.read("work/log.txt"), before);
    ASSERT_TRUE(prompts.find(ui::kLogUnchangedTitle));

    int opened = 0;
    onModal = [&](QDialog& d) {
        auto& w = dynamic_cast<ui::EditContactWindow&>(d);
        ++opened;
        if (opened == 1) {
            child<QLineEdit>(w, "txtEditCall")->setText("K9ZZ");
            w.cmdDoneClick();
        } else if (opened == 2) {
            // The retry shows what was typed, not the record as stored.
            EXPECT_EQ(child<QLineEdit>(w, "txtEditCall")->text(), "K9ZZ");
            std::filesystem::remove(dir.file("work/filler"));
            w.cmdDoneClick();
        }
    };
    EXPECT_EQ(a.editContact(1), ui::LogOutputActions::EditResult::Changed);
    EXPECT_EQ(opened, 2);
    // Only the edit reached the file: the failed delete did not come along.
    core::QsoRecord edited = qso(1);
    edited.call = "K9ZZ";
    EXPECT_EQ(dir.read("work/log.txt"), core::formatLog({edited, qso(2), qso(3)}));
    EXPECT_EQ(contest->qsoCount(), 3);
    EXPECT_EQ(contest->qso(1).call, "K9ZZ");
}

TEST_F(LogOutputTest, ALogWithShiftedRecordsIsChangedOnlyAfterYesAndACopy) {
    dir.write("work/log.txt", "\"K0\"\r\n" + logOf(3));
    contest = std::make_unique<core::Contest>(dir.file("work"));
    ASSERT_TRUE(contest->readLog().opened);
    const std::string damaged = dir.read("work/log.txt");
    auto a = actions();
    prompts.questionAnswers = {true, false};
    EXPECT_FALSE(a.deleteContact(1));
    EXPECT_TRUE(prompts.wasShown(ui::kMisplacedRewriteTitle));
    EXPECT_EQ(dir.read("work/log.txt"), damaged);
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("data/BACKUP")));

    prompts.questionAnswers = {true, true};
    EXPECT_TRUE(a.deleteContact(1));
    EXPECT_EQ(dir.read("data/BACKUP/202605300700.log"), damaged);
    EXPECT_NE(dir.read("work/log.txt"), damaged);
}

TEST_F(LogOutputTest, EditWindowKeysAndLeavingBoxes) {
    withLog(2);
    ui::EditContactWindow w(contest->qsos(), 1, contest->countries, prompts);
    w.show();
    QApplication::setActiveWindow(&w);
    auto* call = child<QLineEdit>(w, "txtEditCall");
    call->clear();
    call->setFocus();
    QTest::keyClicks(call, "dl\"1x");
    EXPECT_EQ(call->text(), "DL1X");
    auto* points = child<QLineEdit>(w, "txtEditPoints");
    points->clear();
    QTest::keyClicks(points, "8a2");
    EXPECT_EQ(points->text(), "6"); // one digit only
    auto* date = child<QLineEdit>(w, "txtEditDate");
    date->clear();
    QTest::keyClicks(date, "2026-03/28");
    EXPECT_EQ(date->text(), "202603/28");
    auto* time = child<QLineEdit>(w, "txtEditTime");
    time->clear();
    QTest::keyClicks(time, "12:3a0/");
    EXPECT_EQ(time->text(), "12:30");
    auto* country = child<QLineEdit>(w, "txtEditPre");
    country->clear();
    country->setFocus();
    QTest::keyClicks(country, "g");
    EXPECT_EQ(country->text(), "Germany");

    // A band outside the table shows "Invalid!" and keeps the focus.
    auto* band = child<QLineEdit>(w, "txtEditBnd");
    band->setFocus();
    band->setText("17");
    call->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(child<QLabel>(w, "Label3")->isHidden());
    EXPECT_EQ(child<QLabel>(w, "Label3")->text(), "   Invalid!");
    EXPECT_TRUE(band->hasFocus());
    // Enter in the band box does not save the bad band either.
    date->setText("2026/03/28");
    QTest::keyClick(band, Qt::Key_Return);
    EXPECT_EQ(w.outcome(), ui::EditContactWindow::Outcome::Closed);
    band->setText("15");
    call->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(child<QLabel>(w, "Label3")->isHidden());

    // Leaving the date box with a bad date tells so.
    date->setText("2026/02/30");
    date->setFocus();
    call->setFocus();
    EXPECT_TRUE(prompts.wasShown("Invalid Date Format!"));
    date->setText("2026/3/8");
    time->setText("9:05");
    QTest::keyClick(call, Qt::Key_Return);
    EXPECT_EQ(w.outcome(), ui::EditContactWindow::Outcome::Saved);
    EXPECT_EQ(w.savedRecord().call, "DL1X");
    EXPECT_EQ(w.savedRecord().country, "Germany");
    EXPECT_EQ(w.savedRecord().points, 6.0f);
    // The time and date are stored as the log holds them.
    EXPECT_EQ(w.savedRecord().qsoTime, "09:05:00");
    EXPECT_EQ(w.savedRecord().qsoDate, "2026/03/08");
}

TEST_F(LogOutputTest, DoneChecksTimeBeforeDate) {
    withLog(2);
    ui::EditContactWindow w(contest->qsos(), 2, contest->countries, prompts);
    child<QLineEdit>(w, "txtEditTime")->setText("99:00");
    child<QLineEdit>(w, "txtEditDate")->setText("x");
    w.cmdDoneClick();
    EXPECT_EQ(prompts.titles(), std::vector<QString>{"Invalid Time Format!"});
    EXPECT_EQ(prompts.shown[0].text, "You have entered an invalid time format!");
    child<QLineEdit>(w, "txtEditTime")->setText("09:00");
    w.cmdDoneClick();
    EXPECT_EQ(prompts.shown.back().title, "Invalid Date Format!");
    EXPECT_EQ(w.outcome(), ui::EditContactWindow::Outcome::Closed);
}

// ---------------------------------------------------------------- summary sheet

TEST_F(LogOutputTest, SummarySheetControlsAndRules) {
    withLog(3);
    settings.write("UserAddressName", "Hiram");
    settings.write("UserARRLSection", "CT");
    bool seen = false;
    onModal = [&](QDialog& d) {
        auto& w = dynamic_cast<ui::SummarySheetWindow&>(d);
        seen = true;
        EXPECT_EQ(w.windowTitle(), "Summary Sheet Information");
        EXPECT_EQ(child<QLineEdit>(w, "Text5")->text(), "Hiram");
        EXPECT_EQ(child<QLineEdit>(w, "txtSection")->text(), "CT");
        EXPECT_TRUE(child<QRadioButton>(w, "Option6")->isChecked());
        EXPECT_TRUE(child<QRadioButton>(w, "Option19")->isChecked());
        EXPECT_FALSE(child<QGroupBox>(w, "Frame1")->isEnabled());
        auto* combo = child<QComboBox>(w, "Combo1");
        ASSERT_EQ(combo->count(), 7);
        EXPECT_EQ(combo->itemText(0), "ALL");
        EXPECT_EQ(combo->itemText(6), "10M");
        EXPECT_EQ(combo->currentText(), "ALL");
        QTest::keyClicks(combo, "1");
        EXPECT_EQ(combo->currentText(), "ALL");
        // Multiple enables the transmitters with One; Single takes them away.
        child<QRadioButton>(w, "Option7")->setChecked(true);
        EXPECT_TRUE(child<QGroupBox>(w, "Frame1")->isEnabled());
        EXPECT_TRUE(child<QRadioButton>(w, "Option1")->isChecked());
        child<QRadioButton>(w, "Option2")->setChecked(true);
        EXPECT_EQ(output::cabrilloCategory(w.sheet()), "MULTI-TWO ALL LOW");
        child<QRadioButton>(w, "Option6")->setChecked(true);
        EXPECT_FALSE(child<QRadioButton>(w, "Option2")->isChecked());
        EXPECT_EQ(w.sheet().transmitter, output::SummarySheet::Transmitter::None);
        EXPECT_EQ(output::cabrilloCategory(w.sheet()), "SINGLE-OP ALL LOW");
        // Operators: no comma, no quote, capitals.
        auto* ops = child<QLineEdit>(w, "Text2");
        QTest::keyClicks(ops, "w1aw, \"k1abc");
        EXPECT_EQ(ops->text(), "W1AW K1ABC");
        auto* section = child<QLineEdit>(w, "txtSection");
        section->clear();
        QTest::keyClicks(section, "ct");
        EXPECT_EQ(section->text(), "CT");
    };
    auto a = actions();
    a.writeCabrillo();
    EXPECT_TRUE(seen);
}

TEST_F(LogOutputTest, CabrilloWrittenWithDefaultNameAndSettingsStored) {
    withLog(3);
    const QString target = q(dir.file("data/W1AW.log"));
    prompts.fileAnswers = {target};
    QString written;
    onModal = [&](QDialog& d) {
        auto& w = dynamic_cast<ui::SummarySheetWindow&>(d);
        child<QLineEdit>(w, "Text6")->setText("  225 Main Street ");
        child<QCheckBox>(w, "Check1")->setChecked(true);
        written = w.command4Click();
    };
    auto a = actions();
    a.writeCabrillo();
    EXPECT_EQ(written, target);
    const auto* save = prompts.find("Write Cabrillo Log File");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->defaultText, "W1AW.log");
    std::string text = dir.read("data/W1AW.log");
    EXPECT_EQ(text.substr(0, 19), "START-OF-LOG: 2.0\r\n");
    EXPECT_NE(text.find("CATEGORY-OVERLAY: ROOKIE\r\n"), std::string::npos);
    EXPECT_NE(text.find("ADDRESS:   225 Main Street \r\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 18 + 3);
    EXPECT_NE(text.find("CLAIMED-SCORE: 9 \r\n"), std::string::npos); // 3 points x 3 prefixes
    EXPECT_EQ(prompts.titles(), (std::vector<QString>{"Write Cabrillo Log File",
                                                      "File Written Successfully.", "  Thanks!"}));
    EXPECT_TRUE(prompts.shown[1].text.contains(target + "."));
    EXPECT_EQ(settings.read("UserAddressLine1", "?"), "225 Main Street");
    EXPECT_EQ(settings.read("UserEMail", "?"), "");
    EXPECT_TRUE(
        q(shared.text()).contains("<OWN_ADDRESS_LINE1>225 Main Street</OWN_ADDRESS_LINE1>"));
    EXPECT_TRUE(dir.exists("shared/SharedUserPreferences.xml"));
}

TEST_F(LogOutputTest, CabrilloCancelAndFailure) {
    withLog(1);
    contest->prefs.ownCall = "/P";
    onModal = [&](QDialog& d) {
        auto& w = dynamic_cast<ui::SummarySheetWindow&>(d);
        EXPECT_TRUE(w.command4Click().isEmpty()); // cancelled: nothing shown
        EXPECT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].defaultText, "YourCall.log");
        dir.write("data/old.log", "the earlier file");
        // A folder in the way of the temporary file's rename cannot be replaced.
        std::filesystem::create_directories(dir.file("data/taken.log"));
        prompts.fileAnswers = {q(dir.file("data/taken.log"))};
        EXPECT_TRUE(w.command4Click().isEmpty());
        EXPECT_EQ(prompts.shown.back().title, "Unable to write file.");
        prompts.fileAnswers = {q(dir.file("missing/folder/x.log"))};
        EXPECT_TRUE(w.command4Click().isEmpty());
        EXPECT_EQ(prompts.shown.back().title, "Unable to write file.");
    };
    auto a = actions();
    a.writeCabrillo();
    EXPECT_EQ(dir.read("data/old.log"), "the earlier file");
    EXPECT_EQ(settings.read("UserAddressName", "unset"), "unset"); // not stored on failure
}

// ---------------------------------------------------------------- ADIF, Pavix, clipboard

TEST_F(LogOutputTest, AdifExportFindsTheTableAndWrites) {
    withLog(2);
    dir.write("work/ADIFCnt.txt", "\"USA\",291\r\n");
    dir.write("data/ADIFCnt.txt", "\"USA\",999\r\n"); // program data comes first
    prompts.inputAnswers = {QString("1500"), std::nullopt};
    prompts.fileAnswers = {q(dir.file("work/out.adi"))};
    auto a = actions();
    EXPECT_EQ(a.findDxccTable(), q(dir.file("data/ADIFCnt.txt")));
    a.exportAdif();
    const auto* power = prompts.find("Please enter your transmitter output power.");
    ASSERT_NE(power, nullptr);
    EXPECT_EQ(power->defaultText, "100");
    EXPECT_EQ(prompts.find("Please enter a comment.")->defaultText, "CQ WPX Contest");
    EXPECT_EQ(prompts.find("Export ADIF Format")->defaultText, "CQ WPX.adi");
    std::string text = dir.read("work/out.adi");
    EXPECT_NE(text.find("<Tx_Pwr:4>1500 "), std::string::npos);
    EXPECT_NE(text.find("<DXCC:3>999 "), std::string::npos);
    EXPECT_EQ(text.find("<Comment"), std::string::npos);
    EXPECT_EQ(prompts.shown.back().title, "File Written Successfully.");
    EXPECT_EQ(prompts.shown.back().text, "The file was successfully written to the directory:\n\n" +
                                             q(dir.file("work/out.adi")) + ".");
}

TEST_F(LogOutputTest, AdifTextThatIsNotAsciiIsMadePlainAndTheOperatorIsTold) {
    withLog(2);
    dir.write("data/ADIFCnt.txt", "\"USA\",291\r\n");
    // A comment with a letter of Latin-1 and one beyond it.
    prompts.inputAnswers = {QString("100"),
                            QString::fromUtf8("Gr\u00fc\u00dfe \u0141\u00f3d\u017a")};
    prompts.fileAnswers = {q(dir.file("work/out.adi"))};
    actions().exportAdif();
    const std::string text = dir.read("work/out.adi");
    EXPECT_NE(text.find("<Comment:11>Grusse *od*\r\n"), std::string::npos);
    EXPECT_EQ(text.find('?'), std::string::npos);
    for (char c : text) {
        ASSERT_TRUE(c == '\r' || c == '\n' || (c >= 32 && c < 127)) << int(c);
    }
    // Told once, in the result message, not once per record.
    EXPECT_EQ(prompts.shown.back().title, "File Written Successfully.");
    const QString said = prompts.shown.back().text;
    EXPECT_TRUE(said.contains("ADIF holds plain ASCII text")) << said.toStdString();
    EXPECT_EQ(said.count("ADIF holds plain ASCII text"), 1);
    EXPECT_TRUE(said.contains("written as \"*\"")) << said.toStdString();
    EXPECT_NE(text.find("<ADIF_VER:5>3.1.4\r\n<PROGRAMID:5>Wexon\r\n"), std::string::npos);
}

TEST_F(LogOutputTest, AdifWithoutTableOrWithCancelledDialog) {
    withLog(2);
    auto a = actions();
    a.exportAdif();
    EXPECT_EQ(prompts.shown.back().title, "Unable to write file.");
    EXPECT_FALSE(prompts.wasShown("Export ADIF Format"));
    dir.write("shared/ADIFCnt.txt", "\"USA\",291\r\n");
    prompts.shown.clear();
    a.exportAdif(); // the save dialog is cancelled: nothing more is shown
    EXPECT_EQ(prompts.shown.back().title, "Export ADIF Format");
    EXPECT_FALSE(dir.exists("data/CQ WPX.adi"));
}

TEST_F(LogOutputTest, PavixExportAndItsFailure) {
    withLog(2);
    contest->prefs.contestMode = "PH";
    prompts.inputAnswers = {QString("100")};
    auto a = actions();
    a.exportPavix();
    EXPECT_EQ(prompts.shown[0].title, "Please enter the output power.");
    EXPECT_EQ(prompts.shown[0].defaultText, "");
    EXPECT_EQ(prompts.shown.back().title, "Export Successful!");
    EXPECT_TRUE(prompts.shown.back().text.contains(q(dir.file("work")) + ".  Import"));
    std::string text = dir.read("work/LogExp.txt");
    EXPECT_EQ(text.substr(0, 51),
              "\"K1AA\",\"2026/03/28\",\"20\",\"SSB\",\"100\",\"01:00:00\",\"59");
    // Cancelled power: an empty power, the export goes on.
    a.exportPavix();
    EXPECT_NE(dir.read("work/LogExp.txt").find("\"SSB\",\"\","), std::string::npos);
    // A write that fails leaves the earlier file.
    std::filesystem::permissions(dir.file("work"), std::filesystem::perms::owner_read |
                                                       std::filesystem::perms::owner_exec);
    const bool readOnly = !std::ofstream(dir.file("work/probe")).is_open();
    if (readOnly) {
        a.exportPavix();
        EXPECT_EQ(prompts.shown.back().title, "Unable to write file.");
    }
    std::filesystem::permissions(dir.file("work"), std::filesystem::perms::owner_all);
    EXPECT_NE(dir.read("work/LogExp.txt").find("\"SSB\",\"\","), std::string::npos);
}

TEST_F(LogOutputTest, ClipboardHoldsTheListAsShown) {
    withLog(2);
    QTreeWidget list;
    list.setHeaderLabels({"Rec#", "Call", "Pts"});
    list.addTopLevelItem(new QTreeWidgetItem(QStringList{"2", "K2AA", "1"}));
    list.addTopLevelItem(new QTreeWidgetItem(QStringList{"1", "K1AA", "1"}));
    auto a = actions();
    a.copyListToClipboard(list);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "Rec#\tCall\tPts\r\n1\tK1AA\t1\r\n2\tK2AA\t1\r\n");
    list.clear();
    a.copyListToClipboard(list);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Rec#\tCall\tPts\r\n");
}

// ---------------------------------------------------------------- archive and restore

TEST_F(LogOutputTest, ArchiveCopiesTheLogUnderTheDefaultName) {
    withLog(3);
    auto a = actions();
    a.archive(); // cancelled
    EXPECT_EQ(prompts.titles(),
              (std::vector<QString>{"Archive Information", "Archive Current Log"}));
    const auto* save = prompts.find("Archive Current Log");
    EXPECT_EQ(save->defaultText, "W1AW2026-05-30.log");
    prompts.fileAnswers = {q(dir.file("data/BACKUP/W1AW2026-05-30.log"))};
    a.archive();
    EXPECT_EQ(dir.read("data/BACKUP/W1AW2026-05-30.log"), logOf(3));
    prompts.fileAnswers = {q(dir.file("nowhere/x.log"))};
    a.archive();
    EXPECT_EQ(prompts.shown.back().title, "Error Archiving Log");
}

TEST_F(LogOutputTest, RestoreAsksReplacesAndKeepsTheOldLog) {
    withLog(3);
    dir.write("data/BACKUP/old.log", logOf(5));
    auto a = actions();
    prompts.questionAnswers = {false};
    EXPECT_FALSE(a.restore());
    EXPECT_EQ(prompts.shown[1].title, "Are your sure?");
    EXPECT_FALSE(prompts.wasShown("Restore from Archive or Backup"));

    prompts.shown.clear();
    prompts.questionAnswers = {true};
    prompts.fileAnswers = {q(dir.file("data/BACKUP/old.log"))};
    EXPECT_TRUE(a.restore());
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(contest->qsoCount(), 5);
    EXPECT_EQ(dir.read("work/log.txt"), logOf(5));
    EXPECT_EQ(dir.read("data/BACKUP/202605300700.log"), logOf(3)); // the replaced log
    // The operator is told where that is.
    ASSERT_TRUE(prompts.find(ui::kRestoredTitle));
    EXPECT_TRUE(prompts.find(ui::kRestoredTitle)
                    ->text.contains(q(dir.file("data/BACKUP/202605300700.log"))));
}

TEST_F(LogOutputTest, RestoreRefusesAFileThatIsNotALog) {
    withLog(0);
    dir.write("data/BACKUP/cabrillo.log", "START-OF-LOG: 2.0\r\nEND-OF-LOG:\r\n");
    prompts.fileAnswers = {q(dir.file("data/BACKUP/cabrillo.log"))};
    auto a = actions();
    EXPECT_FALSE(a.restore());
    // An empty log skips the question.
    EXPECT_EQ(prompts.titles(),
              (std::vector<QString>{"Opening Archived Data Information",
                                    "Restore from Archive or Backup", "Error Restoring Log"}));
    EXPECT_TRUE(prompts.shown.back().text.contains("not a log"));
    EXPECT_EQ(dir.read("work/log.txt"), "");
    EXPECT_EQ(reloads, 0);
}

// ---------------------------------------------------------------- rate graph

TEST_F(LogOutputTest, RateGraphNeedsSevenContacts) {
    withLog(6);
    int shown = 0;
    onModal = [&](QDialog& d) {
        auto& w = dynamic_cast<ui::RateGraphWindow&>(d);
        ++shown;
        EXPECT_EQ(w.windowTitle(),
                  " Activity Graph - QSOs per Hour Rate   (# QSOs over 10 minutes X 6)");
    };
    auto a = actions();
    a.showRateGraph();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(prompts.titles(), std::vector<QString>{"Not Enough Contacts to Graph."});

    withLog(7);
    prompts.shown.clear();
    auto b = actions();
    onModal = [&](QDialog& d) {
        auto& w = dynamic_cast<ui::RateGraphWindow&>(d);
        EXPECT_EQ(w.graph().status, output::RateGraph::Status::Drawn);
        EXPECT_EQ(child<QLabel>(w, "lblTime_0")->text(), "01:00");
        EXPECT_EQ(child<QLabel>(w, "lblDate_14")->text(), "03/28");
        auto* button = child<QPushButton>(w, "Command1");
        EXPECT_EQ(button->text(), "White Background");
        w.command1Click();
        EXPECT_TRUE(w.blackBackground());
        EXPECT_EQ(button->text(), "Black Background");
        EXPECT_EQ(w.graph().status, output::RateGraph::Status::Drawn);
        w.command1Click();
        EXPECT_FALSE(w.blackBackground());
        w.resize(900, 500);
        QImage image(w.size(), QImage::Format_RGB32);
        w.render(&image); // paints without a display
    };
    b.showRateGraph();
    EXPECT_TRUE(prompts.shown.empty());
}

} // namespace
