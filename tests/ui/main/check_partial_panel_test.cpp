// The check-partial list under the call box: turned on from the Options menu,
// filled as a call is typed, never in the way of the typing.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QListView>
#include <QMenu>
#include <QTest>

#include "support/main_window_fixture.h"
#include "ui/main/check_partial_panel.h"

using namespace wexon;
using wexon::test::MainWindowTest;

namespace {

const char* kCalls = "# known calls\nK1AB\nK1ABC\nAK1AB\nW1AW\nN1K1AB\nDL1ABC\nVE3K1A\nG4ABC\n";

class CheckPartialTest : public MainWindowTest {
  protected:
    std::unique_ptr<ui::CheckPartialInstaller> installer;

    // A started window with `log` as its log and `calls` as the working
    // folder's file of known calls (none when empty).
    ui::MainWindow& start(const std::string& calls = kCalls, const std::string& log = "") {
        if (!calls.empty()) {
            dir.write("work/MASTER.SCP", calls);
        }
        dir.write("work/log.txt", log);
        prompts.questionAnswers = {true};
        auto& w = make();
        EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
        install();
        return w;
    }
    void install() {
        installer.reset();
        installer = std::make_unique<ui::CheckPartialInstaller>(*window, settings, clock);
        // Never the machine's own copy: a test sees only its working folder.
        installer->setSystemFile(dir.file("no-system-copy"));
    }
    void showWindow() {
        window->resize(900, 700);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }
    QLineEdit* callBox() { return child<QLineEdit>("txtCall"); }
    QAction* menuItem() { return child<QAction>("mnuSuperCheckPartial"); }
    QWidget* area() { return child<QWidget>("checkPartialArea"); }
    const ui::CheckPartialModel& model() { return installer->panel()->model(); }
    QStringList shownCalls() {
        QStringList out;
        for (const auto& e : model().entries()) {
            out << e.call;
        }
        return out;
    }
    bool workedRole(const QString& call) {
        const auto& m = model();
        for (int r = 0; r < m.rowCount(); ++r) {
            const QModelIndex i = m.index(r);
            if (i.data().toString() == call) {
                return i.data(ui::CheckPartialModel::WorkedRole).toBool();
            }
        }
        ADD_FAILURE() << "not shown: " << call.toStdString();
        return false;
    }
    void typeCall(const QString& call) {
        callBox()->setFocus();
        for (QChar c : call) {
            QTest::keyClick(callBox(), c.toLatin1());
        }
    }
};

core::QsoRecord contact(const std::string& call, const std::string& band) {
    core::QsoRecord r = test::qso(1, band);
    r.call = call;
    return r;
}

TEST_F(CheckPartialTest, TheOptionsMenuItemTurnsTheListOnAndOffAndIsRemembered) {
    start();
    QAction* item = menuItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Super &Check Partial");
    EXPECT_TRUE(item->isCheckable());
    EXPECT_TRUE(child<QMenu>("mnuOptions")->actions().contains(item));
    // Off until chosen: the window looks as it always did.
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(area()->isHidden());

    item->trigger();
    EXPECT_TRUE(installer->enabled());
    EXPECT_FALSE(area()->isHidden());
    EXPECT_EQ(settings.read(ui::kSuperCheckPartialKey, ""), "1");

    // A window started later finds it on.
    installer.reset();
    window.reset();
    start();
    EXPECT_TRUE(menuItem()->isChecked());
    EXPECT_FALSE(area()->isHidden());
    callBox()->setText("K1");
    EXPECT_FALSE(shownCalls().isEmpty());

    menuItem()->trigger();
    EXPECT_FALSE(installer->enabled());
    EXPECT_TRUE(area()->isHidden());
    EXPECT_EQ(settings.read(ui::kSuperCheckPartialKey, ""), "0");
    EXPECT_TRUE(shownCalls().isEmpty());
    // Switched off, the known calls are let go, and read again when it is on.
    EXPECT_TRUE(installer->calls().empty());
    callBox()->setText("K1A");
    EXPECT_TRUE(shownCalls().isEmpty());
    menuItem()->trigger();
    EXPECT_FALSE(installer->calls().empty());
}

TEST_F(CheckPartialTest, ShowsTheKnownCallsContainingTheCallFromTheSecondCharacter) {
    start();
    installer->setEnabled(true);
    showWindow();
    typeCall("k");
    EXPECT_TRUE(shownCalls().isEmpty());
    typeCall("1");
    EXPECT_EQ(shownCalls(), (QStringList{"K1AB", "K1ABC", "AK1AB", "N1K1AB", "VE3K1A"}));
    typeCall("ab");
    EXPECT_EQ(shownCalls(), (QStringList{"K1AB", "K1ABC", "AK1AB", "N1K1AB"}));
    QTest::keyClick(callBox(), Qt::Key_Backspace);
    QTest::keyClick(callBox(), Qt::Key_Backspace);
    QTest::keyClick(callBox(), Qt::Key_Backspace);
    EXPECT_TRUE(shownCalls().isEmpty());
    EXPECT_EQ(installer->panel()->moreText(), "");
}

TEST_F(CheckPartialTest, ARowClearedByTheWindowEmptiesTheList) {
    start();
    installer->setEnabled(true);
    showWindow();
    typeCall("w1a");
    ASSERT_EQ(shownCalls(), (QStringList{"W1AW"}));
    QTest::keyClick(callBox(), Qt::Key_Escape);
    EXPECT_TRUE(shownCalls().isEmpty());

    typeCall("w1a");
    ASSERT_EQ(shownCalls(), (QStringList{"W1AW"}));
    // "Clear" from the menu: no key reaches the call box, and the entry row
    // writes it without a signal.
    child<QAction>("mnuClear")->trigger();
    ASSERT_EQ(callBox()->text(), "");
    QTest::qWait(50);
    EXPECT_TRUE(shownCalls().isEmpty());
}

TEST_F(CheckPartialTest, TypingIsNeitherChangedNorDrawnAway) {
    start();
    installer->setEnabled(true);
    showWindow();
    typeCall("w1a");
    EXPECT_EQ(callBox()->text(), "W1A");
    EXPECT_EQ(QApplication::focusWidget(), callBox());
    ASSERT_EQ(shownCalls(), (QStringList{"W1AW"}));

    // No part of the list can take the focus, even when clicked.
    for (QWidget* w : installer->panel()->findChildren<QWidget*>()) {
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << w->objectName().toStdString();
    }
    EXPECT_EQ(installer->panel()->focusPolicy(), Qt::NoFocus);
    QListView* view = installer->panel()->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, 0)).center());
    EXPECT_EQ(QApplication::focusWidget(), callBox());
    EXPECT_EQ(callBox()->text(), "W1A");
    typeCall("w");
    EXPECT_EQ(callBox()->text(), "W1AW");
}

TEST_F(CheckPartialTest, CallsInTheLogOnTheCurrentBandStandOut) {
    std::vector<core::QsoRecord> log = {contact("K1AB", "20"), contact("AK1AB", "40")};
    start(kCalls, core::formatLog(log));
    installer->setEnabled(true);
    callBox()->setText("K1A");
    EXPECT_TRUE(workedRole("K1AB"));
    EXPECT_FALSE(workedRole("AK1AB"));
    EXPECT_FALSE(workedRole("K1ABC"));
    const QModelIndex worked = model().index(0);
    ASSERT_EQ(worked.data().toString(), "K1AB");
    EXPECT_EQ(worked.data(Qt::ForegroundRole).value<QBrush>().color(),
              QColor(ui::kCheckPartialWorkedColour));
    EXPECT_FALSE(model().index(1).data(Qt::ForegroundRole).isValid());

    // Another band: the call on the screen is coloured for that band at once.
    window->selectBand("40");
    EXPECT_FALSE(workedRole("K1AB"));
    EXPECT_TRUE(workedRole("AK1AB"));

    // A contact just logged counts from the next key on.
    core::QsoRecord fresh = contact("K1ABC", "40");
    ASSERT_TRUE(window->appendQso(fresh));
    callBox()->setText("K1AB");
    EXPECT_TRUE(workedRole("K1ABC"));
}

TEST_F(CheckPartialTest, CallsSpottedOnTheBandAreBoldAndSaidSo) {
    std::vector<core::QsoRecord> log = {contact("K1AB", "20")};
    start(kCalls, core::formatLog(log));
    installer->setSpottedQuery([](std::string_view call) { return call == "K1AB" || call == "K1ABC"; });
    installer->setEnabled(true);
    callBox()->setText("K1A");
    for (int r = 0; r < model().rowCount(); ++r) {
        const QModelIndex i = model().index(r);
        const QString call = i.data().toString();
        const bool spotted = call == "K1AB" || call == "K1ABC";
        EXPECT_EQ(i.data(Qt::FontRole).value<QFont>().bold(), spotted) << call.toStdString();
        EXPECT_EQ(i.data(Qt::AccessibleTextRole).toString().contains("spotted on this band"), spotted)
            << call.toStdString();
    }
    // Worked and spotted: both are said.
    EXPECT_EQ(model().index(0).data(Qt::AccessibleTextRole).toString(),
              "K1AB, worked on this band, spotted on this band");
}

TEST_F(CheckPartialTest, AnEditedContactIsColouredByItsNewCall) {
    std::vector<core::QsoRecord> log = {contact("K1AB", "20")};
    start(kCalls, core::formatLog(log));
    installer->setEnabled(true);
    callBox()->setText("K1A");
    EXPECT_TRUE(workedRole("K1AB"));
    core::QsoRecord edited = log[0];
    edited.call = "K1ABC";
    ASSERT_TRUE(window->contest().replaceQso(1, edited));
    ASSERT_TRUE(window->rewriteLog());
    callBox()->setText("K1AB");
    EXPECT_FALSE(workedRole("K1AB"));
    EXPECT_TRUE(workedRole("K1ABC"));
}

TEST_F(CheckPartialTest, ShowsOnlyWhatFitsAndCountsTheRest) {
    std::string many = "# many\n";
    for (int i = 0; i < 300; ++i) {
        many += "K1" + std::string(1, static_cast<char>('A' + i / 26 % 26)) +
                std::string(1, static_cast<char>('A' + i % 26)) + "\n";
    }
    start(many, core::formatLog({contact("K1AC", "20")}));
    installer->setEnabled(true);
    showWindow();
    typeCall("k1");
    EXPECT_TRUE(workedRole("K1AC"));
    EXPECT_FALSE(workedRole("K1AB"));
    QListView* view = installer->panel()->view();
    QApplication::processEvents();
    const int shown = model().rowCount();
    ASSERT_GT(shown, 0);
    EXPECT_LT(shown, 300);
    EXPECT_EQ(installer->panel()->moreText(), QString("+%1").arg(300 - shown));
    // Every call shown lies wholly inside the view.
    for (int r = 0; r < shown; ++r) {
        const QRect cell = view->visualRect(model().index(r));
        EXPECT_TRUE(view->viewport()->rect().contains(cell))
            << r << " at " << cell.x() << "," << cell.y() << " " << cell.width() << "x"
            << cell.height();
    }

    // Set WEXON_SCREENSHOT_DIR to keep a picture of the list for a look by eye.
    const QString folder = qEnvironmentVariable("WEXON_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        window->grab().save(folder + "/check_partial.png");
    }

    // A wider window has room for more.
    window->resize(1600, 700);
    QApplication::processEvents();
    EXPECT_GT(model().rowCount(), shown);
    EXPECT_EQ(installer->panel()->moreText(), QString("+%1").arg(300 - model().rowCount()));
}

TEST_F(CheckPartialTest, ANewerFileTakesThePlaceOfTheOldOneWithinAFewSeconds) {
    start();
    installer->setEnabled(true);
    callBox()->setText("W1");
    EXPECT_EQ(shownCalls(), (QStringList{"W1AW"}));

    dir.write("work/MASTER.SCP.new", "W1AW\nW1XYZ\n");
    std::filesystem::rename(dir.file("work/MASTER.SCP.new"), dir.file("work/MASTER.SCP"));
    // Not looked at again on every key...
    callBox()->setText("W1X");
    EXPECT_TRUE(shownCalls().isEmpty());
    // ...but once a few seconds have passed.
    clock.advanceSeconds(3);
    callBox()->setText("W1");
    EXPECT_EQ(shownCalls(), (QStringList{"W1AW", "W1XYZ"}));

    // Turning the list on looks at once.
    dir.write("work/MASTER.SCP.new", "W1QQ\n");
    std::filesystem::rename(dir.file("work/MASTER.SCP.new"), dir.file("work/MASTER.SCP"));
    installer->setEnabled(false);
    installer->setEnabled(true);
    EXPECT_EQ(shownCalls(), (QStringList{"W1QQ"}));
}

TEST_F(CheckPartialTest, AMissingFileSaysSoAndTheSystemCopyStandsIn) {
    start("");
    installer->setEnabled(true);
    callBox()->setText("W1");
    EXPECT_TRUE(shownCalls().isEmpty());
    EXPECT_EQ(installer->panel()->moreText(), "MASTER.SCP not found");

    dir.write("system/MASTER.SCP", "W1AW\n");
    installer->setSystemFile(dir.file("system/MASTER.SCP"));
    installer->setEnabled(false);
    installer->setEnabled(true);
    EXPECT_EQ(installer->loadedPath(), dir.file("system/MASTER.SCP"));
    EXPECT_EQ(shownCalls(), (QStringList{"W1AW"}));
    EXPECT_EQ(installer->panel()->moreText(), "");
}

TEST_F(CheckPartialTest, ABinaryFileGivesAnEmptyListAndANote) {
    std::string junk(64 * 1024, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i) {
        junk[i] = static_cast<char>((i * 131 + 7) % 256);
    }
    start(junk);
    installer->setEnabled(true);
    callBox()->setText("K1");
    EXPECT_EQ(installer->panel()->moreText(),
              installer->calls().empty() ? "No calls in MASTER.SCP" : "");
    EXPECT_EQ(callBox()->text(), "K1");
}

} // namespace
