#include "ui/station/broadcast_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "output/contact_broadcast.h"
#include "ui/common/plain_text.h"
#include "ui/common/text_conversion.h"
#include "ui/station/station_broadcasts.h"

namespace wexon::ui {

namespace {

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QLineEdit* makeLine(QWidget* parent, const char* name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

} // namespace

BroadcastWindow::BroadcastWindow(StationBroadcasts& broadcasts, core::SettingsStore& settings,
                                 QWidget* parent)
    : QDialog(parent), m_broadcasts(broadcasts), m_settings(settings) {
    setObjectName("frmBroadcasts");
    setWindowTitle("Broadcasts");
    auto* outer = new QVBoxLayout(this);
    m_enabledCheck = makeCheck(this, "chkBroadcastOn", "&Send UDP broadcasts");
    outer->addWidget(m_enabledCheck);
    auto* form = new QFormLayout;
    m_destinationsBox = makeLine(this, "txtBroadcastDestinations", 1024);
    m_destinationsBox->setToolTip("address:port entries separated by commas, e.g. "
                                  "127.0.0.1:12060, 192.168.1.255:12060");
    form->addRow("&Destinations:", m_destinationsBox);
    m_operatorBox = makeLine(this, "txtBroadcastOperator", 32);
    m_operatorBox->setPlaceholderText("the station's call");
    form->addRow("&Operator:", m_operatorBox);
    m_stationNameBox = makeLine(this, "txtBroadcastStation", 64);
    m_stationNameBox->setPlaceholderText("the computer's name");
    form->addRow("Station &name:", m_stationNameBox);
    outer->addLayout(form);
    m_contactsCheck = makeCheck(this, "chkBroadcastContacts", "&Contacts logged, changed, deleted");
    m_radioCheck = makeCheck(this, "chkBroadcastRadio", "&Rig frequency and mode");
    m_scoreCheck = makeCheck(this, "chkBroadcastScore", "S&core");
    outer->addWidget(m_contactsCheck);
    outer->addWidget(m_radioCheck);
    outer->addWidget(m_scoreCheck);
    m_errorLabel = plainLabel(QString(), this);
    m_errorLabel->setObjectName("lblBroadcastError");
    m_errorLabel->setStyleSheet("color: #C00000;");
    outer->addWidget(m_errorLabel);
    m_statusLabel = plainLabel(QString(), this);
    m_statusLabel->setObjectName("lblBroadcastStatus");
    outer->addWidget(m_statusLabel);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdBroadcastOk");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cmdBroadcastCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (accept2()) {
            hide();
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { hide(); });
    outer->addWidget(buttons);
    loadSettings();
}

void BroadcastWindow::loadSettings() {
    const auto s = output::BroadcastSettings::load(m_settings);
    m_enabledCheck->setChecked(s.enabled);
    m_destinationsBox->setText(fromLatin1(s.destinations));
    m_contactsCheck->setChecked(s.contacts);
    m_radioCheck->setChecked(s.radio);
    m_scoreCheck->setChecked(s.score);
    m_operatorBox->setText(fromLatin1(s.operatorCall));
    m_stationNameBox->setText(fromLatin1(s.stationName));
    m_errorLabel->clear();
    showStatus(m_broadcasts.broadcastStatus());
}

bool BroadcastWindow::accept2() {
    const auto parsed = output::parseBroadcastDestinations(toLatin1(m_destinationsBox->text()));
    if (!parsed.error.empty()) {
        m_errorLabel->setText("Not a destination: " + fromLatin1(parsed.error));
        return false;
    }
    if (m_enabledCheck->isChecked() && parsed.destinations.empty()) {
        m_errorLabel->setText("Give at least one destination, e.g. 127.0.0.1:12060.");
        return false;
    }
    output::BroadcastSettings s;
    s.enabled = m_enabledCheck->isChecked();
    s.destinations = output::formatBroadcastDestinations(parsed.destinations);
    s.contacts = m_contactsCheck->isChecked();
    s.radio = m_radioCheck->isChecked();
    s.score = m_scoreCheck->isChecked();
    s.operatorCall = toLatin1(m_operatorBox->text().trimmed().toUpper());
    s.stationName = toLatin1(m_stationNameBox->text().trimmed());
    s.save(m_settings);
    m_errorLabel->clear();
    m_broadcasts.applySettings();
    showStatus(m_broadcasts.broadcastStatus());
    return true;
}

void BroadcastWindow::showStatus(const QString& text) {
    m_statusLabel->setText(text);
}

} // namespace wexon::ui
