#include "ui/net/network_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/plain_text.h"
#include "ui/common/text_conversion.h"

namespace wexon::ui {

namespace {

// The messages kept in the window; older ones scroll away.
constexpr int kLogLines = 500;

QLineEdit* box(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QString categoryCaption(net::Category c) {
    switch (c) {
    case net::Category::SingleOp:
        return "Single-Op";
    case net::Category::MultiSingle:
        return "Multi-Single";
    case net::Category::MultiTwo:
        return "Multi-Two";
    case net::Category::MultiUnlimited:
        return "Multi-Unlimited";
    case net::Category::MultiDistributed:
        return "Multi-Distributed";
    }
    return {};
}

} // namespace

NetworkWindow::NetworkWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("frmNetwork");
    setWindowTitle("Network");
    auto* outer = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    outer->addLayout(form);

    m_networkOnBox = new QCheckBox("Log with other stations over the network", this);
    m_networkOnBox->setObjectName("chkNetworkOn");
    form->addRow(m_networkOnBox);
    m_brokerHostBox = box(this, "txtBrokerHost");
    form->addRow("Broker host:", m_brokerHostBox);
    m_brokerPortBox = box(this, "txtBrokerPort");
    m_brokerPortBox->setValidator(new QIntValidator(1, 65535, m_brokerPortBox));
    form->addRow("Broker port:", m_brokerPortBox);
    m_userBox = box(this, "txtUser");
    form->addRow("User name:", m_userBox);
    m_passwordBox = box(this, "txtPassword");
    m_passwordBox->setEchoMode(QLineEdit::Password);
    form->addRow("Password:", m_passwordBox);
    m_tlsBox = new QCheckBox("Use TLS", this);
    m_tlsBox->setObjectName("chkTls");
    form->addRow(m_tlsBox);
    m_caFileBox = box(this, "txtCaFile");
    form->addRow("CA certificate file:", m_caFileBox);
    m_contestIdBox = box(this, "txtContestId");
    m_contestIdBox->setPlaceholderText("same on every station, e.g. WPX-CW-2026");
    form->addRow("Contest id:", m_contestIdBox);
    m_stationNameBox = box(this, "txtStationName");
    m_stationNameBox->setMaxLength(16);
    form->addRow("This station's name:", m_stationNameBox);
    m_operatorBox = box(this, "txtOperator");
    form->addRow("Operator's call:", m_operatorBox);
    m_categoryBox = new QComboBox(this);
    m_categoryBox->setObjectName("cboCategory");
    for (net::Category c : net::kCategories) {
        m_categoryBox->addItem(categoryCaption(c), QString::fromStdString(net::categoryName(c)));
    }
    form->addRow("Category:", m_categoryBox);
    m_transmitterBox = new QComboBox(this);
    m_transmitterBox->setObjectName("cboTransmitter");
    m_transmitterBox->addItems({"0 (run)", "1 (second)"});
    form->addRow("Transmitter:", m_transmitterBox);
    m_serialSchemeLabel = plainLabel(QString(), this);
    m_serialSchemeLabel->setObjectName("lblSerialScheme");
    form->addRow("Serial numbers:", m_serialSchemeLabel);
    connect(m_categoryBox, &QComboBox::currentIndexChanged, this, [this] { categoryChanged(); });

    m_stateLabel = plainLabel("Network off", this);
    m_stateLabel->setObjectName("lblNetworkWindowState");
    outer->addWidget(m_stateLabel);
    m_logView = new QPlainTextEdit(this);
    m_logView->setObjectName("txtNetworkLog");
    m_logView->setReadOnly(true);
    m_logView->setMaximumBlockCount(kLogLines);
    outer->addWidget(m_logView, 1);

    auto* buttons = new QHBoxLayout;
    auto* cabrillo = new QPushButton("Write station Cabrillo…", this);
    cabrillo->setObjectName("cmdStationCabrillo");
    connect(cabrillo, &QPushButton::clicked, this, &NetworkWindow::stationCabrilloRequested);
    auto* apply = new QPushButton("&Apply", this);
    apply->setObjectName("cmdNetworkApply");
    connect(apply, &QPushButton::clicked, this, &NetworkWindow::applyRequested);
    auto* close = new QPushButton("&Close", this);
    close->setObjectName("cmdNetworkClose");
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    buttons->addWidget(cabrillo);
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(close);
    outer->addLayout(buttons);
    categoryChanged();
}

void NetworkWindow::showSettings(const net::NetworkSettings& s) {
    m_networkOnBox->setChecked(s.on);
    m_brokerHostBox->setText(fromLatin1(s.host));
    m_brokerPortBox->setText(QString::number(s.port));
    m_userBox->setText(fromLatin1(s.user));
    m_passwordBox->setText(fromLatin1(s.password));
    m_tlsBox->setChecked(s.tls);
    m_caFileBox->setText(QString::fromLocal8Bit(s.caFile.c_str()));
    m_stationNameBox->setText(fromLatin1(s.station));
    m_operatorBox->setText(fromLatin1(s.op));
    m_contestIdBox->setText(fromLatin1(s.contestId));
    m_categoryBox->setCurrentIndex(
        m_categoryBox->findData(QString::fromStdString(net::categoryName(s.category))));
    m_transmitterBox->setCurrentIndex(s.transmitter == 1 ? 1 : 0);
    categoryChanged();
}

net::NetworkSettings NetworkWindow::settings() const {
    net::NetworkSettings s;
    s.on = m_networkOnBox->isChecked();
    s.host = toLatin1(m_brokerHostBox->text().trimmed());
    s.port = m_brokerPortBox->text().trimmed().toInt();
    s.user = toLatin1(m_userBox->text().trimmed());
    s.password = toLatin1(m_passwordBox->text());
    s.tls = m_tlsBox->isChecked();
    s.caFile = m_caFileBox->text().trimmed().toLocal8Bit().toStdString();
    s.station = toLatin1(m_stationNameBox->text().trimmed().toUpper());
    s.op = toLatin1(m_operatorBox->text().trimmed().toUpper());
    s.contestId = toLatin1(m_contestIdBox->text().trimmed());
    s.category = net::categoryFromName(m_categoryBox->currentData().toString().toStdString());
    s.transmitter = m_transmitterBox->currentIndex() == 1 ? 1 : 0;
    return s;
}

void NetworkWindow::setState(const QString& text) { m_stateLabel->setText(text); }

void NetworkWindow::appendLog(const QString& line) { m_logView->appendPlainText(line); }

void NetworkWindow::categoryChanged() {
    const auto c = net::categoryFromName(m_categoryBox->currentData().toString().toStdString());
    m_serialSchemeLabel->setText(net::serialsPerBand(c)
                                     ? "a separate sequence on each band"
                                     : "one sequence for the whole station");
    m_transmitterBox->setEnabled(c == net::Category::MultiTwo);
}

} // namespace wexon::ui
