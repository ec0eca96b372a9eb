// The tool windows plugged into the main window: the File-menu operations, the
// edit and delete buttons of the log list, and the rig windows on their keys.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "support/main_window_fixture.h"
#include "ui/rig_band_plan_dialog.h"
#include "ui/rig_tune_dialog.h"
#include "ui/station_tools.h"

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
