#pragma once

#include <functional>

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkReply;

namespace wexon::platform {

// Posts a score report to an online scoreboard: one HTTP POST at a time, the
// XML as the body, with basic authentication. It never waits: the answer comes
// back through the callback from the event loop, after at most the timeout.
class ScorePoster {
  public:
    struct Result {
        bool ok = false;    // the scoreboard answered 2xx
        int httpStatus = 0; // 0: no answer (refused, timed out, ...)
        QString text;       // one line for the status display
    };
    using Done = std::function<void(const Result&)>;

    static constexpr int kDefaultTimeoutMs = 30000;

    ScorePoster();
    ~ScorePoster();
    ScorePoster(const ScorePoster&) = delete;
    ScorePoster& operator=(const ScorePoster&) = delete;

    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    // Whether a post is in flight.
    bool busy() const { return !m_reply.isNull(); }
    // Starts a post. Refused (false, nothing sent, `done` not called) while one
    // is in flight or when the address is not an http or https URL.
    bool post(const QUrl& url, const QString& user, const QString& password, const QByteArray& xml,
              Done done);
    // Drops the post in flight; its callback is not called.
    void cancel();

    // Whether `url` is one the poster accepts.
    static bool acceptable(const QUrl& url);

  private:
    void finished(QNetworkReply* reply);

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    Done m_done;
    int m_timeoutMs = kDefaultTimeoutMs;
};

} // namespace wexon::platform
