#include "platform/xmlrpc_client.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace wexon::platform {

XmlRpcClient::XmlRpcClient(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)) {
    // The server is on this machine or the station's own network: no proxy.
    m_network->setProxy(QNetworkProxy::NoProxy);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &XmlRpcClient::timedOut);
    setServer(QStringLiteral("127.0.0.1"), 7362);
}

XmlRpcClient::~XmlRpcClient() {
    cancelAll();
}

void XmlRpcClient::setServer(const QString& host, int port) {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host);
    url.setPort(port);
    url.setPath(QStringLiteral("/RPC2"));
    m_url = url.toString();
}

QString XmlRpcClient::serverUrl() const {
    return m_url;
}

bool XmlRpcClient::call(const std::string& method, const std::vector<link::XmlRpcValue>& params,
                        Callback done) {
    if (m_queue.size() >= kMaxQueued) {
        return false;
    }
    const std::string body = link::encodeMethodCall(method, params);
    m_queue.push_back(Pending{method, QByteArray(body.data(), static_cast<qsizetype>(body.size())),
                              std::move(done)});
    if (!busy()) {
        // Started from the event loop, so a caller never sees its callback
        // run inside call().
        QTimer::singleShot(0, this, [this] {
            if (!busy()) {
                startNext();
            }
        });
    }
    return true;
}

void XmlRpcClient::cancelAll() {
    m_queue.clear();
    m_timer.stop();
    m_inFlightDone = nullptr;
    if (QNetworkReply* reply = m_inFlight) {
        m_inFlight = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void XmlRpcClient::startNext() {
    if (m_queue.empty()) {
        return;
    }
    Pending next = std::move(m_queue.front());
    m_queue.pop_front();
    QNetworkRequest request{QUrl(m_url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/xml"));
    request.setRawHeader(QByteArrayLiteral("User-Agent"), QByteArrayLiteral("Wexon"));
    // The link speaks to the address it was given and nowhere else.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    m_received.clear();
    m_overflow = false;
    m_inFlightDone = std::move(next.done);
    QNetworkReply* reply = m_network->post(request, next.body);
    m_inFlight = reply;
    // Read as it comes, so an endless answer is cut off at the bound instead
    // of filling the memory.
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (reply != m_inFlight) {
            return;
        }
        const qint64 room = static_cast<qint64>(link::kMaxXmlRpcResponseBytes) -
                            static_cast<qint64>(m_received.size());
        m_received += reply->read(std::max<qint64>(room, 0));
        if (reply->bytesAvailable() > 0) {
            m_overflow = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
    m_timer.start(m_timeoutMs);
}

void XmlRpcClient::finished(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != m_inFlight) {
        return;
    }
    m_timer.stop();
    m_inFlight = nullptr;
    link::XmlRpcResponse response;
    if (m_overflow) {
        response.error = "the response is too long";
    } else if (reply->error() != QNetworkReply::NoError) {
        response.error = reply->errorString().toStdString();
    } else {
        const qint64 room = static_cast<qint64>(link::kMaxXmlRpcResponseBytes) -
                            static_cast<qint64>(m_received.size());
        m_received += reply->read(std::max<qint64>(room, 0));
        if (reply->bytesAvailable() > 0) {
            response.error = "the response is too long";
        } else {
            response = link::decodeMethodResponse(std::string_view(
                m_received.constData(), static_cast<std::size_t>(m_received.size())));
        }
    }
    m_received.clear();
    Callback done = std::move(m_inFlightDone);
    m_inFlightDone = nullptr;
    // The next call goes out before this answer is handed over, so a callback
    // that queues more keeps the order.
    startNext();
    if (done) {
        done(response);
    }
}

void XmlRpcClient::timedOut() {
    QNetworkReply* reply = m_inFlight;
    if (reply == nullptr) {
        return;
    }
    m_inFlight = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    link::XmlRpcResponse response;
    response.error = "no answer within " + std::to_string(m_timeoutMs) + " ms";
    Callback done = std::move(m_inFlightDone);
    m_inFlightDone = nullptr;
    startNext();
    if (done) {
        done(response);
    }
}

} // namespace wexon::platform
