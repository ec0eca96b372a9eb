// The link window speaking to a real fldigi (started once for the suite on a
// private X display): connecting, the function-key messages transmitted and
// the return to receive, fldigi's receive text in the window with a click on
// a word taking it into the call box, the entry boxes in fldigi's log fields,
// and the rig frequency read from fldigi.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextDocument>

#include "core/preferences.h"
#include "link/fldigi_rules.h"
#include "platform/fldigi_process.h"
#include "support/main_window_fixture.h"
#include "ui/link/digital_link_window.h"

using namespace wexon;
using wexon::link::XmlRpcValue;
using wexon::test::FldigiProcess;
using wexon::test::MainWindowTest;

namespace {

bool waitForFldigi(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QTest::qWait(20);
    }
    return done();
}

class FldigiLinkTest : public MainWindowTest {
  protected:
    static void SetUpTestSuite() {
        s_fldigi = new FldigiProcess();
        QString reason;
        if (!s_fldigi->start(reason)) {
            s_skipReason = reason.toStdString();
        }
    }
    static void TearDownTestSuite() {
        delete s_fldigi;
        s_fldigi = nullptr;
    }

    void SetUp() override {
        MainWindowTest::SetUp();
        if (!s_skipReason.empty()) {
            GTEST_SKIP() << "fldigi cannot run here: " << s_skipReason;
        }
        fldigi.setServer(QStringLiteral("127.0.0.1"), s_fldigi->port());
        call("main.abort");
        call("text.clear_tx");
        call("main.rx");
        call("log.clear");
        call("modem.set_by_name", {XmlRpcValue::string("RTTY")});
        settings.write(ui::kUserVemoOptionKey, "1");
        settings.write(link::kDigitalProgramKey, "fldigi");
        settings.write(link::kFldigiPortKey, std::to_string(s_fldigi->port()));
    }
    void TearDown() override { linkWindow.reset(); }

    link::XmlRpcResponse call(const std::string& method,
                              const std::vector<XmlRpcValue>& params = {}) {
        return FldigiProcess::callAndWait(fldigi, method, params);
    }
    std::string text(const std::string& method) { return call(method).value.textOrBytes(); }

    // A main window in RTTY with the link window plugged in and linked to fldigi.
    ui::MainWindow& linked() {
        prefs.contestMode = "RY";
        dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
        auto& w = make();
        linkWindow = std::make_unique<ui::DigitalLinkWindow>(w, settings, prompts);
        w.formLoad();
        w.show();
        EXPECT_TRUE(waitForFldigi([&] { return linkWindow->connected(); }, 5000))
            << linkWindow->fldigiLink().statusText().toStdString();
        return w;
    }
    QPlainTextEdit* receiveView() {
        return linkWindow->findChild<QPlainTextEdit*>(QStringLiteral("txtFldigiRx"));
    }

    static FldigiProcess* s_fldigi;
    static std::string s_skipReason;
    platform::XmlRpcClient fldigi; // the test's own view of fldigi
    std::unique_ptr<ui::DigitalLinkWindow> linkWindow;
};

FldigiProcess* FldigiLinkTest::s_fldigi = nullptr;
std::string FldigiLinkTest::s_skipReason;

} // namespace

TEST_F(FldigiLinkTest, ConnectsWhenTheSetupIsAcceptedAndShowsTheVersion) {
    linked();
    EXPECT_TRUE(linkWindow->isVisible());
    EXPECT_TRUE(linkWindow->fldigiLink().statusText().contains(
        QString::fromStdString(s_fldigi->version())));
    EXPECT_FALSE(prompts.wasShown(QStringLiteral("Unable to find fldigi.")));
}

TEST_F(FldigiLinkTest, FunctionKeyMessageIsTransmittedAndReachesTheReceiveText) {
    auto& w = linked();
    QTest::keyClicks(child<QLineEdit>("txtCall"), "k1xx");
    text("tx.get_data");
    QTest::keyClick(child<QLineEdit>("txtCall"), Qt::Key_F2); // "$ * # #"
    // fldigi goes to transmit, sends the message, and comes back to receive.
    EXPECT_TRUE(waitForFldigi([&] { return text("main.get_trx_state") == "TX"; }, 3000));
    std::string sent;
    EXPECT_TRUE(waitForFldigi(
        [&] {
            sent += text("tx.get_data");
            return sent.find("K1XX 599 001 001") != std::string::npos;
        },
        15000))
        << sent;
    EXPECT_TRUE(waitForFldigi([&] { return text("main.get_trx_state") == "RX"; }, 5000));
    EXPECT_TRUE(waitForFldigi(
        [&] { return linkWindow->fldigiLink().trxState() == link::TrxState::Receive; }, 3000));

    // fldigi's receive pane, where what it sends shows too, reaches the window.
    EXPECT_TRUE(waitForFldigi(
        [&] { return linkWindow->fldigiLink().receivedText().contains("K1XX 599"); }, 3000))
        << linkWindow->fldigiLink().receivedText().toStdString();

    // A click on a word puts it into the call box.
    child<QLineEdit>("txtCall")->clear();
    QTextCursor found = receiveView()->document()->find(QStringLiteral("K1XX"));
    ASSERT_FALSE(found.isNull());
    found.setPosition(found.selectionStart() + 1);
    const QPoint at = receiveView()->cursorRect(found).center();
    QTest::mouseClick(receiveView()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(child<QLineEdit>("txtCall")->text(), "K1XX");
    (void)w;
}

TEST_F(FldigiLinkTest, EntryBoxesReachFldigisLogFields) {
    linked();
    QTest::keyClicks(child<QLineEdit>("txtCall"), "dl1abc");
    EXPECT_TRUE(waitForFldigi([&] { return text("log.get_call") == "DL1ABC"; }, 3000))
        << text("log.get_call");
    QTest::keyClicks(child<QLineEdit>("txtSec"), "42");
    ASSERT_EQ(child<QLineEdit>("txtSec")->text(), "42");
    EXPECT_TRUE(waitForFldigi([&] { return text("log.get_serial_number") == "42"; }, 3000));
    EXPECT_EQ(text("log.get_exchange"), "42");
}

TEST_F(FldigiLinkTest, RigFrequencyIsTakenFromFldigiWhenTheRigIsShared) {
    settings.write(link::kFldigiRigSharedKey, "1");
    call("rig.set_frequency", {XmlRpcValue::number(7040000.0)});
    auto& w = linked();
    EXPECT_TRUE(linkWindow->rigSharedThroughFldigi());
    EXPECT_TRUE(waitForFldigi([&] { return w.contest().prefs.band == "40"; }, 3000))
        << w.contest().prefs.band;
    call("rig.set_frequency", {XmlRpcValue::number(14070000.0)});
    EXPECT_TRUE(waitForFldigi([&] { return w.contest().prefs.band == "20"; }, 3000));
}

TEST_F(FldigiLinkTest, NoFldigiAtTheAddressSaysSoAndLeavesTheLinkDown) {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const int port = closed.serverPort();
    closed.close();
    settings.write(link::kFldigiPortKey, std::to_string(port));
    prefs.contestMode = "RY";
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
    auto& w = make();
    linkWindow = std::make_unique<ui::DigitalLinkWindow>(w, settings, prompts);
    w.formLoad();
    EXPECT_TRUE(waitForFldigi(
        [&] { return prompts.wasShown(QStringLiteral("Unable to find fldigi.")); }, 5000));
    EXPECT_FALSE(linkWindow->connected());
    EXPECT_TRUE(linkWindow->fldigiLink().statusText().startsWith("Not connected: "));
}

TEST_F(FldigiLinkTest, KeyboardRttySendsWhatIsTypedAndF12EndsTheTransmission) {
    linked();
    text("tx.get_data");
    QLineEdit* call = child<QLineEdit>("txtCall");
    QTest::keyClick(call, Qt::Key_F12);
    EXPECT_TRUE(linkWindow->keyboardMode());
    EXPECT_TRUE(waitForFldigi([&] { return text("main.get_trx_state") == "TX"; }, 3000));
    QTest::keyClicks(call, "qrz");
    std::string sent;
    EXPECT_TRUE(waitForFldigi(
        [&] {
            sent += text("tx.get_data");
            return sent.find("QRZ") != std::string::npos;
        },
        10000))
        << sent;
    QTest::keyClick(call, Qt::Key_F12);
    EXPECT_FALSE(linkWindow->keyboardMode());
    EXPECT_TRUE(waitForFldigi([&] { return text("main.get_trx_state") == "RX"; }, 8000));
}

namespace {

// Stands in for fldigi: answers every request with the same short value.
class AnsweringServer {
  public:
    AnsweringServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [s] {
                    s->readAll();
                    s->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n\r\n"
                        "<methodResponse><params><param><value>4.1.23</value></param>"
                        "</params></methodResponse>");
                    s->disconnectFromHost();
                });
            }
        });
    }
    int port() const { return m_server.serverPort(); }
    void close() { m_server.close(); }

  private:
    QTcpServer m_server;
};

} // namespace

TEST_F(FldigiLinkTest, AFldigiThatStopsAnsweringIsReportedLostOnTheMessageLine) {
    AnsweringServer standIn;
    settings.write(link::kFldigiPortKey, std::to_string(standIn.port()));
    linked();
    standIn.close();
    EXPECT_TRUE(waitForFldigi([&] { return !linkWindow->connected(); }, 8000));
    EXPECT_TRUE(child<QLabel>("lblDialog")->text().contains("The link with fldigi was lost"))
        << child<QLabel>("lblDialog")->text().toStdString();
    // Function keys no longer go anywhere, and nothing breaks.
    QTest::keyClick(child<QLineEdit>("txtCall"), Qt::Key_F1);
}

namespace {

// Needs no fldigi: what is chosen on the window, kept in the settings store.
class FldigiSettingsPanelTest : public MainWindowTest {};

} // namespace

TEST_F(FldigiSettingsPanelTest, ChoicesOnTheWindowAreSavedAndBadHostsRefused) {
    auto& w = make();
    ui::DigitalLinkWindow linkWindow(w, settings, prompts);
    auto* program = linkWindow.findChild<QComboBox*>(QStringLiteral("cboLinkProgram"));
    ASSERT_NE(program, nullptr);
    EXPECT_FALSE(linkWindow.fldigiChosen());
    program->setCurrentIndex(1);
    EXPECT_TRUE(linkWindow.fldigiChosen());
    EXPECT_EQ(settings.read(link::kDigitalProgramKey, ""), "fldigi");

    auto* host = linkWindow.findChild<QLineEdit*>(QStringLiteral("txtFldigiHost"));
    host->setText(QStringLiteral("evil host/x"));
    emit host->editingFinished();
    EXPECT_EQ(host->text(), "127.0.0.1");
    host->setText(QStringLiteral("shack.local"));
    emit host->editingFinished();
    EXPECT_EQ(settings.read(link::kFldigiHostKey, ""), "shack.local");
    linkWindow.findChild<QSpinBox*>(QStringLiteral("txtFldigiPort"))->setValue(7400);
    EXPECT_EQ(settings.read(link::kFldigiPortKey, ""), "7400");
    linkWindow.findChild<QCheckBox*>(QStringLiteral("chkFldigiRig"))->setChecked(true);
    EXPECT_TRUE(linkWindow.rigSharedThroughFldigi());
    EXPECT_EQ(settings.read(link::kFldigiRigSharedKey, ""), "1");

    // Back to the local socket: the rig is no longer fldigi's.
    program->setCurrentIndex(0);
    EXPECT_FALSE(linkWindow.rigSharedThroughFldigi());
    EXPECT_EQ(settings.read(link::kDigitalProgramKey, ""), "Vemo");
}

TEST_F(FldigiSettingsPanelTest, MessagesAreEditedPerFunctionKey) {
    auto& w = make();
    ui::DigitalLinkWindow linkWindow(w, settings, prompts);
    auto* key = linkWindow.findChild<QComboBox*>(QStringLiteral("cboFldigiKey"));
    auto* message = linkWindow.findChild<QLineEdit*>(QStringLiteral("txtFldigiMessage"));
    ASSERT_NE(key, nullptr);
    ASSERT_NE(message, nullptr);
    key->setCurrentIndex(2);
    EXPECT_EQ(message->text(), "TU % TEST");
    message->setText(QStringLiteral("TU % QRZ?"));
    emit message->editingFinished();
    EXPECT_EQ(settings.read("FldigiMessage3", ""), "TU % QRZ?");
    key->setCurrentIndex(0);
    EXPECT_EQ(message->text(), "CQ WPX % % TEST");
    // Read back by a fresh window.
    ui::DigitalLinkWindow again(w, settings, prompts);
    auto* keyAgain = again.findChild<QComboBox*>(QStringLiteral("cboFldigiKey"));
    keyAgain->setCurrentIndex(2);
    EXPECT_EQ(again.findChild<QLineEdit*>(QStringLiteral("txtFldigiMessage"))->text(), "TU % QRZ?");
}
