#include "platform/score_poster.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace wexon::platform {

namespace {
// What a scoreboard answers is shown on one line: no more than this of it.
constexpr int kShownReplyChars = 120;
constexpr qint64 kMaxReplyBytes = 64 * 1024;
} // namespace

ScorePoster::ScorePoster() = default;

ScorePoster::~ScorePoster() {
    cancel();
}

bool ScorePoster::acceptable(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == "http" || scheme == "https");
}

bool ScorePoster::post(const QUrl& url, const QString& user, const QString& password,
                       const QByteArray& xml, Done done) {
    if (busy() || !acceptable(url)) {
        return false;
    }
    QUrl target = url;
    // Credentials go in the header only, never in the address.
    target.setUserInfo(QString());
    QNetworkRequest request(target);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "text/xml; charset=utf-8");
    request.setHeader(QNetworkRequest::UserAgentHeader, "Wexon");
    // A redirect would carry the credentials to wherever it points: it is not
    // followed, and shows as a failure with its status.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(m_timeoutMs);
    if (!user.isEmpty() || !password.isEmpty()) {
        request.setRawHeader("Authorization",
                             "Basic " + (user + ':' + password).toUtf8().toBase64());
    }
    m_done = std::move(done);
    QNetworkReply* reply = m_network.post(request, xml);
    m_reply = reply;
    QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply] { finished(reply); });
    return true;
}

void ScorePoster::cancel() {
    if (QNetworkReply* reply = m_reply.data()) {
        m_reply = nullptr;
        m_done = nullptr;
        reply->disconnect();
        reply->abort();
        reply->deleteLater();
    }
}

void ScorePoster::finished(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != m_reply.data()) {
        return;
    }
    m_reply = nullptr;
    Result result;
    result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString answer =
        QString::fromUtf8(reply->read(kMaxReplyBytes)).simplified().left(kShownReplyChars);
    if (reply->error() == QNetworkReply::NoError && result.httpStatus >= 200 &&
        result.httpStatus < 300) {
        result.ok = true;
        result.text = QStringLiteral("HTTP %1").arg(result.httpStatus);
    } else if (result.httpStatus != 0) {
        result.text = QStringLiteral("HTTP %1").arg(result.httpStatus);
        if (!answer.isEmpty()) {
            result.text += QStringLiteral(": ") + answer;
        }
    } else if (reply->error() == QNetworkReply::OperationCanceledError ||
               reply->error() == QNetworkReply::TimeoutError) {
        result.text = QStringLiteral("no answer (timed out)");
    } else {
        result.text = reply->errorString().simplified().left(kShownReplyChars);
    }
    Done done = std::move(m_done);
    m_done = nullptr;
    if (done) {
        done(result);
    }
}

} // namespace wexon::platform
