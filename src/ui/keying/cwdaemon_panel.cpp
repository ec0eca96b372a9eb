#include "ui/keying/cwdaemon_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "core/number_format.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

std::string latin1(const QString& s) {
    return s.toLatin1().toStdString();
}

QString qt(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

int wholeNumber(const std::string& text, int fallback, int low, int high) {
    auto value = core::parseNumber(text);
    if (!value || *value < low || *value > high) {
        return fallback;
    }
    return static_cast<int>(*value);
}

} // namespace

CwdaemonPanel::CwdaemonPanel(QWidget* parent) : QGroupBox("cwdaemon", parent) {
    setObjectName("fraCwdaemon");
    auto* layout = new QGridLayout(this);
    auto box = [&](QLineEdit*& edit, const char* name, const char* label, int row,
                   const QString& pattern) {
        edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
        layout->addWidget(plainLabel(label, this), row, 0);
        layout->addWidget(edit, row, 1);
    };
    // A host name or address: letters, digits, dots, hyphens, colons.
    box(m_hostBox, "txtCwdaemonHost", "Host:", 0, "[A-Za-z0-9.:-]{0,253}");
    box(m_portBox, "txtCwdaemonPort", "Port:", 1, "[0-9]{0,5}");
    m_pttCheck = new QCheckBox("Key PTT through each message", this);
    m_pttCheck->setObjectName("chkCwdaemonPtt");
    layout->addWidget(m_pttCheck, 2, 0, 1, 2);
    box(m_pttLeadBox, "txtCwdaemonPttLead", "PTT lead (ms):", 3, "[0-9]{0,4}");
    box(m_toneBox, "txtCwdaemonTone", "Side tone (Hz, 0 off):", 4, "[0-9]{0,4}");
    m_tuneButton = new QPushButton("Tune", this);
    m_tuneButton->setObjectName("cmdCwdaemonTune");
    m_tuneButton->setAutoDefault(false);
    m_tuneButton->setToolTip("Key down for up to 10 seconds; Tune again or Esc stops.");
    layout->addWidget(m_tuneButton, 5, 0, 1, 2);

    for (QLineEdit* target : {m_hostBox, m_portBox}) {
        connect(target, &QLineEdit::editingFinished, this, [this, target] {
            if (!m_showing && target->isModified() && m_targetEdited) {
                target->setModified(false);
                m_targetEdited();
            }
        });
    }
    for (QLineEdit* option : {m_pttLeadBox, m_toneBox}) {
        connect(option, &QLineEdit::editingFinished, this, [this] {
            if (!m_showing && m_optionsEdited) {
                m_optionsEdited();
            }
        });
    }
    connect(m_pttCheck, &QCheckBox::toggled, this, [this] {
        if (!m_showing && m_optionsEdited) {
            m_optionsEdited();
        }
    });
    connect(m_tuneButton, &QPushButton::clicked, this, [this] {
        if (m_tune) {
            m_tune();
        }
    });
}

void CwdaemonPanel::showSettings(const keying::CwSettings& settings) {
    m_showing = true;
    m_hostBox->setText(qt(settings.cwdaemonHost));
    m_portBox->setText(qt(settings.cwdaemonPortText));
    m_pttCheck->setChecked(settings.cwdaemonPtt);
    m_pttLeadBox->setText(qt(settings.cwdaemonPttLeadText));
    m_toneBox->setText(qt(settings.cwdaemonToneText));
    m_showing = false;
}

void CwdaemonPanel::readSettings(keying::CwSettings& settings) const {
    settings.cwdaemonHost = latin1(m_hostBox->text().trimmed());
    settings.cwdaemonPortText = latin1(m_portBox->text());
    settings.cwdaemonPtt = m_pttCheck->isChecked();
    settings.cwdaemonPttLeadText = latin1(m_pttLeadBox->text());
    settings.cwdaemonToneText = latin1(m_toneBox->text());
}

keying::CwdaemonOptions CwdaemonPanel::optionsFrom(const keying::CwSettings& settings) {
    keying::CwdaemonOptions options;
    options.ptt = settings.cwdaemonPtt;
    options.pttLeadMs = wholeNumber(settings.cwdaemonPttLeadText, 50, 0, 2000);
    options.toneHz = wholeNumber(settings.cwdaemonToneText, 800, 0, 4000);
    return options;
}

int CwdaemonPanel::portFrom(const keying::CwSettings& settings) {
    return wholeNumber(settings.cwdaemonPortText, 0, 1, 65535);
}

} // namespace wexon::ui
