// Messages for dashboards go out as UDP datagrams: a listener on this machine,
// sharing its port as dashboards do, receives and parses every message type.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>
#include <QXmlStreamReader>

#include <map>

#include "output/contact_broadcast.h"
#include "output/score_report.h"
#include "platform/udp_broadcaster.h"

using namespace wexon;

namespace {

// A parsed datagram: its root element and the text of each child element.
struct UdpMessage {
    QString root;
    std::map<QString, QString> fields;
    bool wellFormed = false;
};

UdpMessage parseUdpMessage(const QByteArray& bytes) {
    UdpMessage m;
    QXmlStreamReader xml(bytes);
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 1) {
                m.root = xml.name().toString();
            } else if (depth == 2) {
                const QString name = xml.name().toString();
                m.fields[name] = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                --depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    m.wellFormed = !xml.hasError() && !m.root.isEmpty();
    return m;
}

// A dashboard's listener: shares its port with other programs.
class UdpListener {
  public:
    UdpListener() {
        bound = socket.bind(QHostAddress::LocalHost, 0,
                            QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    }
    quint16 port() const { return socket.localPort(); }
    std::vector<QByteArray> waitFor(std::size_t count, int ms = 3000) {
        QElapsedTimer t;
        t.start();
        while (received.size() < count && t.elapsed() < ms) {
            QTest::qWait(5);
            while (socket.hasPendingDatagrams()) {
                received.push_back(socket.receiveDatagram().data());
            }
        }
        return received;
    }
    QUdpSocket socket;
    bool bound = false;
    std::vector<QByteArray> received;
};

core::QsoRecord udpContact() {
    core::QsoRecord r;
    r.call = "OH2\xC4X"; // A umlaut, Latin-1
    r.rstReceived = "599";
    r.serialReceived = "15";
    r.rstSent = "599";
    r.country = "Finland & <Aland>";
    r.qsoDate = "2026/05/30";
    r.qsoTime = "13:14:15";
    r.band = "40";
    r.points = 2;
    r.prefix = "OH2";
    r.serialSent = "101";
    r.frequency = "7.012";
    return r;
}

TEST(UdpBroadcasterDelivery, EveryMessageTypeArrivesWellFormed) {
    UdpListener listener;
    ASSERT_TRUE(listener.bound);
    platform::UdpBroadcaster sender;
    sender.setDestinations({{"127.0.0.1", listener.port()}});

    output::BroadcastStation station;
    station.myCall = "K1ABC";
    station.stationName = "PC1";
    const core::QsoRecord r = udpContact();
    const std::vector<core::QsoRecord> log{r};
    output::ScoreReportInput score;
    score.myCall = "K1ABC";
    score.records = &log;
    score.totalPoints = 2;
    score.multipliers = 1;

    EXPECT_EQ(sender.send(output::contactInfoXml(station, {&r, "ID1", true})), 1);
    sender.send(output::contactReplaceXml(station, {&r, "ID1", true}));
    sender.send(output::contactDeleteXml(station, {&r, "ID1", false}));
    sender.send(output::radioInfoXml(station, {701200, "CW", true}));
    sender.send(output::scoreReportXml(score));

    const auto got = listener.waitFor(5);
    ASSERT_EQ(got.size(), 5u);
    const UdpMessage info = parseUdpMessage(got[0]);
    ASSERT_TRUE(info.wellFormed);
    EXPECT_EQ(info.root, "contactinfo");
    EXPECT_EQ(info.fields.at("call"), QString::fromUtf8("OH2\xC3\x84X"));
    EXPECT_EQ(info.fields.at("misctext"), "Finland & <Aland>");
    EXPECT_EQ(info.fields.at("rxfreq"), "701200");
    EXPECT_EQ(info.fields.at("band"), "7");
    EXPECT_EQ(info.fields.at("sntnr"), "101");
    EXPECT_EQ(info.fields.at("rcvnr"), "15");
    EXPECT_EQ(info.fields.at("ID"), "ID1");

    const UdpMessage replace = parseUdpMessage(got[1]);
    EXPECT_TRUE(replace.wellFormed);
    EXPECT_EQ(replace.root, "contactreplace");
    const UdpMessage del = parseUdpMessage(got[2]);
    EXPECT_TRUE(del.wellFormed);
    EXPECT_EQ(del.root, "contactdelete");
    EXPECT_EQ(del.fields.at("ID"), "ID1");
    const UdpMessage radio = parseUdpMessage(got[3]);
    EXPECT_TRUE(radio.wellFormed);
    EXPECT_EQ(radio.root, "RadioInfo");
    EXPECT_EQ(radio.fields.at("Freq"), "701200");
    const UdpMessage results = parseUdpMessage(got[4]);
    EXPECT_TRUE(results.wellFormed);
    EXPECT_EQ(results.root, "dynamicresults");
    EXPECT_EQ(results.fields.at("score"), "2");
    EXPECT_EQ(sender.sentCount(), 5u);
    EXPECT_EQ(sender.failedCount(), 0u);
}

TEST(UdpBroadcasterDelivery, TwoListenersSharingAPortAndTwoDestinations) {
    UdpListener first;
    ASSERT_TRUE(first.bound);
    UdpListener second;
    ASSERT_TRUE(second.bound);
    platform::UdpBroadcaster sender;
    sender.setDestinations({{"127.0.0.1", first.port()}, {"127.0.0.1", second.port()}});
    EXPECT_EQ(sender.send("<RadioInfo></RadioInfo>"), 2);
    EXPECT_EQ(first.waitFor(1).size(), 1u);
    EXPECT_EQ(second.waitFor(1).size(), 1u);

    // A second program binds the same port beside the first listener.
    QUdpSocket sharing;
    EXPECT_TRUE(sharing.bind(QHostAddress::LocalHost, first.port(),
                             QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
}

TEST(UdpBroadcasterDelivery, FailuresAreCountedAndTheRestStillGoOut) {
    UdpListener listener;
    ASSERT_TRUE(listener.bound);
    platform::UdpBroadcaster sender;
    // A datagram too long for any network fails for every destination and is
    // counted; the next message still goes out.
    sender.setDestinations({{"127.0.0.1", listener.port()}, {"127.0.0.1", 9}});
    EXPECT_EQ(sender.send(std::string(10000, 'x')), 0);
    EXPECT_EQ(sender.failedCount(), 2u);
    EXPECT_EQ(sender.send("<RadioInfo></RadioInfo>"), 2);
    ASSERT_EQ(listener.waitFor(1).size(), 1u);
    EXPECT_EQ(listener.received[0], "<RadioInfo></RadioInfo>");
    EXPECT_FALSE(sender.lastError().isEmpty());
}

} // namespace
