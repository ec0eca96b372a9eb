#pragma once

// The TCP link to Hamlib's rigctld, as a rig::CatPort for the "Hamlib
// (rigctld)" rig entry.
//
//   RigctldPort link(&settingsStore);   // address from Rigctld/Host, Rigctld/Port
//   std::string err = link.open({});    // starts connecting; never waits
//   link.write("+f\n+m\n");             // commands, one per line
//   std::string in = link.readAll();    // complete reply lines received so far
//   link.bytesToWrite();                // > 0 while commands are unanswered
//   link.takeCommandError();            // a refused set command, in words
//   link.close();
//
// Nothing here blocks: connecting, sending and receiving run on Qt's event
// loop. open() fails at once only for an address that cannot be used (a port
// number outside 1-65535, no host). A connection that is refused, that is not
// made within kConnectLimitMs, or that the daemon drops, counts as closed from
// then on, which the rig controller reports as a lost port. Commands go out
// one at a time, each when the last is answered; one left unanswered for the
// session's reply timeout is given up, so a daemon that answers late or never
// only delays the next command.

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "core/settings_store.h"
#include "rig/cat_port.h"
#include "rig/rigctld_protocol.h"

class QObject;
class QTcpSocket;
class QTimer;

namespace wexon::platform {

class RigctldPort : public rig::CatPort {
  public:
    static constexpr int kConnectLimitMs = 3000;

    // `settings` holds the daemon's address; it may be null (the defaults).
    explicit RigctldPort(const core::SettingsStore* settings);
    ~RigctldPort() override;

    // The port request's serial fields mean nothing here and are ignored.
    std::string open(const rig::PortRequest& request) override;
    void close() override;
    bool isOpen() const override;
    bool write(std::string_view bytes) override;
    std::string readAll() override;
    int bytesToWrite() const override;
    void setDtr(bool) override {}
    void setRts(bool) override {}
    std::string takeCommandError() override;

    // For `ms` from now, a refused
    // connection is tried again every 100 ms instead of ending the link: a
    // daemon the program has just started may not be listening yet.
    void allowStartUp(int ms);

    // True once the connection is made (and until it ends).
    bool connected() const;
    // The address of the last open().
    const std::string& host() const { return m_host; }
    int tcpPort() const { return m_port; }

  private:
    void collect();
    void pump();
    void retry();

    const core::SettingsStore* m_settings;
    std::unique_ptr<QObject> m_context; // owns the socket's connections
    std::unique_ptr<QTcpSocket> m_socket;
    std::unique_ptr<QTimer> m_connectLimit;
    std::unique_ptr<QTimer> m_replyLimit;
    rig::RigctldSession m_session;
    bool m_open = false;
    bool m_retrying = false; // between connection attempts during start-up
    unsigned m_attempt = 0;  // moves on at every close, so stale retries do nothing
    std::chrono::steady_clock::time_point m_startUpUntil{};
    std::string m_host;
    int m_port = 0;
};

} // namespace wexon::platform
