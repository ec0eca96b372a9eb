#include "platform/udp_broadcaster.h"

namespace wexon::platform {

namespace {
// Larger datagrams are cut by many networks; ours are about 2 kB.
constexpr std::size_t kMaxDatagram = 8192;
} // namespace

UdpBroadcaster::UdpBroadcaster() {
    // One socket on an ephemeral port for every destination. Qt opens UDP
    // sockets with broadcasting allowed, so a broadcast address is sent to
    // like any other.
    m_socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0);
}

void UdpBroadcaster::setDestinations(
    const std::vector<output::BroadcastDestination>& destinations) {
    m_targets.clear();
    for (const auto& d : destinations) {
        QHostAddress address(QString::fromStdString(d.host));
        if (address.isNull() || d.port < 1 || d.port > 65535) {
            continue;
        }
        m_targets.push_back({address, static_cast<quint16>(d.port)});
    }
}

int UdpBroadcaster::send(const std::string& datagram) {
    if (datagram.size() > kMaxDatagram) {
        m_failed += m_targets.size();
        m_lastError = QStringLiteral("message too long");
        return 0;
    }
    int taken = 0;
    for (const Target& t : m_targets) {
        const qint64 n = m_socket.writeDatagram(
            datagram.data(), static_cast<qint64>(datagram.size()), t.address, t.port);
        if (n == static_cast<qint64>(datagram.size())) {
            ++m_sent;
            ++taken;
        } else {
            ++m_failed;
            m_lastError = t.address.toString() + ':' + QString::number(t.port) + ": " +
                          m_socket.errorString();
        }
    }
    return taken;
}

} // namespace wexon::platform
