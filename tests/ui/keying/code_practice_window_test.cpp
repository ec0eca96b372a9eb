#include "ui/keying/code_practice_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include "keying/cw_keyer.h"
#include "keying/element_clock.h"
#include "keying/keying_fakes.h"
#include "support/fake_clock.h"

namespace wexon::ui {
namespace {

template <typename F> bool runUntil(F done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return true;
}

struct PracticeRig {
    test::FakeCwHost host;
    test::FakeClock clock;
    keying::MonotonicElementClock elementClock;
    keying::CwKeyer keyer{host, elementClock, clock, false};
    CodePracticeWindow window{keyer};
    QPlainTextEdit* toSend() { return window.findChild<QPlainTextEdit*>("Text1"); }
    QPlainTextEdit* sent() { return window.findChild<QPlainTextEdit*>("Text2"); }
};

TEST(CodePracticeWindow, TenGroupsOfFive) {
    PracticeRig rig;
    rig.window.seed(7);
    rig.window.command2Click();
    QString text = rig.toSend()->toPlainText();
    EXPECT_EQ(text.size(), 60);
    EXPECT_EQ(text.count(' '), 10);
    rig.window.findChild<QLineEdit*>("Text3")->setText("x");
    rig.window.findChild<QLineEdit*>("Text4")->setText("");
    rig.window.command2Click();
    EXPECT_EQ(rig.window.findChild<QLineEdit*>("Text3")->text(), "10");
    EXPECT_EQ(rig.window.findChild<QLineEdit*>("Text4")->text(), "5");
}

TEST(CodePracticeWindow, WithNoKeyingTheSentBoxStillFills) {
    PracticeRig rig;
    rig.toSend()->setPlainText("CQ TEST");
    rig.window.command3Click();
    ASSERT_TRUE(runUntil([&] { return !rig.window.practiceRunning(); }));
    EXPECT_EQ(rig.sent()->toPlainText(), "CQ TEST");
}

TEST(CodePracticeWindow, EditsTakeEffectFromTheNextCharacter) {
    PracticeRig rig;
    rig.keyer.setInterface(1);
    rig.keyer.setSpeedText("99");
    rig.toSend()->setPlainText("EEEEEE");
    rig.window.command3Click();
    ASSERT_TRUE(runUntil([&] { return rig.sent()->toPlainText().size() >= 2; }));
    int done = static_cast<int>(rig.sent()->toPlainText().size());
    rig.toSend()->setPlainText(QString(done, 'E') + QString(6 - done, 'T'));
    ASSERT_TRUE(runUntil([&] { return !rig.window.practiceRunning(); }));
    EXPECT_EQ(rig.sent()->toPlainText(), QString(done, 'E') + QString(6 - done, 'T'));
    rig.keyer.engine().waitUntilIdle(std::chrono::seconds(5));
}

TEST(CodePracticeWindow, CloseIsRefusedWhileSending) {
    PracticeRig rig;
    rig.keyer.setInterface(1);
    rig.keyer.setSpeedText("5"); // a dash is almost a second
    rig.toSend()->setPlainText("TTTT");
    rig.window.show();
    rig.window.command3Click();
    ASSERT_TRUE(runUntil([&] { return rig.keyer.isSending(); }));
    EXPECT_FALSE(rig.window.close());
    EXPECT_TRUE(rig.window.isVisible());
    EXPECT_FALSE(rig.window.practiceRunning());
    EXPECT_TRUE(rig.keyer.engine().bufferEmpty());
    ASSERT_TRUE(rig.keyer.engine().waitUntilIdle(std::chrono::seconds(5)));
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.window.close());
}

TEST(CodePracticeWindow, KeyboardBoxSendsAndBackspaces) {
    PracticeRig rig;
    auto* box = rig.window.findChild<QLineEdit*>("Text5");
    box->setFocus();
    QTest::keyClicks(box, "ab");
    EXPECT_EQ(rig.sent()->toPlainText(), "AB");
    EXPECT_EQ(box->text(), "");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(rig.sent()->toPlainText(), "A");
}

TEST(CodePracticeWindow, PasteAndSpeedButtons) {
    PracticeRig rig;
    rig.window.setClipboardText([] { return QString("PASTED TEXT"); });
    rig.window.command1Click();
    EXPECT_EQ(rig.toSend()->toPlainText(), "PASTED TEXT");
    rig.window.setSpeedButtons([] { return QString("14"); }, [] { return QString("12"); });
    rig.window.findChild<QPushButton*>("Command7")->click();
    EXPECT_EQ(rig.window.findChild<QLabel*>("Label8")->text(), "14");
}

} // namespace
} // namespace wexon::ui
