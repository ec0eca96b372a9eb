#include <functional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHostAddress>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include "keying/cw_settings.h"
#include "keying/keying_fakes.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/keying/cw_strings_window.h"
#include "ui/keying/cw_window.h"

namespace wexon::ui {
namespace {

const QByteArray kEscape("\x1b");

bool spinUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return done();
}

// A stand-in for cwdaemon on the loopback: records every datagram and
// answers each echo request once the text after it arrives.
class EchoingCwdaemon {
  public:
    EchoingCwdaemon() {
        m_socket.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&m_socket, &QUdpSocket::readyRead, [this] { read(); });
    }
    int port() const { return m_socket.localPort(); }
    std::vector<QByteArray> received;
    bool answering = true;

    std::string texts() const {
        std::string out;
        for (const auto& d : received) {
            if (!d.startsWith(kEscape)) {
                out += d.toStdString();
            }
        }
        return out;
    }
    bool got(const QByteArray& command) const {
        for (const auto& d : received) {
            if (d == kEscape + command) {
                return true;
            }
        }
        return false;
    }

    // Sends the echo held back while not answering.
    void answerNow() {
        if (!m_reply.isEmpty()) {
            m_socket.writeDatagram(m_reply, m_from, m_fromPort);
            m_reply.clear();
        }
    }

  private:
    void read() {
        while (m_socket.hasPendingDatagrams()) {
            QByteArray data(static_cast<int>(m_socket.pendingDatagramSize()), '\0');
            QHostAddress from;
            quint16 fromPort = 0;
            m_socket.readDatagram(data.data(), data.size(), &from, &fromPort);
            received.push_back(data);
            if (data.startsWith(kEscape + "h")) {
                m_reply = "h" + data.mid(2) + "\r\n";
                m_from = from;
                m_fromPort = fromPort;
            } else if (!data.startsWith(kEscape) && !m_reply.isEmpty() && answering) {
                m_socket.writeDatagram(m_reply, m_from, m_fromPort);
                m_reply.clear();
            }
        }
    }
    QUdpSocket m_socket;
    QByteArray m_reply;
    QHostAddress m_from;
    quint16 m_fromPort = 0;
};

struct CwdaemonWindowRig {
    test::TempDir dir;
    test::FakeCwHost host;
    core::MemorySettingsStore settings;
    test::FakeClock clock;
    test::FakePrompts prompts;
    EchoingCwdaemon daemon;
    std::unique_ptr<CwWindow> window;

    // A CW window loaded from a "cw.txt" that chose cwdaemon on `port`.
    explicit CwdaemonWindowRig(int port = -1) {
        keying::CwSettings s;
        s.messages[0] = "CQ";
        s.messages[8] = "TEST";
        s.speedText = "60";
        s.interface = keying::kInterfaceCwdaemon;
        s.cwdaemonPortText = std::to_string(port < 0 ? daemon.port() : port);
        dir.write("cw.txt", keying::writeCwSettings(s));
        CwWindowServices services;
        services.workingFolder = dir.path();
        services.programDataFolder = dir.path();
        services.runModal = [](QDialog&) { return 0; };
        window = std::make_unique<CwWindow>(host, settings, clock, prompts, services);
        window->loadCwSettings();
    }
    template <typename T> T* find(const char* name) { return window->findChild<T*>(name); }
    bool idle(int ms = 3000) {
        return spinUntil([this] { return !window->isSending(); }, ms);
    }
};

TEST(CwdaemonWindow, ChoosingCwdaemonShowsItsSettingsAndSetsItUp) {
    CwdaemonWindowRig rig;
    EXPECT_TRUE(rig.find<QRadioButton>("Option6")->isChecked());
    EXPECT_EQ(rig.window->cwInterface(), 6);
    EXPECT_TRUE(rig.find<QGroupBox>("fraCwdaemon")->isVisibleTo(rig.window.get()));
    EXPECT_EQ(rig.find<QLineEdit>("txtCwdaemonHost")->text(), "127.0.0.1");
    ASSERT_TRUE(spinUntil([&] { return rig.daemon.got("0"); }, 2000));
    EXPECT_TRUE(rig.daemon.got("70"));
    EXPECT_TRUE(rig.daemon.got("3800"));

    rig.find<QRadioButton>("Option4")->click();
    EXPECT_FALSE(rig.find<QGroupBox>("fraCwdaemon")->isVisibleTo(rig.window.get()));
    // Settings changed and saved while another keyer is chosen reach no one
    // and trouble no one.
    rig.find<QLineEdit>("txtCwdaemonTone")->setText("700");
    rig.window->command1Click();
    spinUntil([] { return false; }, 100);
    EXPECT_TRUE(rig.host.dialog.empty());
    EXPECT_FALSE(rig.daemon.got("3700"));
}

TEST(CwdaemonWindow, FunctionKeysAndTheTestButtonSendThroughIt) {
    CwdaemonWindowRig rig;
    rig.window->fKeyCw(112);
    EXPECT_TRUE(rig.window->isSending());
    ASSERT_TRUE(rig.idle());
    EXPECT_EQ(rig.daemon.texts(), "CQ");
    EXPECT_TRUE(rig.daemon.got("260"));

    rig.window->command4Click();
    ASSERT_TRUE(rig.idle());
    EXPECT_EQ(rig.daemon.texts(), "CQTEST");
    EXPECT_TRUE(rig.prompts.shown.empty());
}

TEST(CwdaemonWindow, EscFromTheMainWindowStopsAfterTheCharacterOnAir) {
    CwdaemonWindowRig rig;
    rig.window->keyer().setMessage(1, "PARIS PARIS PARIS");
    rig.daemon.answering = false;
    rig.window->fKeyCw(113);
    ASSERT_TRUE(spinUntil([&] { return rig.daemon.texts() == "P"; }, 2000));
    rig.window->clearCwBuffer();
    // Still sending: "P" is on air until cwdaemon says it is keyed.
    EXPECT_TRUE(rig.window->isSending());
    rig.daemon.answerNow();
    ASSERT_TRUE(rig.idle(2000));
    EXPECT_EQ(rig.daemon.texts(), "P");
    EXPECT_FALSE(rig.daemon.got("4"));
}

TEST(CwdaemonWindow, DoneSavesTheCwdaemonSettingsWithTheOthers) {
    CwdaemonWindowRig rig;
    rig.find<QLineEdit>("txtCwdaemonTone")->setText("600");
    rig.find<QLineEdit>("txtCwdaemonPttLead")->setText("120");
    rig.window->command1Click();
    keying::CwSettings read;
    EXPECT_EQ(keying::readCwSettings(rig.dir.read("cw.txt"), read), 23);
    EXPECT_EQ(read.interface, 6);
    EXPECT_EQ(read.cwdaemonPortText, std::to_string(rig.daemon.port()));
    EXPECT_EQ(read.cwdaemonToneText, "600");
    EXPECT_EQ(read.cwdaemonPttLeadText, "120");
}

// "Done" shows the CW Strings window, which is not a child of the CW window
// but uses its keyer: it must not outlive it.
TEST(CwdaemonWindow, TheStringsWindowGoesWithTheCwWindow) {
    CwdaemonWindowRig rig;
    rig.window->command1Click();
    QPointer<QWidget> strings = rig.window->stringsWindow();
    ASSERT_TRUE(strings);
    EXPECT_TRUE(strings->isVisible());
    rig.window.reset();
    EXPECT_TRUE(strings.isNull());
}

TEST(CwdaemonWindow, TuneKeysDownAndASecondPressStopsIt) {
    CwdaemonWindowRig rig;
    rig.daemon.answering = false;
    rig.find<QPushButton>("cmdCwdaemonTune")->click();
    ASSERT_TRUE(spinUntil([&] { return rig.daemon.got("c10"); }, 2000));
    EXPECT_TRUE(rig.window->isSending());
    rig.find<QPushButton>("cmdCwdaemonTune")->click();
    EXPECT_FALSE(rig.window->isSending());
    EXPECT_TRUE(spinUntil([&] { return rig.daemon.got("4"); }, 2000));
}

TEST(CwdaemonWindow, ACwdaemonThatIsNotThereIsToldOnTheMessageLine) {
    int port = 0;
    {
        QUdpSocket probe;
        probe.bind(QHostAddress::LocalHost, 0);
        port = probe.localPort();
    }
    CwdaemonWindowRig rig(port);
    rig.window->fKeyCw(112);
    ASSERT_TRUE(rig.idle(2000));
    spinUntil([&] { return !rig.host.dialog.empty(); }, 1000);
    ASSERT_FALSE(rig.host.dialog.empty());
    EXPECT_NE(rig.host.dialog.back().find("is it running?"), std::string::npos);
    EXPECT_TRUE(rig.prompts.shown.empty());
}

} // namespace
} // namespace wexon::ui
