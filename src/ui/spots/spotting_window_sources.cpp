#include "ui/spots/spotting_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include "core/text_util.h"
#include "platform/telnet_client.h"
#include "spots/agw_command.h"
#include "spots/spotting_texts.h"
#include "spots/telnet_errors.h"
#include "ui/common/text_conversion.h"

// The spotting window's sources: opening and closing the TNC, the Telnet
// connection and the AGW link, sending typed lines, polling and receiving, and
// the terminal that shows it all.

namespace wexon::ui {

namespace {

// The terminal shows line ends as the widget knows them.
QString forDisplay(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                continue;
            }
            out.push_back('\n');
        } else {
            out.push_back(c);
        }
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace

void SpottingWindow::setListening(bool on) {
    m_listening = on;
    Label4->setVisible(on);
}

void SpottingWindow::openPort() {
    setTerminal("** Attempting to Open Port **\r\n\r\n");
    if (m_services.tncPort != nullptr && m_services.tncPort->isOpen()) {
        m_services.tncPort->close();
    }
    if (isSource("None")) {
        return;
    }
    setListening(true);
    if (isVisible()) {
        txtSent->setFocus();
    }
    if (isSource("TNC")) {
        openTncPort();
    } else if (isSource("AGW Packet Engine")) {
        openAgwLink();
    } else if (isSource("Telnet")) {
        openTelnet();
    }
}

void SpottingWindow::openTncPort() {
    const spots::PackSpotSettings s = currentSettings();
    rig::PortRequest request;
    request.portNumber = s.portNumber;
    request.settings =
        core::trimRight(s.baud) + "," + s.parity + "," + s.dataBits + "," + s.stopBits;
    request.handshaking = s.handshake - 1;
    request.handshakingAfterLines = true;
    request.powerLine = s.powerLine.empty() ? 'N' : s.powerLine[0];
    rig::CatPort* port = m_services.tncPort;
    std::string error = port == nullptr ? std::string("no port") : port->open(request);
    if (error.empty() && port->isOpen()) {
        if (s.handshake >= 3) {
            port->setRts(true);
        }
        Timer1->start();
        appendTerminal("** TNC Serial Port Open **\r\n\r\n");
        return;
    }
    beep();
    appendTerminal("** Unable to open TNC Serial Port **\r\n\r\n");
    if (m_services.prompts != nullptr) {
        m_services.prompts->message(spots::kInvalidCommTitle, spots::kInvalidCommText,
                                    Prompts::Icon::Exclamation);
    }
    if (!isVisible()) {
        show();
    }
    closePort();
    Timer1->stop();
}

void SpottingWindow::openTelnet() {
    m_telnet->close();
    const QString host = txtTelnetHost->text();
    const QString portText = txtTelnetPort->text();
    bool ok = false;
    const int port = portText.trimmed().toInt(&ok);
    setTerminal("Attempting connection to: " + toLatin1(host) + ":" + toLatin1(portText) +
                "\r\n\r\n");
    m_telnet->connectTo(host, static_cast<quint16>(ok && port > 0 && port < 65536 ? port : 0));
    Timer1->start();
}

void SpottingWindow::openAgwLink() {
    const std::string call =
        core::trim(m_services.host != nullptr ? m_services.host->ownCall() : "");
    if (call.empty()) {
        beep();
        if (m_services.prompts != nullptr) {
            m_services.prompts->message(spots::kCallRequiredTitle, spots::kCallRequiredText,
                                        Prompts::Icon::Exclamation);
        }
        return;
    }
    const QString caption = m_services.host != nullptr
                                ? m_services.host->windowCaption().left(50).trimmed()
                                : QString();
    if (m_services.agw != nullptr && m_services.agw->startPoll(call, toLatin1(caption))) {
        Timer1->start();
        if (!m_services.agw->connecting()) {
            appendTerminal("\r\n** Successfully connected to AGW Packet Engine **\r\n\r\n");
        }
        return; // a link still connecting says how it went to pollAgw()
    }
    agwFailed();
}

void SpottingWindow::agwFailed() {
    if (m_services.prompts != nullptr) {
        m_services.prompts->message(spots::kAgwFailTitle, fromLatin1(spots::agwFailureMessage()),
                                    Prompts::Icon::Exclamation);
    }
    setListening(false);
    appendTerminal(spots::agwFailureTerminal());
    if (!isVisible()) {
        show();
    }
    closePort();
    Timer1->stop();
    if (m_services.agw != nullptr) {
        m_services.agw->close();
    }
}

void SpottingWindow::closePort() {
    if (!m_listening) {
        return;
    }
    setListening(false);
    appendTerminal("\r\n\r\n** Port Closed **");
    trimTerminal();
    if (m_services.tncPort != nullptr && m_services.tncPort->isOpen()) {
        m_services.tncPort->close();
    }
    m_telnet->close();
    if (isSource("AGW Packet Engine") && m_services.agw != nullptr) {
        if (!m_receiver.agwConnectedCall().empty()) {
            m_services.agw->putData(m_receiver.agwConnectedCall(), {}, 'd');
            setWindowTitle("DX Spotting Setup");
            m_receiver.setAgwConnectedCall({});
        }
        m_services.agw->close();
    }
    Timer1->stop();
}

void SpottingWindow::formUnload() {
    if (m_services.agw != nullptr) {
        if (!m_receiver.agwConnectedCall().empty()) {
            m_services.agw->putData(m_receiver.agwConnectedCall(), {}, 'd');
            m_receiver.setAgwConnectedCall({});
        }
        if (isSource("AGW Packet Engine")) {
            m_services.agw->close();
        }
    }
    if (m_services.tncPort != nullptr && m_services.tncPort->isOpen()) {
        m_services.tncPort->close();
    }
    m_telnet->close();
    Timer1->stop();
}

void SpottingWindow::sendLine() {
    if (!m_listening) {
        openPort();
    }
    const std::string text = toLatin1(txtSent->text());
    if (isSource("TNC")) {
        if (m_services.tncPort != nullptr && m_services.tncPort->isOpen()) {
            m_services.tncPort->write(text + "\r");
        }
    } else if (isSource("Telnet")) {
        if (m_telnet->isConnected()) {
            m_telnet->sendLine(QByteArray::fromStdString(text));
        } else {
            appendTerminal("**  Connection not yet established.  Please wait a moment and try "
                           "again.\r\n\r\n");
            trimTerminal();
        }
    } else if (isSource("AGW Packet Engine") && Timer1->isActive()) {
        sendAgwLine(text);
    }
    txtSent->clear();
}

void SpottingWindow::sendAgwLine(const std::string& line) {
    const spots::AgwLinePlan plan = spots::planAgwLine(line, m_receiver.agwConnectedCall());
    if (plan.callSignRequired && m_services.prompts != nullptr) {
        m_services.prompts->message(spots::kAgwConnectCallTitle, spots::kAgwConnectCallText,
                                    Prompts::Icon::Exclamation);
    }
    if (m_services.agw == nullptr) {
        return;
    }
    for (const spots::AgwOutgoing& f : plan.frames) {
        m_services.agw->putData(f.call, f.data, f.kind);
    }
}

void SpottingWindow::sendBoxTextChanged() {
    if (!isSource("AGW Packet Engine") || !Timer1->isActive()) {
        return;
    }
    const std::string line = spots::agwWrapLine(toLatin1(txtSent->text()));
    if (!line.empty()) {
        sendAgwLine(line);
        txtSent->clear();
    }
}

bool SpottingWindow::tncCommandKey() {
    chkDX->setChecked(false);
    if (!m_listening) {
        openPort();
    }
    bool used = false;
    if (isSource("TNC") && m_services.tncPort != nullptr && m_services.tncPort->isOpen()) {
        bool ok = false;
        const int code = txtHex->text().trimmed().toInt(&ok, 16);
        const char c = static_cast<char>(ok ? (code & 0xFF) : 3);
        m_services.tncPort->write(std::string(1, c));
        txtSent->setFocus();
        used = true;
    }
    if (txtSent->text().isEmpty()) {
        txtSent->setFocus();
    }
    return used;
}

void SpottingWindow::timerTick() {
    if (isSource("TNC")) {
        pollTnc();
    } else if (isSource("AGW Packet Engine")) {
        pollAgw();
    }
    labelUpdateTimeCounter += 1.0f;
    if (labelUpdateTimeCounter > kRefreshTicks) {
        labelUpdateTimeCounter = 0.0f;
        if (m_services.refreshLabels) {
            m_services.refreshLabels();
        }
    }
}

void SpottingWindow::pollTnc() {
    if (m_services.tncPort == nullptr || !m_services.tncPort->isOpen()) {
        return;
    }
    const std::string received = m_services.tncPort->readAll();
    if (!received.empty()) {
        handle(m_receiver.receiveTnc(received));
    }
}

void SpottingWindow::pollAgw() {
    if (m_services.agw == nullptr) {
        return;
    }
    std::string why;
    switch (m_services.agw->takeLinkEvent(why)) {
    case spots::AgwLinkEvent::Up:
        appendTerminal("\r\n** Successfully connected to AGW Packet Engine **\r\n\r\n");
        break;
    case spots::AgwLinkEvent::Failed:
        agwFailed();
        return;
    case spots::AgwLinkEvent::Lost:
        // Listening stops: nothing more can come from an engine that is gone.
        beep();
        appendTerminal("\r\n** Lost the AGW Packet Engine: " + why + " **\r\n");
        closePort();
        Timer1->stop();
        return;
    case spots::AgwLinkEvent::None:
        break;
    }
    spots::AgwReceived frame;
    if (!m_services.agw->getData(frame)) {
        return;
    }
    const spots::Received r = m_receiver.receiveAgw(frame);
    handle(r);
    if (r.link == spots::Received::Link::Disconnected) {
        beep();
        beep();
        setWindowTitle("DX Spotting Setup");
    } else if (r.link == spots::Received::Link::Connected) {
        setWindowTitle(fromLatin1("DX Spotting Setup - Connected to " + r.linkCall));
        beep();
    }
}

void SpottingWindow::receiveTelnetChunk(const std::string& chunk) {
    handle(m_receiver.receiveTelnet(chunk));
}

void SpottingWindow::handle(const spots::Received& r) {
    if (r.terminalChanged) {
        refreshTerminal();
    }
    if (r.spots.empty()) {
        return;
    }
    if (m_services.spotBatch) {
        m_services.spotBatch(true);
    }
    for (const spots::SpotFields& f : r.spots) {
        labelUpdateTimeCounter = 0.0f;
        if (m_services.postSpot) {
            m_services.postSpot(f.call, f.frequencyText, f.spotText);
        }
    }
    if (m_services.spotBatch) {
        m_services.spotBatch(false);
    }
}

void SpottingWindow::telnetError(int number) {
    m_telnet->close();
    appendTerminal(spots::telnetErrorMessage(number));
    closePort();
    trimTerminal();
    beep();
}

void SpottingWindow::trimTerminal() {
    m_terminal.trim();
    refreshTerminal();
}

void SpottingWindow::appendTerminal(const std::string& text) {
    m_terminal.append(text);
    refreshTerminal();
}

void SpottingWindow::setTerminal(const std::string& text) {
    m_terminal.setText(text);
    refreshTerminal();
}

void SpottingWindow::refreshTerminal() {
    // While the window is closed (the usual state during a contest) the text
    // waits: a busy cluster would otherwise keep the hidden terminal, and an
    // attached screen reader, busy with every read.
    if (!isVisible()) {
        return;
    }
    const std::string& text = m_terminal.text();
    if (m_terminal.replacements() != m_shownReplacements || text.size() < m_shownLength) {
        txtUnProcessed->setPlainText(forDisplay(text));
    } else if (text.size() > m_shownLength) {
        QTextCursor end(txtUnProcessed->document());
        end.movePosition(QTextCursor::End);
        end.insertText(forDisplay(std::string_view(text).substr(m_shownLength)));
    }
    m_shownReplacements = m_terminal.replacements();
    m_shownLength = text.size();
    if (text.size() >= 3) {
        txtUnProcessed->moveCursor(QTextCursor::End);
        txtUnProcessed->verticalScrollBar()->setValue(
            txtUnProcessed->verticalScrollBar()->maximum());
    }
}

} // namespace wexon::ui
