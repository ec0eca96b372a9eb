// The main window over the whole station's log: other stations' contacts in
// the labels, the duplicate check and the log list, redrawn once per burst.
#include <QSignalSpy>
#include <QTest>

#include "core/entry_box.h"
#include "support/main_window_fixture.h"
#include "ui/main/log_list_model.h"

namespace wexon::test {
namespace {

core::RemoteContact run2Contact(const std::string& call, const std::string& band,
                                const std::string& time) {
    core::QsoRecord r = qso(900, band);
    r.call = call;
    r.prefix = call.substr(0, 2);
    r.qsoTime = time;
    r.serialSent = "050";
    return core::RemoteContact{"RUN2", "K2OP", r};
}

class StationLogViewTest : public MainWindowTest {
  protected:
    ui::MainWindow& loaded(int contacts) {
        dir.write("work/log.txt", logOf(contacts));
        prompts.questionAnswers = {true};
        auto& w = make();
        w.formLoad();
        return w;
    }
    QTreeView* list() { return child<QTreeView>("ListView1"); }
};

TEST_F(StationLogViewTest, ABurstOfOtherStationsContactsIsDrawnOnceWithTheStationColumn) {
    auto& w = loaded(3);
    QSignalSpy resets(list()->model(), &QAbstractItemModel::modelReset);
    w.contest().putRemote("a", run2Contact("DL1AB", "40", "11:58:00"));
    w.contest().putRemote("b", run2Contact("G4XYZ", "20", "11:59:00"));
    // Nothing is redrawn while the burst comes in.
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(text("lblTotCon"), "3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return text("lblTotCon") == QString("5"); }, 2000));
    QTest::qWait(2 * ui::MainWindow::kRemoteRefreshMs);
    EXPECT_LE(resets.count(), 2); // the station view taken, then filled once

    EXPECT_EQ(text("Label4"), "051"); // above RUN2's serial 050
    auto* model = list()->model();
    ASSERT_EQ(model->columnCount(), 12);
    EXPECT_EQ(model->headerData(ui::LogListModel::kStationColumn, Qt::Horizontal).toString(),
              "Stn");
    // Newest first by time: both of RUN2's contacts, then this station's.
    EXPECT_EQ(cell(list(), 0, 1), "G4XYZ");
    EXPECT_EQ(cell(list(), 0, 0), "");
    EXPECT_EQ(cell(list(), 0, ui::LogListModel::kStationColumn), "RUN2");
    EXPECT_EQ(cell(list(), 1, 1), "DL1AB");
    EXPECT_EQ(cell(list(), 2, 0), "3");
    EXPECT_TRUE(w.prefixes().contains("DL"));

    // Their withdrawal takes them out of every display again.
    w.contest().clearRemotes();
    EXPECT_TRUE(QTest::qWaitFor([&] { return text("lblTotCon") == QString("3"); }, 2000));
    EXPECT_EQ(model->columnCount(), 11);
    EXPECT_EQ(cell(list(), 0, 0), "3");
    EXPECT_EQ(text("Label4"), "004");
}

TEST_F(StationLogViewTest, ACallAnotherStationWorkedOnTheBandIsRefusedNamingIt) {
    auto& w = loaded(2);
    w.contest().putRemote("a", run2Contact("G4XYZ", "20", "11:59:00"));
    ui::EntryRowController& entry = w.entryRow();
    entry.apply(entry.row().setText(core::EntryBox::Call, "G4XYZ"));
    entry.apply(entry.row().setText(core::EntryBox::Sec, "12"));
    entry.apply(entry.row().setText(core::EntryBox::Cntry, "England"));
    entry.apply(entry.row().setText(core::EntryBox::Points, "3"));
    w.mains();
    EXPECT_EQ(w.contest().qsoCount(), 2);
    EXPECT_EQ(text("lblDialog"), "Duplicate G4XYZ 2026/05/30 11:59:00 ON 20  worked by RUN2");
}

TEST_F(StationLogViewTest, OwnRowsKeepTheirNumberAndOtherStationsRowsAreChangedThere) {
    auto& w = loaded(2);
    w.setStationName("RUN1");
    ASSERT_EQ(list()->model()->columnCount(), 12);
    EXPECT_EQ(cell(list(), 0, 0), "2");
    EXPECT_EQ(cell(list(), 0, ui::LogListModel::kStationColumn), "RUN1");

    w.contest().putRemote("a", run2Contact("G4XYZ", "20", "11:59:00"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return list()->model()->rowCount() == 3; }, 2000));
    list()->setCurrentIndex(list()->model()->index(1, 0));
    EXPECT_FALSE(w.refuseRemoteContactChange()); // record 2, this station's
    list()->setCurrentIndex(list()->model()->index(0, 0));
    EXPECT_TRUE(w.refuseRemoteContactChange());
    EXPECT_TRUE(prompts.wasShown("Contact of RUN2"));
    EXPECT_EQ(w.contest().remoteCount(), 1);
}

} // namespace
} // namespace wexon::test
