// The local-socket client of the RTTY program link, against a local server.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTest>

#include "platform/local_link.h"
#include "support/temp_dir.h"

using wexon::platform::LocalLink;
using wexon::platform::peerUserId;

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
    LocalLink::Loss lastLoss = LocalLink::Loss::PeerClosed;

    void SetUp() override {
        link.onChunk = [this](const QByteArray& chunk) { got += chunk; };
        link.onClosed = [this](LocalLink::Loss loss) {
            ++closed;
            lastLoss = loss;
        };
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
    EXPECT_EQ(lastLoss, LocalLink::Loss::PeerClosed);
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

// A partner that floods and never reads would make the program hold every
// answer: past the bound the link is dropped, and the loss said once.
TEST_F(LocalLinkTest, APartnerThatNeverReadsIsDroppedAtTheBound) {
    QLocalSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    EXPECT_EQ(peerUserId(peer->socketDescriptor()), static_cast<long long>(getuid()));
    peer->setReadBufferSize(1024); // the partner takes in almost nothing
    const QByteArray line = "txtBUrCall\t" + QByteArray(100, 'W') + "\n";
    qint64 accepted = 0;
    bool refused = false;
    for (int i = 0; i < 100000 && !refused; ++i) {
        refused = !link.write(line);
        if (!refused) {
            accepted += line.size();
        }
        EXPECT_LE(link.unsent(), LocalLink::kMaxUnsent);
        if (i % 64 == 0) {
            QCoreApplication::processEvents(); // the event loop keeps running
        }
    }
    ASSERT_TRUE(refused) << accepted;
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write(line));
    EXPECT_TRUE(waitUntil([this] { return closed > 0; }));
    QTest::qWait(50);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(lastLoss, LocalLink::Loss::Stalled);
    // What the peer's socket and the system took, plus the bound: no more.
    EXPECT_LT(accepted, 8 * LocalLink::kMaxUnsent);
}

// A socket at the link's path whose far end runs as another user is refused:
// it would otherwise be handed the own call, the serial and every key.
TEST(LocalLinkPeer, ASocketOfAnotherUserIsRefused) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to listen as another user";
    }
    char folder[] = "/tmp/wexon-link-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    ASSERT_EQ(chmod(folder, 0777), 0);
    const std::string path = std::string(folder) + "/Vemo_RTTY_frmDigitalDest";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only system calls here: the parent has threads.
        if (setgid(65534) != 0 || setuid(65534) != 0) {
            _exit(2);
        }
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(fd, 4) != 0) {
            _exit(3);
        }
        for (int i = 0; i < 4; ++i) {
            const int peer = accept(fd, nullptr, nullptr);
            if (peer >= 0) {
                char buffer[256];
                while (read(peer, buffer, sizeof buffer) > 0) {
                }
                close(peer);
            }
        }
        _exit(0);
    }
    struct stat st {};
    ASSERT_TRUE(waitUntil([&] { return stat(path.c_str(), &st) == 0; }));
    EXPECT_EQ(st.st_uid, 65534u);

    LocalLink link;
    int closed = 0;
    link.onClosed = [&](LocalLink::Loss) { ++closed; };
    QString error;
    EXPECT_FALSE(link.open(QString::fromStdString(path), 1000, error));
    EXPECT_TRUE(error.contains("another user")) << error.toStdString();
    EXPECT_TRUE(error.contains("65534")) << error.toStdString();
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write("txtBMyCall\tW1AW\n"));
    QTest::qWait(50);
    EXPECT_EQ(closed, 0); // a refusal is not a lost link

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    unlink(path.c_str());
    rmdir(folder);
}
