#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "link/xmlrpc_codec.h"

class QNetworkAccessManager;

namespace wexon::platform {

// An XML-RPC client over HTTP that never blocks the caller: each call is
// queued and answered later through its callback, from the event loop. One
// request is in flight at a time (the server, fldigi, handles its requests
// one by one anyway), each with a time limit; the queue is bounded, and a
// response longer than the reader's bound is cut off and reported malformed.
class XmlRpcClient : public QObject {
  public:
    using Callback = std::function<void(const link::XmlRpcResponse&)>;

    static constexpr int kDefaultTimeoutMs = 3000;
    static constexpr std::size_t kMaxQueued = 64;

    explicit XmlRpcClient(QObject* parent = nullptr);
    ~XmlRpcClient() override;

    // Where the server listens: http://host:port/RPC2. Calls already queued
    // go to the new place; the one in flight is answered as it is.
    void setServer(const QString& host, int port);
    QString serverUrl() const;
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

    // Queues a call. False (and no callback) when the queue is full.
    // A failed transfer answers Malformed with the network's error text.
    bool call(const std::string& method, const std::vector<link::XmlRpcValue>& params,
              Callback done = {});
    // Drops every queued call and the one in flight; no callbacks follow.
    void cancelAll();

    bool busy() const { return m_inFlight != nullptr; }
    std::size_t queued() const { return m_queue.size(); }

  private:
    struct Pending {
        std::string method;
        QByteArray body;
        Callback done;
    };

    void startNext();
    void finished(QNetworkReply* reply);
    void timedOut();

    QNetworkAccessManager* m_network = nullptr;
    QString m_url;
    int m_timeoutMs = kDefaultTimeoutMs;
    std::deque<Pending> m_queue;
    QPointer<QNetworkReply> m_inFlight;
    Callback m_inFlightDone;
    QByteArray m_received;
    bool m_overflow = false;
    QTimer m_timer;
};

} // namespace wexon::platform
