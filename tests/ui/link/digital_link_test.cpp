// The link with the RTTY program, against a fake RTTY program: a local server
// in the test that reads and writes the item lines.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTest>

#include "core/entry_box.h"
#include "core/preferences.h"
#include "support/main_window_fixture.h"
#include "ui/link/digital_link_window.h"

using namespace wexon;
using core::EntryBox;
using wexon::test::MainWindowTest;

namespace {

constexpr const char* kNotFound = "Unable to find Vemo RTTY.";
constexpr const char* kConnected = "Connected with Vemo!";

// The fake RTTY program: accepts the link and collects the lines it gets.
class FakeRttyProgram {
  public:
    QLocalServer server;
    QLocalSocket* peer = nullptr;
    QStringList received;

    bool listen(const QString& path) {
        QLocalServer::removeServer(path);
        return server.listen(path);
    }
    bool waitForPeer(int ms = 3000) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (server.hasPendingConnections()) {
                peer = server.nextPendingConnection();
                received.clear();
                m_partial.clear();
                return true;
            }
            QTest::qWait(5);
        }
        return false;
    }
    // Reads what arrived within `ms` (or until `count` lines are in).
    QStringList lines(int count = -1, int ms = 300) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms && (count < 0 || received.size() < count)) {
            QTest::qWait(5);
            if (peer != nullptr) {
                m_partial += peer->readAll();
                qsizetype end = 0;
                while ((end = m_partial.indexOf('\n')) >= 0) {
                    received << QString::fromUtf8(m_partial.left(end));
                    m_partial.remove(0, end + 1);
                }
            }
        }
        QStringList out = received;
        received.clear();
        return out;
    }
    void write(const QByteArray& bytes) {
        peer->write(bytes);
        peer->flush();
    }

  private:
    QByteArray m_partial;
};

bool waitUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QTest::qWait(5);
    }
    return done();
}

class DigitalLinkTest : public MainWindowTest {
  protected:
    FakeRttyProgram rtty;
    std::unique_ptr<ui::DigitalLinkWindow> link;
    QString socketPath;

    void SetUp() override {
        MainWindowTest::SetUp();
        socketPath = QString::fromStdString(dir.file("vemo"));
        settings.write(ui::kVemoLinkServerKey, socketPath.toStdString());
        settings.write(ui::kUserVemoOptionKey, "1");
    }
    void TearDown() override { link.reset(); }

    // A main window in the given contest mode with the link window plugged in,
    // loaded as at start (the station setup is accepted during the load).
    ui::MainWindow& start(const std::string& mode, bool partnerRunning = true) {
        prefs.contestMode = mode;
        dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
        if (partnerRunning) {
            EXPECT_TRUE(rtty.listen(socketPath));
        }
        auto& w = make();
        link = std::make_unique<ui::DigitalLinkWindow>(w, settings, prompts);
        w.formLoad();
        w.show();
        return w;
    }
    // Started in RTTY and linked, with the greeting lines already read.
    ui::MainWindow& linked() {
        auto& w = start("RY");
        EXPECT_TRUE(rtty.waitForPeer());
        EXPECT_EQ(rtty.lines(2), (QStringList{"txtBMyCall\tW1AW", "txtBField3\t001"}));
        return w;
    }
    QLineEdit* box(const char* name) {
        return link->findChild<QLineEdit*>(name);
    }
    QColor dialogColour() {
        return child<QLabel>("lblDialog")->palette().color(QPalette::Window);
    }
};

} // namespace

TEST_F(DigitalLinkTest, TheHiddenWindowHasItsBoxesAndButton) {
    start("CW", false);
    EXPECT_EQ(link->objectName(), "frmDigitalSource");
    EXPECT_FALSE(link->isVisible());
    for (const auto& item : link::kItems) {
        ASSERT_NE(box(item.name), nullptr) << item.name;
        EXPECT_EQ(box(item.name)->accessibleName(), item.name);
    }
    auto* reconnect = link->findChild<QPushButton*>("Command1");
    ASSERT_NE(reconnect, nullptr);
    EXPECT_EQ(reconnect->text(), "Reconnect");
    EXPECT_EQ(link->findChild<QLabel*>("Label1")->text(), "Sent to Vemo RTTY");
    EXPECT_EQ(link->findChild<QLabel*>("Label2")->text(), "Received from Vemo RTTY");
    // The Options menu opens it, so the program can be chosen before any link starts.
    auto* item = window->findChild<QAction*>("mnuDigitalLink");
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_TRUE(link->isVisible());
}

TEST_F(DigitalLinkTest, ConnectingSaysSoAndSendsOwnCallAndNextNumber) {
    linked();
    EXPECT_TRUE(link->connected());
    const auto* shown = prompts.find(kConnected);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text, "Connected with Vemo!\n\nFor best display of both programs on your "
                           "screen, click Options > Appearance > Form Size and enter 85 from "
                           "this program's menu options.");
    EXPECT_EQ(box("txtBMyCall")->text(), "W1AW");
    EXPECT_EQ(box("txtBField3")->text(), "001");
}

TEST_F(DigitalLinkTest, AFailedConnectShowsTheErrorBoxAndLeavesTheLinkDown) {
    start("RY", false);
    EXPECT_FALSE(link->connected());
    const auto* shown = prompts.find(kNotFound);
    ASSERT_NE(shown, nullptr);
    const QStringList parts = shown->text.split("\n\n");
    ASSERT_EQ(parts.size(), 2);
    EXPECT_FALSE(parts[0].trimmed().isEmpty()) << "the socket's own description comes first";
    EXPECT_EQ(parts[1], "Please start Vemo RTTY and click Setup to try again!");
    EXPECT_FALSE(prompts.wasShown(kConnected));
}

// The socket lives in the user's own runtime folder, not in the shared
// temporary folder where any user can make one under the expected name.
TEST_F(DigitalLinkTest, TheDefaultSocketIsInTheUsersRuntimeFolder) {
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const std::string runtime = dir.file("runtime");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(runtime)));
    QFile::setPermissions(QString::fromStdString(runtime),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime));
    settings.write(ui::kVemoLinkServerKey, "");
    socketPath = QString::fromStdString(runtime + "/Vemo_RTTY_frmDigitalDest");
    FakeRttyProgram squatter; // where the socket used to be
    const QString shared = QDir::tempPath() + "/Vemo_RTTY_frmDigitalDest";
    ASSERT_TRUE(squatter.listen(shared));
    linked();
    EXPECT_EQ(link->serverName(), socketPath);
    EXPECT_FALSE(squatter.server.hasPendingConnections());
    EXPECT_EQ(link->statusText(), "Connected to " + socketPath);
    squatter.server.close();
    if (oldRuntime.isNull()) {
        qunsetenv("XDG_RUNTIME_DIR");
    } else {
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
    }
}

TEST_F(DigitalLinkTest, TheLinkWindowSaysWhyItIsNotConnected) {
    start("RY", false);
    auto* status = link->findChild<QLabel*>("lblLinkStatus");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->textFormat(), Qt::PlainText);
    EXPECT_TRUE(status->text().startsWith("Not connected: ")) << status->text().toStdString();
}

// A partner that floods calls and never reads what comes back would make the
// program hold every answer: the link is dropped with a message instead.
TEST_F(DigitalLinkTest, APartnerThatFloodsAndNeverReadsIsDropped) {
    linked();
    rtty.peer->setReadBufferSize(1024);
    QByteArray flood;
    for (int i = 0; i < 40000; ++i) {
        flood += "txtSUrCall\tK" + QByteArray::number(i) + "\n";
    }
    rtty.write(flood);
    ASSERT_TRUE(waitUntil([this] { return !link->connected(); }, 60000));
    EXPECT_TRUE(text("lblDialog").contains("stopped reading")) << text("lblDialog").toStdString();
    EXPECT_TRUE(link->statusText().contains("stopped reading"));
    // Nothing more is queued for it.
    link->sendItem("txtBUrCall", "W9XYZ");
    EXPECT_NE(box("txtBUrCall")->text(), "W9XYZ");
}

TEST_F(DigitalLinkTest, NoLinkWithoutTheOptionOrOutsideRtty) {
    settings.write(ui::kUserVemoOptionKey, "0");
    start("RY");
    EXPECT_FALSE(rtty.waitForPeer(100));
    EXPECT_TRUE(prompts.shown.empty() || !prompts.wasShown(kNotFound));
    link.reset();
    window.reset();

    settings.write(ui::kUserVemoOptionKey, "1");
    rtty.server.close();
    start("CW");
    EXPECT_FALSE(rtty.waitForPeer(100));
    link->command1Click(); // Reconnect does nothing outside RTTY
    EXPECT_FALSE(rtty.waitForPeer(100));
    EXPECT_FALSE(link->connected());
    EXPECT_FALSE(prompts.wasShown(kConnected));
    EXPECT_FALSE(prompts.wasShown(kNotFound));
}

TEST_F(DigitalLinkTest, InCwModeNothingIsWrittenWhateverTheFlag) {
    auto& w = linked();
    w.contest().prefs.contestMode = "CW";
    auto* call = child<QLineEdit>("txtCall");
    call->setFocus();
    QTest::keyClicks(call, "k1abc");
    QTest::keyClick(call, Qt::Key_F10);
    w.entryRow().apply(w.entryRow().row().setText(EntryBox::Rsts, "579"));
    link->sendToVemo();
    link->sendItem("txtBField3", "002");
    EXPECT_TRUE(rtty.lines().isEmpty());
    for (const auto& item : link::kItems) {
        if (item.direction == link::Direction::Out && std::string(item.name) != "txtBMyCall" &&
            std::string(item.name) != "txtBField3") {
            EXPECT_EQ(box(item.name)->text(), "") << item.name;
        }
    }
}

TEST_F(DigitalLinkTest, TypedKeysAndTheCallGoOutInOrder) {
    auto& w = linked();
    auto* call = child<QLineEdit>("txtCall");
    call->setFocus();
    QTest::keyClicks(call, "k1");
    EXPECT_EQ(rtty.lines(5), (QStringList{"txtBField8\t75", "txtBUrCall\tK", "txtBField8\t",
                                          "txtBField8\t49", "txtBUrCall\tK1"}));
    EXPECT_EQ(box("txtBUrCall")->text(), "K1");
    EXPECT_EQ(box("txtBField8")->text(), "49");
    (void)w;
}

TEST_F(DigitalLinkTest, F10IsSentAs124OnceAndRepeats) {
    linked();
    auto* call = child<QLineEdit>("txtCall");
    call->setFocus();
    QTest::keyClick(call, Qt::Key_F10);
    QTest::keyClick(call, Qt::Key_F10);
    EXPECT_EQ(rtty.lines(), (QStringList{"txtBField8\t124", "txtBField8\t", "txtBField8\t124"}));
    // A key in a control outside the entry row counts too.
    QTest::keyClick(child<QPushButton>("cmdLogOn"), Qt::Key_F1);
    EXPECT_EQ(rtty.lines(), (QStringList{"txtBField8\t", "txtBField8\t112"}));
}

TEST_F(DigitalLinkTest, ReportSentAndNextNumberGoOut) {
    auto& w = linked();
    auto& entry = w.entryRow();
    entry.apply(entry.row().setText(EntryBox::Rsts, "579"));
    EXPECT_EQ(rtty.lines(1), QStringList{"txtBField1\t579"});

    entry.apply(entry.row().setText(EntryBox::Call, "K1ABC"));
    entry.apply(entry.row().setText(EntryBox::Rstr, "599"));
    entry.apply(entry.row().setText(EntryBox::Sec, "001"));
    rtty.lines();
    w.mains();
    ASSERT_EQ(w.contest().qsoCount(), 1) << text("lblDialog").toStdString();
    const QStringList after = rtty.lines();
    EXPECT_TRUE(after.contains("txtBField3\t002")) << after.join('|').toStdString();
    EXPECT_EQ(box("txtBField3")->text(), "002");
}

TEST_F(DigitalLinkTest, ReceivedValuesReachTheEntryRow) {
    linked();
    rtty.write("txtSUrCall\tdl1abc\n");
    ASSERT_TRUE(waitUntil([this] { return text("txtCall") == "DL1ABC"; }))
        << text("txtCall").toStdString();
    // The main window's call box changed, so the call goes back out.
    EXPECT_EQ(rtty.lines(1), QStringList{"txtBUrCall\tDL1ABC"});

    rtty.write("txtSField1\t5nn\r\ntxtSField3\tabc1\n");
    ASSERT_TRUE(waitUntil([this] { return text("txtSec") == "abc1"; }));
    EXPECT_EQ(text("txtRSTR"), "5NN");

    // The other in items are shown in the link window and change nothing else.
    rtty.write("txtSMyCall\tk9xx\ntxtSField2\ta\ntxtSField4\tb\ntxtSField5\tc\n"
               "txtSField6\td\ntxtSField7\te\ntxtSField8\tf\n");
    ASSERT_TRUE(waitUntil([this] { return box("txtSField8")->text() == "f"; }));
    EXPECT_EQ(box("txtSMyCall")->text(), "k9xx");
    EXPECT_EQ(box("txtSUrCall")->text(), "dl1abc");
    EXPECT_EQ(text("txtCall"), "DL1ABC");
    EXPECT_EQ(text("txtRSTR"), "5NN");
    EXPECT_EQ(text("txtSec"), "abc1");
}

TEST_F(DigitalLinkTest, BadLinesAreDroppedAndTheLinkGoesOn) {
    linked();
    rtty.write("no tab at all\n");
    rtty.write("txtSBogus\tW1XYZ\ntxtBUrCall\tW2XYZ\n");
    rtty.write(QByteArray(1 << 20, 'Q'));
    rtty.write("\ntxtSUrCall\tk1abc\n");
    ASSERT_TRUE(waitUntil([this] { return text("txtCall") == "K1ABC"; }, 5000));
    EXPECT_TRUE(link->connected());
    EXPECT_EQ(link->session().rejectedLines(), 4u);
    EXPECT_EQ(box("txtBUrCall")->text(), "K1ABC");
}

TEST_F(DigitalLinkTest, APartnerThatGoesAwayIsReportedAndReconnectBringsItBack) {
    linked();
    rtty.peer->abort();
    ASSERT_TRUE(waitUntil([this] { return !link->connected(); }));
    EXPECT_TRUE(text("lblDialog").contains("link with Vemo RTTY was lost"))
        << text("lblDialog").toStdString();
    EXPECT_EQ(dialogColour(), QColor(255, 0, 0));

    // Nothing is sent while the link is down.
    QTest::keyClicks(child<QLineEdit>("txtCall"), "w");
    link->sendItem("txtBUrCall", "W");
    EXPECT_EQ(box("txtBUrCall")->text(), "");

    link->findChild<QPushButton*>("Command1")->click();
    ASSERT_TRUE(rtty.waitForPeer());
    EXPECT_TRUE(link->connected());
    EXPECT_EQ(rtty.lines(2), (QStringList{"txtBMyCall\tW1AW", "txtBField3\t001"}));
}

TEST_F(DigitalLinkTest, F12TogglesKeyboardRttyMode) {
    auto& w = linked();
    auto* call = child<QLineEdit>("txtCall");
    call->setFocus();
    QTest::keyClick(call, Qt::Key_F12);
    EXPECT_TRUE(w.keyboardRttyMode());
    EXPECT_TRUE(link->keyboardMode());
    EXPECT_EQ(text("lblDialog"), "Keyboard RTTY mode.  Press F12 to exit keyboard RTTY.");
    EXPECT_EQ(dialogColour(), QColor(255, 255, 192));
    QTest::keyClick(call, Qt::Key_F12);
    EXPECT_FALSE(w.keyboardRttyMode());
    EXPECT_FALSE(link->keyboardMode());
    EXPECT_EQ(text("lblDialog"), "");
    EXPECT_EQ(dialogColour(), QColor(0, 192, 192));
    EXPECT_EQ(rtty.lines(), (QStringList{"txtBField8\t123", "txtBField8\t", "txtBField8\t123"}));
}
