#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "spots/fake_spot_host.h"
#include "spots/pack_spot_settings.h"
#include "spots/spotting_texts.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/common/screen_layout.h"
#include "ui/spots/spotting_window.h"

namespace wexon::ui {
namespace {

class SpottingWindowTest : public ::testing::Test {
  protected:
    std::unique_ptr<SpottingWindow> make() {
        SpottingServices s;
        s.host = &host;
        s.prompts = &prompts;
        s.tncPort = &port;
        s.agw = &agw;
        s.workingFolder = QString::fromStdString(dir.path());
        s.postSpot = [this](const std::string& call, const std::string& khz,
                            const std::string& text) {
            posted.push_back({call, khz, text});
        };
        s.packetResize = [this] { ++resizes; };
        s.refreshLabels = [this] { ++refreshes; };
        auto w = std::make_unique<SpottingWindow>(std::move(s));
        w->formLoad();
        return w;
    }
    void choose(SpottingWindow& w, const char* source) {
        auto* list = w.findChild<QListWidget*>("List1");
        const auto items = list->findItems(source, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        list->setCurrentItem(items[0]);
        w.list1Click(list->row(items[0]));
    }
    void type(SpottingWindow& w, const QString& text) {
        auto* box = w.findChild<QLineEdit*>("txtSent");
        box->setFocus();
        QTest::keyClicks(box, text);
    }
    void enter(SpottingWindow& w) {
        QTest::keyClick(w.findChild<QLineEdit*>("txtSent"), Qt::Key_Return);
    }

    test::TempDir dir;
    test::FakeSpotHost host;
    test::FakePrompts prompts;
    test::FakeCatPort port;
    test::FakeAgwLink agw;
    std::vector<std::array<std::string, 3>> posted;
    int resizes = 0;
    int refreshes = 0;
};

// The screens the window was seen cut on, each with a 40-pixel panel.
TEST_F(SpottingWindowTest, OnABigScreenTheWindowStretchesAtMostHalfAgainAndShowsEverySource) {
    for (const QSize screen : {QSize(1024, 768), QSize(1600, 1000), QSize(1920, 1080)}) {
        const ScreenAreas areas{QRect(QPoint(0, 0), screen),
                                QRect(0, 0, screen.width(), screen.height() - 40)};
        SecondaryWindowScaler scaler([areas] { return areas; });
        qApp->installEventFilter(&scaler);
        auto w = make();
        const double naturalFont = w->font().pointSizeF();
        const QSize natural = w->sizeHint();
        w->show();
        // Once the frame is round it, all of it is on the work area.
        EXPECT_TRUE(QTest::qWaitFor([&] { return areas.work.contains(w->frameGeometry()); }, 2000))
            << screen.width() << "x" << screen.height();
        EXPECT_LE(w->font().pointSizeF(), naturalFont * 1.5 + 0.01);
        EXPECT_LE(w->width(), natural.width() * 1.5 + 2);
        // Every source of the list is in sight.
        auto* list = w->findChild<QListWidget*>("List1");
        QApplication::processEvents();
        const QRect last = list->visualItemRect(list->item(list->count() - 1));
        EXPECT_LE(last.bottom(), list->viewport()->height()) << screen.width();
        qApp->removeEventFilter(&scaler);
        w->formUnload();
    }
}

TEST_F(SpottingWindowTest, SavedSettingsComeBackButListDxOnlyStartsUnchecked) {
    {
        auto w = make();
        choose(*w, "Telnet");
        w->findChild<QLineEdit*>("txtTelnetHost")->setText("127.0.0.1");
        w->findChild<QLineEdit*>("txtTelnetPort")->setText("7300");
        w->findChild<QRadioButton*>("OptList")->setChecked(true);
        w->findChild<QCheckBox*>("chkDX")->setChecked(true);
        w->findChild<QPushButton*>("cmdDone")->click();
        EXPECT_EQ(resizes, 1);
        EXPECT_EQ(host.savePrefs, 1);
        EXPECT_TRUE(w->isHidden());
        w->formUnload();
    }
    const std::string saved = dir.read("PackSpot.txt");
    EXPECT_NE(saved.find("\"Telnet\"\r\n0\r\n1\r\n1\r\n#TRUE#\r\n"), std::string::npos) << saved;

    auto w = make();
    EXPECT_EQ(w->spotSource(), "Telnet");
    EXPECT_TRUE(w->optList());
    EXPECT_FALSE(w->listDxOnly());
    EXPECT_TRUE(w->listening()); // a saved source is reopened at once
    EXPECT_TRUE(w->timerRunning());
    EXPECT_EQ(w->findChild<QLineEdit*>("txtTelnetPort")->text(), "7300");
    spots::PackSpotSettings s = w->currentSettings();
    EXPECT_EQ(s.telnetHost, "127.0.0.1");
    w->formUnload();
}

TEST_F(SpottingWindowTest, ChoosingTncPresetsItsSettingsAndHelp) {
    auto w = make();
    choose(*w, "TNC");
    spots::PackSpotSettings s = w->currentSettings();
    EXPECT_EQ(s.baud, "9600");
    EXPECT_EQ(s.parity, "N");
    EXPECT_EQ(s.dataBits, "8");
    EXPECT_EQ(s.stopBits, "1");
    EXPECT_EQ(s.handshake, 3);
    EXPECT_EQ(s.hexCharacter, "03");
    EXPECT_EQ(w->terminal().find("To use a Packet TNC"), 0u);
    EXPECT_EQ(w->findChild<QLabel*>("Label6")->text(), spots::kSendLabelTnc);
    EXPECT_TRUE(w->findChild<QRadioButton*>("optBaud96")->isEnabled());
    EXPECT_FALSE(w->findChild<QLineEdit*>("txtTelnetHost")->isEnabled());
}

TEST_F(SpottingWindowTest, EscWithTncSendsTheCommandCharacterAndTypesNothing) {
    auto w = make();
    choose(*w, "TNC");
    w->openPort();
    ASSERT_TRUE(port.isOpen());
    EXPECT_EQ(port.lastRequest.settings, "9600,N,8,1");
    EXPECT_EQ(port.lastRequest.handshaking, 2);
    auto* box = w->findChild<QLineEdit*>("txtSent");
    QTest::keyClick(box, Qt::Key_Escape);
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(port.written, std::string("\x03\x03"));
    EXPECT_EQ(box->text(), "");
    w->findChild<QLineEdit*>("txtHex")->setText("1B");
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(port.written.back(), '\x1B');
}

TEST_F(SpottingWindowTest, TncLinesArePolledAndRepeatsIgnored) {
    auto w = make();
    choose(*w, "TNC");
    w->openPort();
    const std::string spot =
        "DX de W1XX:      14025.0  JA1XYZ       CQ WPX                         1234Z";
    port.input = "\r\n" + spot + "\r\n" + spot + "\r\nDX de W2";
    w->timerTick();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0][0], "JA1XYZ");
    EXPECT_EQ(posted[0][1], "14025.0");
    port.input = "YY:      7010.0   DL1AA\r\n";
    w->timerTick();
    ASSERT_EQ(posted.size(), 2u); // the held partial line was completed
    EXPECT_EQ(posted[1][0], "DL1AA");
}

TEST_F(SpottingWindowTest, FailedTncOpenTellsTheOperatorAndCloses) {
    port.openFails = true;
    auto w = make();
    choose(*w, "TNC");
    w->openPort();
    EXPECT_TRUE(prompts.wasShown(spots::kInvalidCommTitle));
    EXPECT_FALSE(w->listening());
    EXPECT_FALSE(w->timerRunning());
    EXPECT_NE(w->terminal().find("** Unable to open TNC Serial Port **"), std::string::npos);
    EXPECT_GE(prompts.beeps, 1);
    w->hide();
}

TEST_F(SpottingWindowTest, AgwCommandRules) {
    auto w = make();
    choose(*w, "AGW Packet Engine");
    w->openPort();
    ASSERT_TRUE(w->timerRunning());
    EXPECT_NE(w->terminal().find("** Successfully connected to AGW Packet Engine **"),
              std::string::npos);

    type(*w, ":c dx0abc");
    enter(*w);
    ASSERT_EQ(agw.puts.size(), 2u);
    EXPECT_EQ(agw.puts[0].kind, 'c');
    EXPECT_EQ(agw.puts[0].call, "DX0ABC");
    EXPECT_EQ(agw.puts[1].kind, 'P');

    type(*w, ":C");
    enter(*w);
    EXPECT_TRUE(prompts.wasShown(spots::kAgwConnectCallTitle));
    type(*w, ":D");
    enter(*w);
    type(*w, "dropped while not connected");
    enter(*w);
    EXPECT_EQ(agw.puts.size(), 2u);

    // Esc types a colon with the AGW source.
    auto* box = w->findChild<QLineEdit*>("txtSent");
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(box->text(), ":");
    box->clear();

    agw.incoming.push_back({'c', "DX0ABC", "*** CONNECTED With DX0ABC\r"});
    w->timerTick();
    EXPECT_EQ(w->agwConnectedCall(), "DX0ABC");
    EXPECT_EQ(w->windowTitle(), "DX Spotting Setup - Connected to DX0ABC");

    const QString seventy(70, 'a');
    type(*w, seventy + " ");
    ASSERT_EQ(agw.puts.size(), 3u);
    EXPECT_EQ(agw.puts[2].kind, 'D');
    EXPECT_EQ(agw.puts[2].data, seventy.toStdString() + "\r");
    EXPECT_EQ(box->text(), "");

    agw.incoming.push_back({'d', "DX0ABC", ""});
    w->timerTick();
    EXPECT_EQ(w->agwConnectedCall(), "");
    EXPECT_EQ(w->windowTitle(), "DX Spotting Setup");

    w->closePort();
    EXPECT_EQ(agw.closes, 1);
    EXPECT_FALSE(w->listening());
}

TEST_F(SpottingWindowTest, AgwWithoutOwnCallAsksForIt) {
    host.own = " ";
    auto w = make();
    choose(*w, "AGW Packet Engine");
    w->openPort();
    EXPECT_TRUE(prompts.wasShown(spots::kCallRequiredTitle));
    EXPECT_EQ(agw.starts, 0);
}

TEST_F(SpottingWindowTest, AgwFailureShowsItsMessage) {
    agw.startResult = false;
    auto w = make();
    choose(*w, "AGW Packet Engine");
    w->openPort();
    EXPECT_TRUE(prompts.wasShown(spots::kAgwFailTitle));
    EXPECT_FALSE(w->listening());
    EXPECT_FALSE(w->timerRunning());
    w->hide();
}

TEST_F(SpottingWindowTest, TelnetErrorsShowTheirMessage) {
    auto w = make();
    choose(*w, "Telnet");
    w->openPort();
    w->telnetError(10060);
    EXPECT_NE(w->terminal().find("ERROR: Socket has been shut down."), std::string::npos);
    EXPECT_FALSE(w->listening());
    w->openPort();
    w->telnetError(4242);
    EXPECT_NE(w->terminal().find("Error number 4242"), std::string::npos);
}

TEST_F(SpottingWindowTest, TelnetSendBeforeConnectingSaysWait) {
    auto w = make();
    choose(*w, "Telnet");
    w->findChild<QLineEdit*>("txtTelnetHost")->setText("127.0.0.1");
    w->findChild<QLineEdit*>("txtTelnetPort")->setText("1");
    type(*w, "K1ABC");
    enter(*w);
    EXPECT_NE(w->terminal().find("**  Connection not yet established."), std::string::npos);
    EXPECT_TRUE(w->findChild<QLineEdit*>("txtSent")->text().isEmpty());
}

TEST_F(SpottingWindowTest, TerminalIsCutToItsLastNineThousand) {
    auto w = make();
    choose(*w, "Telnet");
    w->receiveTelnetChunk(std::string(12000, 'x'));
    EXPECT_EQ(w->terminal().size(), 9000u);
    auto* shown = w->findChild<QPlainTextEdit*>("txtUnProcessed");
    // A closed window's terminal waits for the window to open.
    EXPECT_TRUE(shown->toPlainText().isEmpty());
    w->show();
    EXPECT_EQ(shown->toPlainText().size(), 9000);
    // Open, it follows each read.
    w->receiveTelnetChunk("K1ABC de W1XX >\r\n");
    EXPECT_TRUE(shown->toPlainText().endsWith("K1ABC de W1XX >\n"));
    w->formUnload();
}

TEST_F(SpottingWindowTest, SpotLastSelectsTheFrequencyPlaceholder) {
    auto w = make();
    w->findChild<QPushButton*>("Command3")->click();
    auto* box = w->findChild<QLineEdit*>("txtSent");
    EXPECT_EQ(box->text(), "DX Frequency in kHz W1AW");
    EXPECT_EQ(box->selectedText(), "Frequency in kHz");
}

TEST_F(SpottingWindowTest, TimerRefreshesLabelsAfterTwoMinutesWithoutSpots) {
    auto w = make();
    choose(*w, "Telnet");
    for (int i = 0; i < 360; ++i) {
        w->timerTick();
    }
    EXPECT_EQ(refreshes, 0);
    w->timerTick();
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(w->labelUpdateTimeCounter, 0.0f);
}

} // namespace
} // namespace wexon::ui
