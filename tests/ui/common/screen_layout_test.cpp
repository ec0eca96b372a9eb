// The main window's form size and taskbar options, and the stretching of
// secondary windows to the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "core/window_scaling.h"
#include "support/main_window_fixture.h"
#include "ui/common/frame_fit.h"
#include "ui/common/screen_layout.h"

using namespace wexon;
using wexon::test::logOf;
using wexon::test::MainWindowTest;

namespace {

// A 1024 x 768 screen with a 40-pixel taskbar along its bottom.
const ui::ScreenAreas kScreen{QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 728)};

ui::ScreenAreas fakeScreen() {
    return kScreen;
}

class ScreenLayoutTest : public MainWindowTest {
  protected:
    ui::ScreenLayout* layout = nullptr;
    ui::ScreenAreas areas = kScreen;

    ui::MainWindow& start(int formSize, int taskbarMode) {
        prefs.formSizePercent = static_cast<std::uint8_t>(formSize);
        prefs.taskbarMode = static_cast<std::uint8_t>(taskbarMode);
        dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
        dir.write("work/log.txt", logOf(3));
        prompts.questionAnswers = {true};
        auto& w = make();
        layout = new ui::ScreenLayout(w, prompts, [this] { return areas; });
        w.formLoad();
        layout->applyStartupSize();
        w.show();
        // The window places itself again once shown.
        QApplication::processEvents();
        return w;
    }
    QAction* item(const char* name) { return child<QAction>(name); }
};

} // namespace

TEST_F(ScreenLayoutTest, TheMenuItemsAreLiveAndTheTaskbarCheckFollowsThePreference) {
    start(100, 1);
    EXPECT_TRUE(item("mnuFormSize")->isEnabled());
    EXPECT_TRUE(item("mnuTaskbar")->isEnabled());
    EXPECT_TRUE(item("mnuTaskbar")->isChecked());
}

TEST_F(ScreenLayoutTest, AFormSizeAnswerIsClampedStoredAndNeedsARestart) {
    auto& w = start(100, 0);
    prompts.inputAnswers = {QString("120")};
    item("mnuFormSize")->trigger();
    const auto* asked = prompts.find(core::kFormSizeTitle);
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->text, core::kFormSizePrompt);
    EXPECT_EQ(asked->defaultText, "100");
    EXPECT_EQ(savedPrefs().formSizePercent, 100);
    const auto* restart = prompts.find(core::kRestartTitle);
    ASSERT_NE(restart, nullptr);
    EXPECT_EQ(restart->text, core::kRestartText);

    prompts.inputAnswers = {QString("10")};
    item("mnuFormSize")->trigger();
    EXPECT_EQ(savedPrefs().formSizePercent, 30);
    // The new size waits for the next start.
    EXPECT_EQ(w.frameGeometry(), kScreen.screen);
}

TEST_F(ScreenLayoutTest, AnAnswerThatIsNotANumberIsRefused) {
    start(100, 0);
    for (const QString& answer : {QString("ninety"), QString("")}) {
        prompts.shown.clear();
        prompts.inputAnswers = {answer};
        item("mnuFormSize")->trigger();
        const auto* refused = prompts.find(core::kNumericOnlyTitle);
        ASSERT_NE(refused, nullptr) << answer.toStdString();
        EXPECT_EQ(refused->text, "Please enter only numeric values.");
        EXPECT_FALSE(prompts.wasShown(core::kRestartTitle));
        EXPECT_EQ(savedPrefs().formSizePercent, 100);
    }
    // Cancel ends quietly.
    prompts.shown.clear();
    item("mnuFormSize")->trigger();
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(ScreenLayoutTest, WithTheTaskbarShownTheWindowStaysAboveIt) {
    auto& w = start(100, 1);
    const QRect frame = w.frameGeometry();
    EXPECT_TRUE(kScreen.work.contains(frame)) << frame.bottom();
    EXPECT_LE(frame.bottom(), kScreen.work.bottom());
    EXPECT_EQ(frame, kScreen.work);
}

TEST_F(ScreenLayoutTest, TheTaskbarTogglesAtFullSizeAndTheWindowFollowsAtOnce) {
    auto& w = start(100, 0);
    EXPECT_EQ(w.frameGeometry(), kScreen.screen);
    item("mnuTaskbar")->trigger();
    EXPECT_EQ(savedPrefs().taskbarMode, 1);
    EXPECT_TRUE(item("mnuTaskbar")->isChecked());
    EXPECT_EQ(w.frameGeometry(), kScreen.work);
    item("mnuTaskbar")->trigger();
    EXPECT_EQ(savedPrefs().taskbarMode, 0);
    EXPECT_FALSE(item("mnuTaskbar")->isChecked());
    EXPECT_EQ(w.frameGeometry(), kScreen.screen);
}

TEST_F(ScreenLayoutTest, AResizeRightAfterTheFirstShowIsNotUndone) {
    auto& w = start(100, 1);
    // The window is still settling under its window manager; the operator's
    // own size stays.
    const QSize own = w.size() - QSize(60, 40);
    w.resize(own);
    QTest::qWait(150);
    EXPECT_EQ(w.size(), own);
}

TEST_F(ScreenLayoutTest, TheTaskbarIsRefusedBelowFullSize) {
    start(90, 0);
    item("mnuTaskbar")->trigger();
    const auto* refused = prompts.find(core::kTaskbarNeedsFullTitle);
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->text, core::kTaskbarNeedsFullText);
    EXPECT_EQ(savedPrefs().taskbarMode, 0);
    // The item ticks itself when clicked; it must show the unchanged setting.
    EXPECT_FALSE(item("mnuTaskbar")->isChecked());
}

TEST_F(ScreenLayoutTest, APartialFormSizeShrinksTheWindowItsFontAndTheLogColumns) {
    // The columns and font of a full-size window, for comparison.
    areas = {QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040)};
    auto& full = start(100, 0);
    auto* fullList = child<QTreeView>("ListView1");
    const int fullColumn = fullList->columnWidth(1);
    const double fullFont = full.font().pointSizeF();
    window.reset();
    prompts.shown.clear();

    // On a large screen, where three quarters is still above the window's
    // smallest size.
    areas = {QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040)};
    auto& w = start(75, 0);
    EXPECT_EQ(w.frameGeometry(), QRect(0, 0, 1440, 810));
    EXPECT_NEAR(w.font().pointSizeF(), fullFont * 0.75, 0.01);
    EXPECT_NEAR(child<QTreeView>("ListView1")->columnWidth(1), fullColumn * 0.75, 1.0);
}

TEST_F(ScreenLayoutTest, ADamagedFormSizeCountsAsFullSize) {
    auto& w = start(7, 1);
    EXPECT_EQ(w.contest().prefs.formSizePercent, 100);
    EXPECT_EQ(w.frameGeometry(), kScreen.work);
}

// ---------------------------------------------------------------- secondary windows

TEST(ScaleWindowToScreen, AWindowDesignedFor640GrowsWithA1024Screen) {
    QDialog dialog;
    QFont font = dialog.font();
    font.setPointSizeF(10);
    dialog.setFont(font);
    dialog.resize(320, 200); // 4800 x 3000 twips
    auto* button = new QPushButton("OK", &dialog);
    button->setGeometry(20, 30, 80, 25);
    QFont own = button->font();
    own.setPointSizeF(8);
    button->setFont(own);
    auto* combo = new QComboBox(&dialog);
    combo->setGeometry(120, 30, 100, 22);
    auto* line = new QFrame(&dialog);
    line->setFrameShape(QFrame::HLine);
    line->setGeometry(10, 100, 300, 2);

    ui::scaleWindowToScreen(dialog, kScreen);

    EXPECT_EQ(core::pixelsToTwips(dialog.width()), 7680);
    EXPECT_EQ(dialog.height(), 320);
    EXPECT_DOUBLE_EQ(dialog.font().pointSizeF(), 16);
    EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 12.8);
    EXPECT_EQ(button->geometry(), QRect(32, 48, 128, 40));
    // A combo box keeps its height.
    EXPECT_EQ(combo->geometry(), QRect(192, 48, 160, 22));
    // A line's ends move; its thickness stays (its middle, 101, goes to 161.6).
    EXPECT_EQ(line->geometry(), QRect(16, 161, 480, 2));
    // Centred on the screen, a little high.
    EXPECT_EQ(dialog.pos(), QPoint((1024 - 512) / 2, (768 - 320) / 2 - 11));
}

TEST(ScaleWindowToScreen, ControlsInALayoutAreLeftToIt) {
    QDialog dialog;
    auto* box = new QVBoxLayout(&dialog);
    auto* label = new QLabel("Call");
    box->addWidget(label);
    auto* loose = new QPushButton("Loose", &dialog);
    loose->setGeometry(0, 0, 50, 20);
    dialog.resize(200, 100);
    const QRect laidOut = label->geometry();

    ui::scaleWindowToScreen(dialog, kScreen);

    EXPECT_EQ(label->geometry(), laidOut);
    EXPECT_EQ(loose->geometry(), QRect(0, 0, 80, 32));
}

TEST(ScaleWindowToScreen, AWindowOwnedByTheScaledOneIsLeftForItsOwnShow) {
    QDialog owner;
    owner.resize(320, 200);
    auto* owned = new QDialog(&owner);
    auto* ownedButton = new QPushButton("Done", owned);
    QFont font = ownedButton->font();
    font.setPointSizeF(9);
    ownedButton->setFont(font);
    ownedButton->setGeometry(10, 10, 60, 20);

    ui::scaleWindowToScreen(owner, kScreen);

    EXPECT_DOUBLE_EQ(ownedButton->font().pointSizeF(), 9);
    EXPECT_EQ(ownedButton->geometry(), QRect(10, 10, 60, 20));
}

TEST(ScaleWindowToScreen, AWindowTooBigForTheScreenIsKeptOnTheWorkArea) {
    QDialog dialog;
    dialog.resize(640, 470);
    ui::scaleWindowToScreen(dialog, kScreen);
    EXPECT_TRUE(kScreen.work.contains(dialog.geometry())) << dialog.geometry().bottom();
    EXPECT_EQ(dialog.width(), 1024);
    EXPECT_EQ(dialog.y(), 0);
}

TEST(ScaleWindowToScreen, TheScalerStretchesSecondaryWindowsOnceOnTheirFirstShow) {
    ui::SecondaryWindowScaler scaler(fakeScreen);
    qApp->installEventFilter(&scaler);

    QDialog laidOut;
    auto* box = new QVBoxLayout(&laidOut);
    box->addWidget(new QLabel("Some text of a reasonable width"));
    box->addWidget(new QPushButton("Done"));
    const QSize natural = laidOut.sizeHint();
    const double naturalFont = laidOut.font().pointSizeF();
    laidOut.show();
    EXPECT_NEAR(laidOut.font().pointSizeF(), naturalFont * 1.6, 0.01);
    EXPECT_GE(laidOut.width(), static_cast<int>(natural.width() * 1.6) - 1);
    const QSize scaled = laidOut.size();
    laidOut.hide();
    laidOut.show();
    EXPECT_EQ(laidOut.size(), scaled);

    // A wide laid-out window is stretched only as far as it fits the work
    // area: its controls at their grown fonts must stay on the screen.
    QDialog wide;
    auto* row = new QHBoxLayout(&wide);
    auto* wideBox = new QLineEdit(&wide);
    wideBox->setMinimumWidth(760);
    row->addWidget(wideBox);
    const double wideFont = wide.font().pointSizeF();
    wide.show();
    EXPECT_LT(wide.font().pointSizeF(), wideFont * 1.6);
    EXPECT_GT(wide.font().pointSizeF(), wideFont);
    const QRect wideFrame = wide.frameGeometry();
    EXPECT_TRUE(kScreen.work.contains(wideFrame)) << wideFrame.x() << "," << wideFrame.y() << " "
                                                  << wideFrame.width() << "x" << wideFrame.height();
    EXPECT_LE(wide.minimumSizeHint().width(), kScreen.work.width());

    // A window that sized itself keeps its size.
    QDialog sized;
    sized.resize(300, 200);
    sized.show();
    EXPECT_EQ(sized.size(), QSize(300, 200));

    // Standard message boxes are left alone.
    QMessageBox message(QMessageBox::Information, "Title", "Text");
    EXPECT_FALSE(ui::SecondaryWindowScaler::wantsScaling(message));

    // And so is a window that asks to be.
    QWidget own;
    own.setProperty(ui::SecondaryWindowScaler::kKeepSizeProperty, true);
    EXPECT_FALSE(ui::SecondaryWindowScaler::wantsScaling(own));

    qApp->removeEventFilter(&scaler);
}

// ---------------------------------------------------------------- frames once placed

// A window manager puts its frame round a window only after the window has
// been shown, so a window stretched to the work area before that would have
// its title bar pushed off the screen.
TEST(SecondaryWindowFrames, AStretchedWindowsWholeFrameStaysOnTheWorkArea) {
    for (const QSize screen :
         {QSize(1024, 768), QSize(1280, 1024), QSize(1600, 1000), QSize(1920, 1080)}) {
        const ui::ScreenAreas areas{QRect(QPoint(0, 0), screen),
                                    QRect(0, 0, screen.width(), screen.height() - 40)};
        ui::SecondaryWindowScaler scaler([areas] { return areas; });
        qApp->installEventFilter(&scaler);
        // Tall for its width: stretched until its height fills the work area.
        QDialog tall;
        auto* box = new QVBoxLayout(&tall);
        auto* body = new QFrame;
        body->setMinimumSize(380, 450);
        box->addWidget(body);
        tall.show();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return areas.work.contains(tall.frameGeometry()); }, 2000))
            << screen.width() << "x" << screen.height() << ": " << tall.frameGeometry().y() << " "
            << tall.frameGeometry().height();
        EXPECT_GE(tall.frameGeometry().height(), areas.work.height() - 2);
        qApp->removeEventFilter(&scaler);
    }
}

TEST(SecondaryWindowFrames, AWindowItsLayoutGrowsAfterPlacingIsCentredAgain) {
    const ui::ScreenAreas areas{QRect(0, 0, 1600, 1000), QRect(0, 0, 1600, 960)};
    ui::SecondaryWindowScaler scaler([areas] { return areas; });
    qApp->installEventFilter(&scaler);
    QDialog window;
    auto* box = new QVBoxLayout(&window);
    auto* body = new QFrame;
    body->setMinimumSize(200, 150);
    box->addWidget(body);
    window.show();
    QApplication::processEvents();
    // Its controls ask for more room once it is up, as a window that fills
    // its lists on showing does.
    body->setMinimumSize(900, 600);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QPoint off = window.frameGeometry().center() - areas.work.center();
            return window.width() >= 900 && std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
        },
        2000))
        << window.frameGeometry().x() << "," << window.frameGeometry().y() << " "
        << window.frameGeometry().width() << "x" << window.frameGeometry().height();
    qApp->removeEventFilter(&scaler);
}

TEST(SecondaryWindowFrames, AFrameIsMovedOrShrunkOntoTheWorkArea) {
    const QRect work(0, 0, 800, 560);
    QWidget window(nullptr, Qt::Window);
    window.setGeometry(100, 100, 300, 200);
    window.show();
    QApplication::processEvents();
    window.move(700, -30); // the title bar above the top, the right edge off it
    ui::keepFrameOnWorkArea(window, work, false);
    EXPECT_TRUE(work.contains(window.frameGeometry()));
    EXPECT_EQ(window.frameGeometry().topRight(), work.topRight());
    EXPECT_EQ(window.size(), QSize(300, 200));

    window.resize(1000, 700);
    ui::keepFrameOnWorkArea(window, work, true);
    EXPECT_EQ(window.frameGeometry(), work);
}

TEST(MainWindowArea, TheShareStartsAtTheScreensCorner) {
    const ui::ScreenAreas offset{QRect(1920, 0, 1000, 800), QRect(1920, 30, 1000, 770)};
    EXPECT_EQ(ui::mainWindowArea(50, 1, offset), QRect(1920, 0, 500, 400));
    EXPECT_EQ(ui::mainWindowArea(100, 1, offset), offset.work);
    EXPECT_EQ(ui::mainWindowArea(100, 0, offset), offset.screen);
}
