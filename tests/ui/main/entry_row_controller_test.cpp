// The controller between the entry row model and seven line edits, against a
// host that records what it is asked to do.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <memory>

#include "support/fake_clock.h"
#include "ui/main/entry_row_controller.h"

using namespace wexon;
using core::EntryBox;

namespace {

struct RecordingHost : ui::EntryRowHost {
    std::vector<std::string> calls;
    bool duplicate = false;
    bool takeF5 = false;
    ui::EntryRowController* controller = nullptr;

    bool windowKey(QKeyEvent* e) override {
        if (takeF5 && e->key() == Qt::Key_F5) {
            calls.push_back("windowKey F5");
            return true;
        }
        return false;
    }
    void beforeKey(EntryBox) override {}
    void boxChanged(EntryBox box) override {
        calls.push_back("changed " + std::string(core::entryBoxObjectName(box)));
        if (box == EntryBox::Call) {
            // As the window does: the derived prefix goes back through the model.
            auto& row = controller->row();
            controller->apply(row.setText(EntryBox::Pref, row.text(EntryBox::Call).substr(0, 2)));
        }
    }
    void showMessage(const std::string& text, core::MessageColour) override {
        calls.push_back("message " + text);
    }
    void beep() override { calls.push_back("beep"); }
    void logContact() override { calls.push_back("log"); }
    void partialDupes(int key, const std::string& before) override {
        calls.push_back("partial " + before + static_cast<char>(key));
    }
    bool dupCheck() override {
        calls.push_back("dupcheck");
        if (duplicate) {
            controller->duplicateFound();
            controller->apply(controller->row().clearAfterDupe());
        }
        return duplicate;
    }
    void completeCountry(int key) override { calls.push_back("complete " + std::to_string(key)); }
    void voicePrompt(const std::string& name) override { calls.push_back("prompt " + name); }
    void callGotFocus() override {}
    void clearCountryLabels() override {}
    void clearDupeLabel() override {}
    void focusNextControl() override { calls.push_back("next control"); }

    bool saw(const std::string& what) const {
        return std::find(calls.begin(), calls.end(), what) != calls.end();
    }
};

class EntryRowControllerTest : public ::testing::Test {
  protected:
    QWidget window;
    std::array<QLineEdit*, core::kEntryBoxCount> boxes{};
    RecordingHost host;
    test::FakeClock clock;
    std::unique_ptr<ui::EntryRowController> controller;

    void SetUp() override {
        for (EntryBox b : core::kEntryBoxes) {
            auto* box = new QLineEdit(&window);
            box->setObjectName(core::entryBoxObjectName(b));
            boxes[static_cast<std::size_t>(core::entryBoxIndex(b))] = box;
        }
        controller = std::make_unique<ui::EntryRowController>(boxes, host, clock);
        host.controller = controller.get();
        controller->row().setLoggedOn(true);
        controller->row().setContestMode("CW");
    }
    QLineEdit* box(EntryBox b) { return boxes[static_cast<std::size_t>(core::entryBoxIndex(b))]; }
};

} // namespace

TEST_F(EntryRowControllerTest, KeysGoThroughTheModelAndItsResultsReachTheWidgets) {
    QTest::keyClicks(box(EntryBox::Call), "dl1a");
    EXPECT_EQ(box(EntryBox::Call)->text(), "DL1A");
    EXPECT_EQ(box(EntryBox::Call)->cursorPosition(), 4);
    // The host's answer to the changed call went back through the model.
    EXPECT_EQ(box(EntryBox::Pref)->text(), "DL");
    EXPECT_TRUE(host.saw("partial DL1A"));
    EXPECT_TRUE(host.saw("changed txtPref"));
    // A caret moved by the widget is respected by the next key.
    QTest::keyClick(box(EntryBox::Call), Qt::Key_Home);
    QTest::keyClick(box(EntryBox::Call), 'x');
    EXPECT_EQ(box(EntryBox::Call)->text(), "XDL1A");
    EXPECT_EQ(box(EntryBox::Call)->cursorPosition(), 1);
    QTest::keyClick(box(EntryBox::Call), Qt::Key_Delete);
    EXPECT_EQ(controller->row().text(EntryBox::Call), "XL1A");
}

TEST_F(EntryRowControllerTest, LeavingTheCallBoxFillsTheReportsSelectedAndMovesTheFocus) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    box(EntryBox::Call)->setFocus();
    QTest::keyClicks(box(EntryBox::Call), "W1AW ");
    EXPECT_TRUE(host.saw("dupcheck"));
    EXPECT_EQ(window.focusWidget(), box(EntryBox::Rstr));
    EXPECT_EQ(box(EntryBox::Rstr)->text(), "599");
    EXPECT_EQ(box(EntryBox::Rstr)->selectedText(), "599");
    EXPECT_EQ(box(EntryBox::Rsts)->selectedText(), "599");
    QTest::keyClick(box(EntryBox::Rstr), '5');
    EXPECT_EQ(box(EntryBox::Rstr)->text(), "5");
    // Enter logs from any box; the widget never sees it.
    QTest::keyClick(box(EntryBox::Rstr), Qt::Key_Return);
    EXPECT_EQ(host.calls.back(), "log");
}

TEST_F(EntryRowControllerTest, PastedTextIsCleanedAndCutToTheBox) {
    box(EntryBox::Rstr)->setMaxLength(32767);
    box(EntryBox::Call)->insert(QString::fromUtf8("k1\"ab\tc\u0416"));
    EXPECT_EQ(box(EntryBox::Call)->text(), "K1ABC"); // in capitals, as typed keys are
    EXPECT_EQ(controller->row().text(EntryBox::Call), "K1ABC");
    box(EntryBox::Rstr)->setText("59999999");
    EXPECT_EQ(box(EntryBox::Rstr)->text(), "599");
    EXPECT_EQ(controller->row().text(EntryBox::Rstr), "599");
}

TEST_F(EntryRowControllerTest, WindowKeysNeverReachTheRow) {
    host.takeF5 = true;
    QTest::keyClick(box(EntryBox::Call), Qt::Key_F5);
    EXPECT_EQ(host.calls, std::vector<std::string>{"windowKey F5"});
    EXPECT_TRUE(box(EntryBox::Call)->text().isEmpty());
}

TEST_F(EntryRowControllerTest, KeysAfterADuplicateWaitThreeSecondsAndKeepTheirOrder) {
    host.duplicate = true;
    QTest::keyClicks(box(EntryBox::Call), "W1AW");
    QTest::keyClick(box(EntryBox::Call), Qt::Key_Space);
    EXPECT_TRUE(box(EntryBox::Call)->text().isEmpty());
    host.duplicate = false;
    QTest::keyClicks(box(EntryBox::Call), "k1");
    EXPECT_TRUE(box(EntryBox::Call)->text().isEmpty());
    ASSERT_TRUE(controller->holdTimer()->isActive());
    EXPECT_GT(controller->holdTimer()->interval(), 2900);
    clock.advanceSeconds(1);
    controller->releaseHeldKeys(); // early: nothing yet, the timer waits again
    EXPECT_TRUE(box(EntryBox::Call)->text().isEmpty());
    EXPECT_TRUE(controller->holdTimer()->isActive());
    QTest::keyClick(box(EntryBox::Call), 'a');
    clock.advanceSeconds(2);
    controller->releaseHeldKeys();
    EXPECT_EQ(box(EntryBox::Call)->text(), "K1A");
    QTest::keyClick(box(EntryBox::Call), 'b');
    EXPECT_EQ(box(EntryBox::Call)->text(), "K1AB");
}
