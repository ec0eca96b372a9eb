// The local-socket client of the RTTY program link, against a local server.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTest>

#include "platform/local_link.h"
#include "support/temp_dir.h"

using wexon::platform::LocalLink;

namespace {

bool waitUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QTest::qWait(5);
    }
    return done();
}

class LocalLinkTest : public ::testing::Test {
  protected:
    wexon::test::TempDir dir;
    QString path = QString::fromStdString(dir.file("link"));
    QLocalServer server;
    LocalLink link;
    QByteArray got;
    int closed = 0;

    void SetUp() override {
        link.onChunk = [this](const QByteArray& chunk) { got += chunk; };
        link.onClosed = [this] { ++closed; };
    }
    QLocalSocket* connectPeer() {
        EXPECT_TRUE(server.listen(path));
        QString error;
        EXPECT_TRUE(link.open(path, 1000, error)) << error.toStdString();
        EXPECT_TRUE(waitUntil([this] { return server.hasPendingConnections(); }));
        return server.nextPendingConnection();
    }
};

} // namespace

TEST_F(LocalLinkTest, NoServerGivesTheSocketsErrorText) {
    QString error;
    EXPECT_FALSE(link.open(path, 200, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write("x\n"));
    EXPECT_EQ(closed, 0);
}

TEST_F(LocalLinkTest, BytesTravelBothWays) {
    QLocalSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(link.write("txtBMyCall\tW1AW\n"));
    link.flush();
    QByteArray atPeer;
    EXPECT_TRUE(waitUntil([&] {
        atPeer += peer->readAll();
        return atPeer == "txtBMyCall\tW1AW\n";
    })) << atPeer.toStdString();

    peer->write("txtSUrCall\tK1ABC\n");
    peer->flush();
    EXPECT_TRUE(waitUntil([this] { return got == "txtSUrCall\tK1ABC\n"; }));
}

TEST_F(LocalLinkTest, APeerThatGoesIsReportedOnceWithItsLastWords) {
    QLocalSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    peer->write("txtSField3\t12\n");
    peer->flush();
    peer->disconnectFromServer();
    EXPECT_TRUE(waitUntil([this] { return closed > 0; }));
    QTest::qWait(50);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(got, "txtSField3\t12\n");
    EXPECT_FALSE(link.isOpen());
}

TEST_F(LocalLinkTest, ClosingHereOrReconnectingIsNotALoss) {
    QLocalSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    link.close();
    EXPECT_FALSE(link.isOpen());
    QString error;
    EXPECT_TRUE(link.open(path, 1000, error));
    QTest::qWait(50);
    EXPECT_EQ(closed, 0);
}
