// Score posting against a scoreboard on this machine: a small HTTP/1.1 server
// that records what it was sent and answers as a test tells it (success, an
// error status, or nothing at all), and a port nobody listens on.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QXmlStreamReader>

#include <optional>

#include "output/score_report.h"
#include "platform/score_poster.h"

using namespace wexon;

namespace {

struct PostedRequest {
    QByteArray requestLine;
    QMap<QByteArray, QByteArray> headers; // names lower-cased
    QByteArray body;
};

// Answers each complete request with `status` (0: never answers).
class FakeScoreboard {
  public:
    int status = 200;
    QByteArray answer = "OK";
    std::vector<PostedRequest> requests;
    int connections = 0;

    FakeScoreboard() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                ++connections;
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { readFrom(s); });
            }
        });
    }
    QUrl url(const QString& path = "/postxml/") const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path));
    }

    QTcpServer server;

  private:
    void readFrom(QTcpSocket* s) {
        QByteArray& buffer = buffers[s];
        buffer += s->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            return;
        }
        PostedRequest r;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        r.requestLine = lines.value(0).trimmed();
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0) {
                r.headers[lines[i].left(colon).trimmed().toLower()] =
                    lines[i].mid(colon + 1).trimmed();
            }
        }
        const int length = r.headers.value("content-length").toInt();
        if (buffer.size() < end + 4 + length) {
            return;
        }
        r.body = buffer.mid(end + 4, length);
        buffer.clear();
        requests.push_back(r);
        if (status == 0) {
            return; // a slow scoreboard: says nothing
        }
        s->write("HTTP/1.1 " + QByteArray::number(status) +
                 " X\r\nContent-Type: text/plain\r\n"
                 "Content-Length: " +
                 QByteArray::number(answer.size()) + "\r\nConnection: close\r\n\r\n" + answer);
        s->disconnectFromHost();
    }
    std::map<QTcpSocket*, QByteArray> buffers;
};

std::optional<platform::ScorePoster::Result>
waitForPost(std::optional<platform::ScorePoster::Result>& result, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!result && t.elapsed() < ms) {
        QTest::qWait(5);
    }
    return result;
}

QByteArray scorePosterReport() {
    static const std::vector<core::QsoRecord> log = [] {
        core::QsoRecord a;
        a.call = "DL1AA";
        a.band = "20";
        a.points = 1;
        a.prefix = "DL1";
        core::QsoRecord b = a;
        b.call = "JA1ZZ";
        b.band = "15";
        b.points = 3;
        b.prefix = "JA1";
        return std::vector<core::QsoRecord>{a, b};
    }();
    output::ScoreReportInput in;
    in.myCall = "K1ABC";
    in.records = &log;
    in.totalPoints = 4;
    in.multipliers = 2;
    in.utc = {2026, 5, 30, 12, 0, 0};
    return QByteArray::fromStdString(output::scoreReportXml(in));
}

TEST(ScorePosterHttp, PostsTheReportWithBasicAuthentication) {
    FakeScoreboard board;
    platform::ScorePoster poster;
    std::optional<platform::ScorePoster::Result> result;
    ASSERT_TRUE(poster.post(board.url(), "k1abc", "s3cret:x", scorePosterReport(),
                            [&](const auto& r) { result = r; }));
    EXPECT_TRUE(poster.busy());
    ASSERT_TRUE(waitForPost(result));
    EXPECT_TRUE(result->ok);
    EXPECT_EQ(result->httpStatus, 200);
    EXPECT_FALSE(poster.busy());
    ASSERT_EQ(board.requests.size(), 1u);
    const PostedRequest& r = board.requests[0];
    EXPECT_EQ(r.requestLine, "POST /postxml/ HTTP/1.1");
    EXPECT_EQ(r.headers.value("authorization"), "Basic " + QByteArray("k1abc:s3cret:x").toBase64());
    EXPECT_TRUE(r.headers.value("content-type").startsWith("text/xml"));

    // The body is the report, well formed, with the known figures.
    QXmlStreamReader xml(r.body);
    QString score;
    QString total;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QStringLiteral("score")) {
            score = xml.readElementText();
        } else if (xml.isStartElement() && xml.name() == QStringLiteral("qso") &&
                   xml.attributes().value("band") == QStringLiteral("total")) {
            total = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(score, "8");
    EXPECT_EQ(total, "2");
}

TEST(ScorePosterHttp, OnePostInFlightAndOnlyWebAddresses) {
    FakeScoreboard board;
    board.status = 0;
    platform::ScorePoster poster;
    std::optional<platform::ScorePoster::Result> result;
    EXPECT_FALSE(
        poster.post(QUrl("ftp://127.0.0.1/x"), "", "", "x", [&](const auto& r) { result = r; }));
    EXPECT_FALSE(poster.post(QUrl("not a url"), "", "", "x", [&](const auto& r) { result = r; }));
    ASSERT_TRUE(poster.post(board.url(), "", "", "x", [&](const auto& r) { result = r; }));
    EXPECT_FALSE(poster.post(board.url(), "", "", "y", [&](const auto& r) { result = r; }));
    QTest::qWait(200);
    EXPECT_EQ(board.requests.size(), 1u);
    EXPECT_FALSE(board.requests[0].headers.contains("authorization"));
    poster.cancel();
    EXPECT_FALSE(poster.busy());
    QTest::qWait(50);
    EXPECT_FALSE(result); // a cancelled post reports nothing
}

TEST(ScorePosterHttp, ErrorStatusesAreFailuresWithTheirText) {
    FakeScoreboard board;
    board.status = 401;
    board.answer = "bad\r\npassword";
    platform::ScorePoster poster;
    std::optional<platform::ScorePoster::Result> result;
    ASSERT_TRUE(poster.post(board.url(), "a", "b", "x", [&](const auto& r) { result = r; }));
    ASSERT_TRUE(waitForPost(result));
    EXPECT_FALSE(result->ok);
    EXPECT_EQ(result->httpStatus, 401);
    EXPECT_EQ(result->text, "HTTP 401: bad password"); // one line

    board.status = 302; // a redirect is not followed with the credentials
    result.reset();
    ASSERT_TRUE(poster.post(board.url(), "a", "b", "x", [&](const auto& r) { result = r; }));
    ASSERT_TRUE(waitForPost(result));
    EXPECT_FALSE(result->ok);
    EXPECT_EQ(result->httpStatus, 302);
}

TEST(ScorePosterHttp, AScoreboardThatIsDownOrSilentFailsWithoutBlocking) {
    QUrl downUrl;
    {
        FakeScoreboard gone;
        downUrl = gone.url();
    }
    platform::ScorePoster poster;
    std::optional<platform::ScorePoster::Result> result;
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(poster.post(downUrl, "", "", "x", [&](const auto& r) { result = r; }));
    EXPECT_LT(t.elapsed(), 100); // the call returns at once
    ASSERT_TRUE(waitForPost(result));
    EXPECT_FALSE(result->ok);
    EXPECT_EQ(result->httpStatus, 0);
    EXPECT_FALSE(result->text.isEmpty());

    FakeScoreboard slow;
    slow.status = 0;
    poster.setTimeoutMs(300);
    result.reset();
    t.restart();
    ASSERT_TRUE(poster.post(slow.url(), "", "", "x", [&](const auto& r) { result = r; }));
    ASSERT_TRUE(waitForPost(result));
    EXPECT_FALSE(result->ok);
    EXPECT_EQ(result->text, "no answer (timed out)");
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_LT(t.elapsed(), 5000);
}

} // namespace
