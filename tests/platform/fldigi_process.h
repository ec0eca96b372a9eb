#pragma once

// A real fldigi for the link tests: started once per test suite on a private
// X display (Xvfb), with a configuration folder of its own and its XML-RPC
// server on a free loopback port. No sound card is needed: fldigi runs its
// modem without one, and what it transmits shows in its receive pane as the
// real program shows it.

#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "link/xmlrpc_codec.h"
#include "platform/xmlrpc_client.h"

namespace wexon::test {

class FldigiProcess {
  public:
    ~FldigiProcess() { stop(); }

    // Starts Xvfb and fldigi; false with `reason` set when this machine cannot.
    bool start(QString& reason) {
        const QString fldigi = QStandardPaths::findExecutable(QStringLiteral("fldigi"));
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (fldigi.isEmpty() || xvfb.isEmpty()) {
            reason =
                QStringLiteral("fldigi or Xvfb is not installed (scripts/deps.sh installs both)");
            return false;
        }
        if (!m_config.isValid()) {
            reason = QStringLiteral("no temporary folder for fldigi's configuration");
            return false;
        }
        // A configuration file that exists keeps fldigi's first-run wizard away.
        QFile def(m_config.filePath(QStringLiteral("fldigi_def.xml")));
        if (!def.open(QIODevice::WriteOnly)) {
            reason = QStringLiteral("cannot write fldigi_def.xml");
            return false;
        }
        def.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FLDIGI_DEFS>\n"
                  "<MYCALL>W1AW</MYCALL>\n<NAGME>0</NAGME>\n"
                  "<CHECK_FOR_UPDATES>0</CHECK_FOR_UPDATES>\n</FLDIGI_DEFS>\n");
        def.close();

        // Xvfb picks a free display and names it on the descriptor given.
        m_xvfb.setProgram(xvfb);
        m_xvfb.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                             QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                             QStringLiteral("-screen"), QStringLiteral("0"),
                             QStringLiteral("1024x768x24")});
        m_xvfb.start();
        QByteArray display;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000 && !display.contains('\n')) {
            if (m_xvfb.state() == QProcess::NotRunning) {
                break;
            }
            m_xvfb.waitForReadyRead(200);
            display += m_xvfb.readAllStandardOutput();
        }
        if (!display.contains('\n')) {
            reason = QStringLiteral("Xvfb did not start");
            return false;
        }

        m_port = freePort();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"),
                   QStringLiteral(":") + QString::fromLatin1(display.trimmed()));
        env.insert(QStringLiteral("HOME"), m_config.path());
        m_fldigi.setProcessEnvironment(env);
        m_fldigi.setProgram(fldigi);
        m_fldigi.setArguments({QStringLiteral("--config-dir"), m_config.path(),
                               QStringLiteral("--xmlrpc-server-address"),
                               QStringLiteral("127.0.0.1"), QStringLiteral("--xmlrpc-server-port"),
                               QString::number(m_port)});
        m_fldigi.setProcessChannelMode(QProcess::MergedChannels);
        m_fldigi.setStandardOutputFile(QProcess::nullDevice());
        m_fldigi.start();
        if (!m_fldigi.waitForStarted(5000)) {
            reason = QStringLiteral("fldigi did not start: ") + m_fldigi.errorString();
            return false;
        }
        // Its XML-RPC server answers a few seconds after start.
        platform::XmlRpcClient probe;
        probe.setServer(QStringLiteral("127.0.0.1"), m_port);
        probe.setTimeoutMs(1000);
        t.restart();
        while (t.elapsed() < 20000 && m_fldigi.state() == QProcess::Running) {
            const auto r = callAndWait(probe, "fldigi.version", {});
            if (r.ok()) {
                m_version = r.value.text;
                return true;
            }
            QTest::qWait(250);
        }
        reason = QStringLiteral("fldigi's XML-RPC server did not answer on port ") +
                 QString::number(m_port);
        return false;
    }

    void stop() {
        for (QProcess* p : {&m_fldigi, &m_xvfb}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(3000)) {
                    p->kill();
                    p->waitForFinished(3000);
                }
            }
        }
    }

    bool running() const { return m_fldigi.state() == QProcess::Running; }
    int port() const { return m_port; }
    const std::string& version() const { return m_version; }

    // One call, waited for with the event loop running.
    static link::XmlRpcResponse callAndWait(platform::XmlRpcClient& client,
                                            const std::string& method,
                                            const std::vector<link::XmlRpcValue>& params,
                                            int ms = 5000) {
        auto result = std::make_shared<link::XmlRpcResponse>();
        auto done = std::make_shared<bool>(false);
        client.call(method, params, [result, done](const link::XmlRpcResponse& r) {
            *result = r;
            *done = true;
        });
        (void)QTest::qWaitFor([&] { return *done; }, ms);
        if (!*done) {
            result->error = "the test gave up waiting";
        }
        return *result;
    }

  private:
    static int freePort() {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        return server.serverPort();
    }

    QTemporaryDir m_config;
    QProcess m_xvfb;
    QProcess m_fldigi;
    int m_port = 0;
    std::string m_version;
};

} // namespace wexon::test
