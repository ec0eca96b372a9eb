// The XML-RPC client against a real fldigi (started once for the suite, on a
// private X display): the calls the fldigi link makes, answered by fldigi
// itself. And the client's own promises against a fake server that misbehaves.
#include <gtest/gtest.h>

#include <memory>

#include <QTcpServer>
#include <QTcpSocket>

#include "platform/fldigi_process.h"
#include "platform/xmlrpc_client.h"

using namespace wexon;
using wexon::link::XmlRpcResponse;
using wexon::link::XmlRpcValue;
using wexon::test::FldigiProcess;

namespace {

class FldigiXmlRpcTest : public ::testing::Test {
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
        if (!s_skipReason.empty()) {
            GTEST_SKIP() << "fldigi cannot run here: " << s_skipReason;
        }
        ASSERT_TRUE(s_fldigi->running());
        client.setServer(QStringLiteral("127.0.0.1"), s_fldigi->port());
        // Every test starts in receive with empty buffers.
        call("main.abort");
        call("text.clear_tx");
        call("main.rx");
    }

    XmlRpcResponse call(const std::string& method, const std::vector<XmlRpcValue>& params = {}) {
        return FldigiProcess::callAndWait(client, method, params);
    }
    std::string text(const std::string& method) { return call(method).value.textOrBytes(); }

    // Waits until `check` holds, asking fldigi every 100 ms.
    bool waitFor(const std::function<bool()>& check, int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (check()) {
                return true;
            }
            QTest::qWait(100);
        }
        return check();
    }

    static FldigiProcess* s_fldigi;
    static std::string s_skipReason;
    platform::XmlRpcClient client;
};

FldigiProcess* FldigiXmlRpcTest::s_fldigi = nullptr;
std::string FldigiXmlRpcTest::s_skipReason;

} // namespace

TEST_F(FldigiXmlRpcTest, VersionCallAnswers) {
    const XmlRpcResponse r = call("fldigi.version");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.value.kind, XmlRpcValue::Kind::String);
    EXPECT_FALSE(r.value.text.empty());
    EXPECT_TRUE(r.value.text[0] >= '0' && r.value.text[0] <= '9') << r.value.text;
}

TEST_F(FldigiXmlRpcTest, UnknownMethodIsAFaultNotAFailure) {
    const XmlRpcResponse r = call("wexon.no_such_method");
    ASSERT_EQ(r.outcome, XmlRpcResponse::Outcome::Fault);
    EXPECT_NE(r.faultString.find("unknown method"), std::string::npos);
}

TEST_F(FldigiXmlRpcTest, LogFieldsTakeWhatIsSent) {
    ASSERT_TRUE(call("log.set_call", {XmlRpcValue::string("DL1ABC")}).ok());
    EXPECT_EQ(text("log.get_call"), "DL1ABC");
    ASSERT_TRUE(call("log.set_serial_number", {XmlRpcValue::string("0042")}).ok());
    EXPECT_EQ(text("log.get_serial_number"), "0042");
    ASSERT_TRUE(call("log.set_exchange", {XmlRpcValue::string("599 0042")}).ok());
    EXPECT_EQ(text("log.get_exchange"), "599 0042");
    ASSERT_TRUE(call("log.set_rst_out", {XmlRpcValue::string("599")}).ok());
    EXPECT_EQ(text("log.get_rst_out"), "599");
    call("log.clear");
    EXPECT_EQ(text("log.get_call"), "");
}

TEST_F(FldigiXmlRpcTest, TextSentIsTransmittedAndFldigiReturnsToReceive) {
    // PSK31 carries every ASCII character (RTTY's alphabet has no "<" or ">"),
    // so what the escapes stood for can be seen on the air.
    call("modem.set_by_name", {XmlRpcValue::string("BPSK31")});
    text("tx.get_data"); // empties what an earlier transmission left
    const long long paneBefore = call("text.get_rx_length").value.integer;
    ASSERT_TRUE(call("text.add_tx", {XmlRpcValue::string("\nDE W1AW <&> ^r")}).ok());
    ASSERT_TRUE(call("main.tx").ok());
    // Transmitting...
    EXPECT_TRUE(waitFor([&] { return text("main.get_trx_state") == "TX"; }, 3000));
    // ...what was put in the transmit buffer, escapes and all...
    std::string sent;
    EXPECT_TRUE(waitFor(
        [&] {
            sent += text("tx.get_data");
            return sent.find("DE W1AW <&>") != std::string::npos;
        },
        10000))
        << sent;
    // ...and back to receive at the "^r".
    EXPECT_TRUE(waitFor([&] { return text("main.get_trx_state") == "RX"; }, 5000));
    // The receive pane shows what went out, as fldigi shows it.
    const long long paneAfter = call("text.get_rx_length").value.integer;
    ASSERT_GT(paneAfter, paneBefore);
    const XmlRpcResponse pane = call(
        "text.get_rx", {XmlRpcValue::int32(static_cast<std::int32_t>(paneBefore)),
                        XmlRpcValue::int32(static_cast<std::int32_t>(paneAfter - paneBefore))});
    ASSERT_EQ(pane.value.kind, XmlRpcValue::Kind::Base64);
    EXPECT_NE(pane.value.text.find("DE W1AW"), std::string::npos) << pane.value.text;
}

TEST_F(FldigiXmlRpcTest, RigFrequencyAndModeAreRead) {
    const XmlRpcResponse f = call("rig.get_frequency");
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(f.value.kind, XmlRpcValue::Kind::Double);
    EXPECT_GT(f.value.real, 0.0);
    EXPECT_TRUE(call("rig.get_mode").ok());
    EXPECT_FALSE(text("modem.get_name").empty());
}

// ---------------------------------------------------------------- misbehaving servers

namespace {

// A server that answers each request with what the test says, or not at all.
class FakeHttpServer {
  public:
    explicit FakeHttpServer(QByteArray answer) : m_answer(std::move(answer)) {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                ++connections;
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    s->readAll();
                    if (!m_answer.isEmpty()) {
                        s->write(m_answer);
                        s->disconnectFromHost();
                    }
                });
            }
        });
    }
    int port() const { return m_server.serverPort(); }
    int connections = 0;

  private:
    QTcpServer m_server;
    QByteArray m_answer;
};

} // namespace

TEST(XmlRpcClient, ASilentServerTimesOutAndTheNextCallStillGoes) {
    FakeHttpServer silent{QByteArray()};
    platform::XmlRpcClient client;
    client.setServer(QStringLiteral("127.0.0.1"), silent.port());
    client.setTimeoutMs(300);
    auto first = FldigiProcess::callAndWait(client, "fldigi.version", {}, 3000);
    EXPECT_EQ(first.outcome, XmlRpcResponse::Outcome::Malformed);
    EXPECT_NE(first.error.find("no answer"), std::string::npos) << first.error;
    auto second = FldigiProcess::callAndWait(client, "fldigi.version", {}, 3000);
    EXPECT_FALSE(second.ok());
    EXPECT_FALSE(client.busy());
}

TEST(XmlRpcClient, ARefusedConnectionIsReportedWithTheNetworksReason) {
    int port = 0;
    {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost, 0);
        port = closed.serverPort();
    }
    platform::XmlRpcClient client;
    client.setServer(QStringLiteral("127.0.0.1"), port);
    const auto r = FldigiProcess::callAndWait(client, "fldigi.version", {}, 5000);
    EXPECT_EQ(r.outcome, XmlRpcResponse::Outcome::Malformed);
    EXPECT_FALSE(r.error.empty());
}

TEST(XmlRpcClient, AnEndlessAnswerIsCutOffAtTheBound) {
    QByteArray huge = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n<methodResponse>";
    huge += QByteArray(static_cast<qsizetype>(link::kMaxXmlRpcResponseBytes) + 1000, ' ');
    FakeHttpServer flood{huge};
    platform::XmlRpcClient client;
    client.setServer(QStringLiteral("127.0.0.1"), flood.port());
    const auto r = FldigiProcess::callAndWait(client, "fldigi.version", {}, 10000);
    EXPECT_EQ(r.outcome, XmlRpcResponse::Outcome::Malformed);
    EXPECT_NE(r.error.find("too long"), std::string::npos) << r.error;
}

TEST(XmlRpcClient, CallsAreAnsweredInOrderOneAtATimeAndTheQueueIsBounded) {
    FakeHttpServer ok{"HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n\r\n"
                      "<methodResponse><params><param><value>x</value></param></params>"
                      "</methodResponse>"};
    platform::XmlRpcClient client;
    client.setServer(QStringLiteral("127.0.0.1"), ok.port());
    std::vector<int> order;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(client.call("m", {}, [&order, i](const XmlRpcResponse& r) {
            EXPECT_TRUE(r.ok()) << r.error;
            order.push_back(i);
        }));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return order.size() == 5; }, 5000));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));

    platform::XmlRpcClient full;
    full.setServer(QStringLiteral("127.0.0.1"), ok.port());
    for (std::size_t i = 0; i < platform::XmlRpcClient::kMaxQueued; ++i) {
        ASSERT_TRUE(full.call("m", {}));
    }
    EXPECT_FALSE(full.call("m", {}));
    full.cancelAll();
    EXPECT_EQ(full.queued(), 0U);
}
