#include "ui/rig/rig_rigctld_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

#include "platform/rigctld_daemon.h"
#include "rig/rigctld_protocol.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

RigctldPanel::RigctldPanel(core::SettingsStore* settings, QWidget* parent)
    : QGroupBox("rigctld:", parent), m_settings(settings) {
    setObjectName("rigctldBox");
    auto* layout = new QGridLayout(this);
    auto edit = [&](QLineEdit*& box, const char* name, const char* accessible, const char* label,
                    int row) {
        box = new QLineEdit(this);
        box->setObjectName(name);
        box->setAccessibleName(accessible);
        layout->addWidget(plainLabel(label, this), row, 0);
        layout->addWidget(box, row, 1);
    };
    edit(m_host, "txtRigctldHost", "rigctld host", "Host:", 0);
    edit(m_port, "txtRigctldPort", "rigctld port", "Port:", 1);
    m_port->setMaxLength(5);
    m_start = new QCheckBox("Start rigctld", this);
    m_start->setObjectName("chkRigctldStart");
    m_start->setAccessibleName("Start rigctld");
    layout->addWidget(m_start, 2, 0, 1, 2);
    m_model = new QComboBox(this);
    m_model->setObjectName("cboRigctldModel");
    m_model->setAccessibleName("Hamlib model");
    layout->addWidget(plainLabel("Model:", this), 3, 0);
    layout->addWidget(m_model, 3, 1);
    edit(m_device, "txtRigctldDevice", "rigctld serial device", "Device:", 4);
    edit(m_speed, "txtRigctldSpeed", "rigctld serial speed", "Speed:", 5);
    m_speed->setValidator(new QIntValidator(0, 1000000, m_speed));

    auto read = [&](const char* key, const std::string& fallback) {
        return QString::fromStdString(m_settings ? m_settings->read(key, fallback) : fallback);
    };
    m_host->setText(read(rig::kRigctldHostKey, rig::kRigctldDefaultHost));
    m_port->setText(read(rig::kRigctldPortKey, std::to_string(rig::kRigctldDefaultPort)));
    m_start->setChecked(read(rig::kRigctldStartKey, "0") == "1");
    m_device->setText(read(rig::kRigctldDeviceKey, "/dev/ttyUSB0"));
    m_speed->setText(read(rig::kRigctldSpeedKey, ""));
    // Until the list comes, the stored model stands alone.
    const QString model = read(rig::kRigctldModelKey, "");
    if (!model.isEmpty()) {
        m_model->addItem(model, model.toInt());
    }

    connect(m_host, &QLineEdit::textChanged,
            [this](const QString& t) { store(rig::kRigctldHostKey, t.trimmed()); });
    connect(m_port, &QLineEdit::textChanged,
            [this](const QString& t) { store(rig::kRigctldPortKey, t.trimmed()); });
    connect(m_start, &QCheckBox::toggled, [this](bool on) {
        store(rig::kRigctldStartKey, on ? "1" : "0");
        if (on) {
            loadModels();
        }
    });
    connect(m_device, &QLineEdit::textChanged,
            [this](const QString& t) { store(rig::kRigctldDeviceKey, t.trimmed()); });
    connect(m_speed, &QLineEdit::textChanged,
            [this](const QString& t) { store(rig::kRigctldSpeedKey, t.trimmed()); });
    connect(m_model, &QComboBox::currentIndexChanged, [this](int index) {
        if (index >= 0) {
            store(rig::kRigctldModelKey, QString::number(m_model->itemData(index).toInt()));
        }
    });
}

void RigctldPanel::store(const char* key, const QString& value) {
    if (m_settings) {
        m_settings->write(key, value.toStdString());
    }
}

std::vector<QWidget*> RigctldPanel::editBoxes() const {
    return {m_host, m_port, m_device, m_speed};
}

bool RigctldPanel::startsDaemon() const {
    return m_start->isChecked();
}

rig::RigctldLaunch RigctldPanel::launch() const {
    rig::RigctldLaunch l;
    l.model = m_model->currentIndex() >= 0 ? m_model->currentData().toInt() : 0;
    l.device = m_device->text().trimmed().toStdString();
    const QString speed = m_speed->text().trimmed();
    l.speed = speed.isEmpty() ? 0 : speed.toInt();
    l.host = m_host->text().trimmed().toStdString();
    l.port = rig::rigctldPortNumber(m_port->text().toStdString()).value_or(0);
    return l;
}

RigctldPanel::~RigctldPanel() = default; // stops a listing still running

void RigctldPanel::loadModels() {
    if (m_listing) {
        return;
    }
    m_listing = std::make_unique<platform::HamlibModelListing>(
        [this](std::vector<rig::HamlibModel> models) { setModels(models); });
}

void RigctldPanel::setModels(const std::vector<rig::HamlibModel>& models) {
    if (models.empty()) {
        return; // keep what is there: the stored model still works
    }
    const int stored = m_model->currentIndex() >= 0 ? m_model->currentData().toInt() : 1;
    QSignalBlocker quiet(m_model);
    m_model->clear();
    int select = 0;
    for (const rig::HamlibModel& m : models) {
        if (m.number == stored) {
            select = m_model->count();
        }
        m_model->addItem(QString::fromStdString(m.label()), m.number);
    }
    m_model->setCurrentIndex(select);
    store(rig::kRigctldModelKey, QString::number(m_model->currentData().toInt()));
}

} // namespace wexon::ui
