// The AGW client against a fake engine in the test: connecting and registering
// never hold the window up, and an engine that goes away is reported.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QListWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "platform/agw_client.h"
#include "spots/agw_frame.h"
#include "spots/fake_spot_host.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "agw_spotting_window.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/spotting_window.h"

namespace wexon {
namespace {

using spots::AgwLinkEvent;

bool waitUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QTest::qWait(5);
    }
    return done();
}

// An engine that takes one client and answers its registration as told.
class FakeEngine {
  public:
    enum class Answer { Take, Refuse, Never };
    Answer answer = Answer::Take;
    QTcpServer server;
    QTcpSocket* client = nullptr;
    std::vector<char> kinds; // the frames the client sent

    FakeEngine() {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            client = server.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead, [this] { read(); });
        });
    }
    quint16 port() const { return server.serverPort(); }
    void read() {
        m_decoder.feed(client->readAll().toStdString());
        while (auto f = m_decoder.take()) {
            kinds.push_back(f->kind);
            if (f->kind == 'X' && answer != Answer::Never) {
                spots::AgwFrame reply;
                reply.kind = 'X';
                reply.callFrom = f->callFrom;
                reply.data = std::string(1, answer == Answer::Take ? '\x01' : '\x00');
                client->write(QByteArray::fromStdString(spots::encodeAgwFrame(reply)));
            }
        }
    }
    void monitor(const std::string& text) {
        spots::AgwFrame f;
        f.kind = 'U';
        f.callFrom = "W1XX";
        f.callTo = "DX";
        f.data = text + std::string(1, '\0');
        client->write(QByteArray::fromStdString(spots::encodeAgwFrame(f)));
    }
    void die() {
        client->abort();
        server.close();
    }

  private:
    spots::AgwFrameDecoder m_decoder;
};

AgwLinkEvent nextEvent(platform::AgwClient& client, std::string& why, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        const AgwLinkEvent e = client.takeLinkEvent(why);
        if (e != AgwLinkEvent::None) {
            return e;
        }
        QTest::qWait(5);
    }
    return AgwLinkEvent::None;
}

} // namespace

TEST(AgwClientTest, StartingReturnsAtOnceAndTheRegistrationIsToldLater) {
    FakeEngine engine;
    platform::AgwClient client("127.0.0.1", engine.port());
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(client.startPoll("K1ABC", "Wexon"));
    EXPECT_LT(t.elapsed(), 100);
    EXPECT_TRUE(client.connecting());
    EXPECT_FALSE(client.isOpen());
    std::string why;
    ASSERT_EQ(nextEvent(client, why), AgwLinkEvent::Up);
    EXPECT_TRUE(client.isOpen());
    EXPECT_FALSE(client.connecting());
    EXPECT_TRUE(waitUntil([&] { return engine.kinds.size() >= 3; }));
    EXPECT_EQ(engine.kinds, (std::vector<char>{'X', 'm', 'k'}));
    engine.monitor("hello");
    spots::AgwReceived frame;
    bool got = false;
    ASSERT_TRUE(waitUntil([&] { return got = got || client.getData(frame); }));
    EXPECT_EQ(frame.data, "hello");
    EXPECT_EQ(client.takeLinkEvent(why), AgwLinkEvent::None); // told once
}

TEST(AgwClientTest, NoEngineARefusedCallOrNoAnswerFail) {
    std::string why;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        const quint16 freePort = probe.serverPort();
        probe.close();
        platform::AgwClient nobody("127.0.0.1", freePort);
        ASSERT_TRUE(nobody.startPoll("K1ABC", "Wexon"));
        EXPECT_EQ(nextEvent(nobody, why), AgwLinkEvent::Failed);
        EXPECT_FALSE(why.empty());
        EXPECT_FALSE(nobody.isOpen());
    }
    {
        FakeEngine engine;
        engine.answer = FakeEngine::Answer::Refuse;
        platform::AgwClient client("127.0.0.1", engine.port());
        ASSERT_TRUE(client.startPoll("K1ABC", "Wexon"));
        EXPECT_EQ(nextEvent(client, why), AgwLinkEvent::Failed);
        EXPECT_NE(why.find("refused the call K1ABC"), std::string::npos) << why;
    }
    {
        FakeEngine engine;
        engine.answer = FakeEngine::Answer::Never;
        platform::AgwClient client("127.0.0.1", engine.port(), 300);
        int ticks = 0;
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
        heartbeat.start(10);
        ASSERT_TRUE(client.startPoll("K1ABC", "Wexon"));
        EXPECT_EQ(nextEvent(client, why), AgwLinkEvent::Failed);
        EXPECT_NE(why.find("did not answer"), std::string::npos) << why;
        EXPECT_GT(ticks, 15); // the event loop ran all the while
    }
    platform::AgwClient noCall("127.0.0.1", 1);
    EXPECT_FALSE(noCall.startPoll("", "Wexon"));
}

TEST(AgwClientTest, AnEngineThatDiesIsReportedLost) {
    FakeEngine engine;
    platform::AgwClient client("127.0.0.1", engine.port());
    ASSERT_TRUE(client.startPoll("K1ABC", "Wexon"));
    std::string why;
    ASSERT_EQ(nextEvent(client, why), AgwLinkEvent::Up);
    engine.die();
    EXPECT_EQ(nextEvent(client, why), AgwLinkEvent::Lost);
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(client.isOpen());
    spots::AgwReceived frame;
    EXPECT_FALSE(client.getData(frame));
    client.close();
    EXPECT_EQ(client.takeLinkEvent(why), AgwLinkEvent::None);
}

// Through the spotting window: it says it is connected only once the engine
// took the call, and an engine that goes stops the listening with a message.
TEST(AgwClientTest, TheSpottingWindowShowsTheEnginesLoss) {
    FakeEngine engine;
    test::AgwSpottingWindow station(engine.port());
    station.open();
    ui::SpottingWindow* window = station.window;
    ASSERT_TRUE(window->timerRunning()) << window->terminal();
    const std::string connected = "** Successfully connected to AGW Packet Engine **";
    ASSERT_TRUE(waitUntil([&] { return window->terminal().find(connected) != std::string::npos; }))
        << window->terminal();
    EXPECT_TRUE(window->listening());

    engine.die();
    ASSERT_TRUE(waitUntil([&] { return !window->listening(); })) << window->terminal();
    EXPECT_NE(window->terminal().find("** Lost the AGW Packet Engine: "), std::string::npos)
        << window->terminal();
    EXPECT_FALSE(window->timerRunning());
}

} // namespace wexon
