#include "ui/link/fldigi_link_panel.h"

#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextBlock>
#include <QVBoxLayout>

#include "core/entry_box.h"
#include "core/text_util.h"
#include "link/link_protocol.h"
#include "ui/common/plain_text.h"
#include "ui/common/text_conversion.h"
#include "ui/main/main_window.h"

namespace wexon::ui {

namespace {

constexpr const char* kNotFoundTitle = "Unable to find fldigi.";

QString utf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string boxText(MainWindow& window, const char* name) {
    if (auto* box = window.findChild<QLineEdit*>(QString::fromLatin1(name))) {
        return latin1Only(box->text());
    }
    if (auto* label = window.findChild<QLabel*>(QString::fromLatin1(name))) {
        return latin1Only(label->text());
    }
    return {};
}

} // namespace

FldigiLinkPanel::FldigiLinkPanel(MainWindow& window, core::SettingsStore& settings,
                                 Prompts& prompts, QWidget* parent)
    : QWidget(parent), m_window(window), m_store(settings), m_prompts(prompts),
      m_settings(link::FldigiSettings::load(settings)) {
    setObjectName(QStringLiteral("fldigiLinkPanel"));
    buildControls();
    m_pollTimer.setInterval(kPollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &FldigiLinkPanel::poll);
}

FldigiLinkPanel::~FldigiLinkPanel() {
    m_pollTimer.stop();
    m_client.cancelAll();
}

void FldigiLinkPanel::buildControls() {
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    m_programBox = new QComboBox(this);
    m_programBox->setObjectName(QStringLiteral("cboLinkProgram"));
    m_programBox->setAccessibleName(QStringLiteral("RTTY program"));
    m_programBox->addItem(QStringLiteral("Vemo RTTY (local socket)"));
    m_programBox->addItem(QStringLiteral("fldigi (XML-RPC)"));
    m_programBox->setCurrentIndex(fldigiChosen() ? 1 : 0);
    form->addRow(plainLabel(QStringLiteral("RTTY program"), this), m_programBox);
    column->addLayout(form);

    m_fldigiGroup = new QWidget(this);
    auto* group = new QVBoxLayout(m_fldigiGroup);
    group->setContentsMargins(0, 0, 0, 0);
    auto* address = new QFormLayout();
    m_hostBox = new QLineEdit(QString::fromStdString(m_settings.host), m_fldigiGroup);
    m_hostBox->setObjectName(QStringLiteral("txtFldigiHost"));
    m_hostBox->setAccessibleName(QStringLiteral("fldigi host"));
    m_hostBox->setMaxLength(253);
    m_portBox = new QSpinBox(m_fldigiGroup);
    m_portBox->setObjectName(QStringLiteral("txtFldigiPort"));
    m_portBox->setAccessibleName(QStringLiteral("fldigi XML-RPC port"));
    m_portBox->setRange(1, 65535);
    m_portBox->setValue(m_settings.port);
    m_rigSharedBox = new QCheckBox(QStringLiteral("Rig shared through fldigi"), m_fldigiGroup);
    m_rigSharedBox->setObjectName(QStringLiteral("chkFldigiRig"));
    m_rigSharedBox->setChecked(m_settings.rigSharedThroughFldigi);
    address->addRow(plainLabel(QStringLiteral("fldigi host"), this), m_hostBox);
    address->addRow(plainLabel(QStringLiteral("XML-RPC port"), this), m_portBox);
    address->addRow(QString(), m_rigSharedBox);
    // The function-key messages: pick a key, edit its text.
    auto* messageRow = new QHBoxLayout();
    m_messageKeyBox = new QComboBox(m_fldigiGroup);
    m_messageKeyBox->setObjectName(QStringLiteral("cboFldigiKey"));
    m_messageKeyBox->setAccessibleName(QStringLiteral("Function key"));
    for (std::size_t i = 0; i < link::kFldigiMessageCount; ++i) {
        m_messageKeyBox->addItem(QStringLiteral("F%1").arg(i + 1));
    }
    m_messageBox = new QLineEdit(m_fldigiGroup);
    m_messageBox->setObjectName(QStringLiteral("txtFldigiMessage"));
    m_messageBox->setAccessibleName(
        QStringLiteral("Message ($ call, # serial, * report, % own call)"));
    m_messageBox->setToolTip(plainToolTip(
        QStringLiteral("$ the call, # the next QSO number, * the report sent, % your own call")));
    m_messageBox->setMaxLength(200);
    m_messageBox->setText(fromLatin1(m_settings.messages[0]));
    messageRow->addWidget(m_messageKeyBox);
    messageRow->addWidget(m_messageBox, 1);
    address->addRow(plainLabel(QStringLiteral("Message"), this), messageRow);
    group->addLayout(address);

    m_statusLabel = plainLabel(QStringLiteral("Not connected."), m_fldigiGroup);
    m_statusLabel->setObjectName(QStringLiteral("lblFldigiStatus"));
    m_statusLabel->setWordWrap(true);
    m_rigLabel = plainLabel(QString(), m_fldigiGroup);
    m_rigLabel->setObjectName(QStringLiteral("lblFldigiRig"));
    group->addWidget(m_statusLabel);
    group->addWidget(m_rigLabel);

    // fldigi's receive text comes from the air: shown as plain text only.
    m_receiveView = new QPlainTextEdit(m_fldigiGroup);
    m_receiveView->setObjectName(QStringLiteral("txtFldigiRx"));
    m_receiveView->setAccessibleName(QStringLiteral("fldigi receive text"));
    m_receiveView->setReadOnly(true);
    m_receiveView->setMaximumBlockCount(kMaxShownBlocks);
    m_receiveView->setMinimumHeight(120);
    m_receiveView->viewport()->installEventFilter(this);
    group->addWidget(m_receiveView);
    column->addWidget(m_fldigiGroup);
    m_fldigiGroup->setVisible(fldigiChosen());

    connect(m_programBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_settings.program = index == 1 ? link::DigitalProgram::Fldigi : link::DigitalProgram::Vemo;
        m_fldigiGroup->setVisible(fldigiChosen());
        if (!fldigiChosen()) {
            stop();
        }
        settingsEdited();
        emit programChanged();
    });
    connect(m_hostBox, &QLineEdit::editingFinished, this, &FldigiLinkPanel::settingsEdited);
    connect(m_portBox, &QSpinBox::valueChanged, this, &FldigiLinkPanel::settingsEdited);
    connect(m_rigSharedBox, &QCheckBox::toggled, this, &FldigiLinkPanel::settingsEdited);
    connect(m_messageKeyBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && static_cast<std::size_t>(index) < link::kFldigiMessageCount) {
            m_messageBox->setText(fromLatin1(m_settings.messages[static_cast<std::size_t>(index)]));
        }
    });
    connect(m_messageBox, &QLineEdit::editingFinished, this, [this] {
        const int index = m_messageKeyBox->currentIndex();
        if (index >= 0 && static_cast<std::size_t>(index) < link::kFldigiMessageCount) {
            m_settings.messages[static_cast<std::size_t>(index)] = latin1Only(m_messageBox->text());
            settingsEdited();
        }
    });
}

void FldigiLinkPanel::settingsEdited() {
    const std::string host = core::trim(latin1Only(m_hostBox->text()));
    if (link::isAcceptableHost(host)) {
        m_settings.host = host;
    } else {
        m_hostBox->setText(QString::fromStdString(m_settings.host));
    }
    m_settings.port = m_portBox->value();
    m_settings.rigSharedThroughFldigi = m_rigSharedBox->isChecked();
    m_settings.save(m_store);
}

QString FldigiLinkPanel::statusText() const {
    return m_statusLabel->text();
}

QString FldigiLinkPanel::receivedText() const {
    return m_receiveView->toPlainText();
}

void FldigiLinkPanel::showStatus(const QString& text) {
    m_statusLabel->setText(text);
}

// ---------------------------------------------------------------- connecting

void FldigiLinkPanel::start() {
    stop();
    settingsEdited();

    const QString where =
        QString::fromStdString(m_settings.host) + ':' + QString::number(m_settings.port);
    m_client.setServer(QString::fromStdString(m_settings.host), m_settings.port);
    m_connecting = true;
    showStatus(QStringLiteral("Connecting to fldigi at ") + where + QStringLiteral("..."));
    const unsigned generation = m_generation;
    m_client.call("fldigi.version", {}, [this, generation, where](const link::XmlRpcResponse& r) {
        if (generation != m_generation) {
            return;
        }
        m_connecting = false;
        if (!r.ok()) {
            const QString error =
                utf8(r.outcome == link::XmlRpcResponse::Outcome::Fault ? r.faultString : r.error);
            showStatus(QStringLiteral("Not connected: ") + error);
            m_prompts.message(QString::fromLatin1(kNotFoundTitle),
                              error +
                                  QStringLiteral("\n\nPlease start fldigi with its XML-RPC "
                                                 "server on ") +
                                  where + QStringLiteral(" and click Reconnect."),
                              Prompts::Icon::Critical);
            return;
        }
        m_linked = true;
        m_failedPolls = 0;
        showStatus(QStringLiteral("Connected to fldigi ") + utf8(r.value.textOrBytes()) +
                   QStringLiteral(" at ") + where);
        // What the entry row holds now goes to fldigi's log fields at once.
        copyReceivedBoxes();
        calls(link::fldigiLogFieldCalls("txtBUrCall", boxText(m_window, "txtCall")));
        poll();
        m_pollTimer.start();
    });
}

void FldigiLinkPanel::stop() {
    ++m_generation;
    m_pollTimer.stop();
    m_client.cancelAll();
    m_linked = false;
    m_connecting = false;
    m_pollRunning = false;
    m_keyboardMode = false;
    m_transmit.reset();
    m_receive.reset();
    m_trxState = link::TrxState::Unknown;
    m_lastMhz = 0.0F;
    m_sentReportReceived.reset();
    m_sentExchange.reset();
    showStatus(QStringLiteral("Not connected."));
}

// ---------------------------------------------------------------- calls

void FldigiLinkPanel::call(const link::FldigiCall& c) {
    if (!m_linked) {
        return;
    }
    m_client.call(c.method, c.params);
}

void FldigiLinkPanel::calls(const std::vector<link::FldigiCall>& list) {
    for (const link::FldigiCall& c : list) {
        call(c);
    }
}

void FldigiLinkPanel::sendItem(const std::string& item, const std::string& latin1Value) {
    calls(link::fldigiLogFieldCalls(item, latin1Value));
}

void FldigiLinkPanel::copyReceivedBoxes() {
    // The entry row fills its boxes without change signals, so the received
    // report and exchange are compared at every poll and sent when changed.
    if (!m_linked || !core::equalsIgnoreCase(m_window.contest().prefs.contestMode, "RY")) {
        return;
    }
    for (auto* copy : {&m_sentReportReceived, &m_sentExchange}) {
        const char* name = copy == &m_sentExchange ? "txtSec" : "txtRSTR";
        std::string text = boxText(m_window, name);
        if (!copy->has_value() || **copy != text) {
            calls(link::fldigiLogFieldCalls(name, text));
            *copy = std::move(text);
        }
    }
}

void FldigiLinkPanel::passKey(int keyCode) {
    if (!m_linked) {
        return;
    }
    link::FldigiMessageValues values;
    values.ownCall = m_window.contest().prefs.ownCall;
    values.call = boxText(m_window, "txtCall");
    values.serial = boxText(m_window, "Label4");
    values.reportSent = boxText(m_window, "txtRSTS");
    if (const auto text = link::fldigiTransmitText(m_settings, keyCode, values)) {
        calls(m_transmit.send(*text));
    }
}

void FldigiLinkPanel::setKeyboardMode(bool on) {
    if (m_keyboardMode == on) {
        return;
    }
    m_keyboardMode = on;
    if (on) {
        call(link::FldigiCall{"main.tx", {}});
    } else {
        // What was typed goes out first; then fldigi returns to receive.
        call(link::FldigiCall{"text.add_tx", {link::XmlRpcValue::string(" ^r")}});
    }
}

void FldigiLinkPanel::keyboardText(const QString& text) {
    if (!m_linked || !m_keyboardMode) {
        return;
    }
    QString typed;
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            typed += QLatin1Char('\n');
        } else if (c.isPrint() && c != QLatin1Char('^')) {
            typed += c;
        }
    }
    if (!typed.isEmpty()) {
        const QByteArray bytes = typed.toUpper().toUtf8();
        call(link::FldigiCall{"text.add_tx", {link::XmlRpcValue::string(bytes.toStdString())}});
    }
}

// ---------------------------------------------------------------- polling

void FldigiLinkPanel::poll() {
    if (!m_linked || m_pollRunning) {
        return;
    }
    m_pollRunning = true;
    copyReceivedBoxes();
    const unsigned generation = m_generation;
    // The answers of one poll, and whether any of them failed to arrive.
    struct Round {
        int outstanding = 0;
        bool failed = false;
        link::XmlRpcResponse failure;
    };
    auto round = std::make_shared<Round>();
    auto answered = [this, generation, round](const link::XmlRpcResponse& r) {
        if (r.outcome == link::XmlRpcResponse::Outcome::Malformed && !round->failed) {
            round->failed = true;
            round->failure = r;
        }
        if (--round->outstanding > 0 || generation != m_generation) {
            return;
        }
        m_pollRunning = false;
        if (round->failed) {
            pollFailed(round->failure);
        } else {
            pollAnswered();
        }
    };
    auto ask = [this, round, generation,
                answered](const char* method, std::vector<link::XmlRpcValue> params,
                          std::function<void(const link::XmlRpcResponse&)> use) {
        ++round->outstanding;
        const bool queued = m_client.call(
            method, params, [this, generation, answered, use](const link::XmlRpcResponse& r) {
                if (generation == m_generation && r.ok() && use) {
                    use(r);
                }
                answered(r);
            });
        if (!queued) {
            --round->outstanding; // the queue is full: this read is skipped
        }
    };
    // The round's own reads are asked in order; the receive text asks one
    // more read of its own once the pane's length is known.
    ++round->outstanding; // held until every read below is queued
    ask("main.get_trx_state", {}, [this](const link::XmlRpcResponse& r) {
        m_trxState = link::parseTrxState(r.value.textOrBytes());
        calls(m_transmit.stateSeen(m_trxState));
    });
    ask("text.get_rx_length", {}, [this, ask](const link::XmlRpcResponse& r) {
        if (r.value.kind != link::XmlRpcValue::Kind::Int) {
            return;
        }
        const auto range = m_receive.lengthSeen(r.value.integer);
        if (!range) {
            return;
        }
        const link::FldigiReceiveText::Range asked = *range;
        ask("text.get_rx",
            {link::XmlRpcValue::int32(asked.start), link::XmlRpcValue::int32(asked.length)},
            [this, asked](const link::XmlRpcResponse& rx) {
                const std::string text = m_receive.textRead(asked, rx.value.textOrBytes());
                if (!text.empty()) {
                    QScrollBar* bar = m_receiveView->verticalScrollBar();
                    const bool atEnd = bar->value() == bar->maximum();
                    QTextCursor end(m_receiveView->document());
                    end.movePosition(QTextCursor::End);
                    end.insertText(utf8(text));
                    if (atEnd) {
                        bar->setValue(bar->maximum());
                    }
                }
            });
    });
    if (m_settings.rigSharedThroughFldigi) {
        ask("rig.get_frequency", {}, [this](const link::XmlRpcResponse& r) {
            if (r.value.kind != link::XmlRpcValue::Kind::Double) {
                return;
            }
            const auto mhz = link::fldigiFrequencyMhz(r.value.real);
            if (mhz && *mhz != m_lastMhz) {
                m_lastMhz = *mhz;
                m_window.bandFreqConversion(*mhz);
            }
        });
        ask("rig.get_mode", {}, [this](const link::XmlRpcResponse& r) {
            m_rigLabel->setText(QStringLiteral("Rig: %1 MHz, %2")
                                    .arg(static_cast<double>(m_lastMhz), 0, 'f', 3)
                                    .arg(utf8(r.value.textOrBytes()).left(20)));
        });
    }
    answered(link::XmlRpcResponse{link::XmlRpcResponse::Outcome::Value, {}, 0, {}, {}});
}

void FldigiLinkPanel::pollAnswered() {
    m_failedPolls = 0;
}

void FldigiLinkPanel::pollFailed(const link::XmlRpcResponse& r) {
    if (++m_failedPolls < kMaxFailedPolls) {
        return;
    }
    const QString text = QStringLiteral("The link with fldigi was lost (") + utf8(r.error) +
                         QStringLiteral(").  Start fldigi and click Reconnect.");
    stop();
    showStatus(text);
    emit linkLost(text);
}

// ---------------------------------------------------------------- clicks

bool FldigiLinkPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_receiveView->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            clickReceiveText(mouse->position().toPoint());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FldigiLinkPanel::clickReceiveText(const QPoint& viewportPos) {
    const QTextCursor at = m_receiveView->cursorForPosition(viewportPos);
    const QString line = at.block().text();
    int column = at.positionInBlock();
    // The cursor lands between characters: take the one under the pointer, or
    // the one before it at the end of a word.
    if (column >= line.size() || !line.at(column).isLetterOrNumber()) {
        --column;
    }
    if (column < 0 || column >= line.size()) {
        return;
    }
    const QByteArray bytes = line.toUtf8();
    const auto index = static_cast<std::size_t>(line.left(column).toUtf8().size());
    const link::ClickedWord word = link::clickedWordAt(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), index);
    if (word.target == link::ClickedWord::Target::None) {
        return;
    }
    EntryRowController& entry = m_window.entryRow();
    const core::EntryBox box =
        word.target == link::ClickedWord::Target::Call ? core::EntryBox::Call : core::EntryBox::Sec;
    entry.apply(entry.row().setText(box, word.text));
}

} // namespace wexon::ui
