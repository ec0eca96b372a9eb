#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QHostAddress>
#include <QUdpSocket>

#include "output/contact_broadcast.h"

namespace wexon::platform {

// Sends each message as one UDP datagram to every destination. A datagram is
// handed to the system and never waited for: a destination that cannot be
// reached counts as a failure and the next one is still tried. Broadcast
// addresses are allowed.
class UdpBroadcaster {
  public:
    UdpBroadcaster();
    UdpBroadcaster(const UdpBroadcaster&) = delete;
    UdpBroadcaster& operator=(const UdpBroadcaster&) = delete;

    void setDestinations(const std::vector<output::BroadcastDestination>& destinations);
    // Sends `datagram` (bytes as they are) to every destination. Returns how
    // many took it.
    int send(const std::string& datagram);

    std::uint64_t sentCount() const { return m_sent; }
    std::uint64_t failedCount() const { return m_failed; }
    // The last failure's text, empty when there was none.
    const QString& lastError() const { return m_lastError; }

  private:
    struct Target {
        QHostAddress address;
        quint16 port;
    };
    QUdpSocket m_socket;
    std::vector<Target> m_targets;
    std::uint64_t m_sent = 0;
    std::uint64_t m_failed = 0;
    QString m_lastError;
};

} // namespace wexon::platform
