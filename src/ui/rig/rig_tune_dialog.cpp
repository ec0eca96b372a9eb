#include "ui/rig/rig_tune_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>

#include "core/number_format.h"
#include "rig/rig_format.h"
#include "rig/rig_profiles.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

struct Step {
    const char* caption;
    double mhz;
};
// By index: +10 Hz, -10 Hz, +1 MHz, -1 MHz, +5 kHz, -5 kHz, +1 kHz, -1 kHz, +100 Hz, -100 Hz.
constexpr Step kSteps[10] = {{"10 Hz", 0.00001}, {"10 Hz", -0.00001}, {"1 MHz", 1.0},
                             {"1 MHz", -1.0},    {"5 KHz", 0.005},    {"5 KHz", -0.005},
                             {"1 KHz", 0.001},   {"1 KHz", -0.001},   {"100 Hz", 0.0001},
                             {"100 Hz", -0.0001}};

struct BandJump {
    const char* caption;
    const char* mhz;
};
constexpr BandJump kBands[16] = {
    {"160", "1.9"},    {"80", "3.75"},   {"60", "5.368"},  {"40", "7.15"},
    {"30", "10.13"},   {"20", "14.175"}, {"17", "18.118"}, {"15", "21.225"},
    {"12", "24.94"},   {"10", "28.5"},   {"6", "52"},      {"2", "146"},
    {"1.25", "223.5"}, {"70", "435"},    {"33", "915"},    {"23", "1270"}};

constexpr float kScanSteps[5] = {0.0005f, 0.0001f, 0.00003f, 0.00001f, 0.0025f};
constexpr const char* kScanCaptions[5] = {"500 Hz", "100 Hz", "30 Hz", "10 Hz", "2.5 KHz"};

bool numeric(const QLineEdit* box) {
    return core::isNumeric(box->text().toLatin1().toStdString());
}
double value(const QLineEdit* box) {
    return core::parseNumber(box->text().toLatin1().toStdString()).value_or(0.0);
}

} // namespace

RigTuneDialog::RigTuneDialog(RigTuner& tuner, QWidget* parent) : QDialog(parent), m_tuner(tuner) {
    setObjectName("frmRigTune");
    setWindowTitle(kRigTuneCaption);
    auto* grid = new QGridLayout(this);
    txtFreq = new QLineEdit(this);
    txtFreq->setObjectName("txtFreq");
    txtFreq->setAccessibleName("Frequency");
    Command1 = new QPushButton("&Go", this);
    Command1->setObjectName("Command1");
    grid->addWidget(txtFreq, 0, 0, 1, 3);
    grid->addWidget(Command1, 0, 3);

    auto* steps = new QGroupBox("Step", this);
    auto* stepGrid = new QGridLayout(steps);
    for (int i = 0; i < 10; ++i) {
        cmdTune[i] =
            new QPushButton(QString(kSteps[i].mhz > 0 ? "+" : "-") + kSteps[i].caption, steps);
        cmdTune[i]->setObjectName(QString("cmdTune_%1").arg(i));
        cmdTune[i]->setEnabled(false);
        stepGrid->addWidget(cmdTune[i], i / 2, i % 2);
        connect(cmdTune[i], &QPushButton::clicked, [this, i] { cmdTuneClick(i); });
    }
    grid->addWidget(steps, 1, 0);

    auto* bands = new QGroupBox("Band", this);
    auto* bandGrid = new QGridLayout(bands);
    for (int i = 0; i < 16; ++i) {
        cmdBand[i] = new QPushButton(kBands[i].caption, bands);
        cmdBand[i]->setObjectName(QString("cmdBand_%1").arg(i));
        bandGrid->addWidget(cmdBand[i], i / 4, i % 4);
        connect(cmdBand[i], &QPushButton::clicked, [this, i] { cmdBandClick(i); });
    }
    grid->addWidget(bands, 1, 1);

    auto* modes = new QGroupBox("Mode", this);
    auto* modeGrid = new QGridLayout(modes);
    const std::pair<const char*, const char*> modeButtons[] = {
        {"cmdCW", "&CW"}, {"cmdLSB", "&LSB"}, {"cmdUSB", "&USB"},
        {"cmdAM", "AM"},  {"cmdFM", "FM"},    {"cmdRTTY", "&RTTY"}};
    static constexpr const char* kModes[] = {"CW", "LSB", "USB", "AM", "FM", "RTTY"};
    for (int i = 0; i < 6; ++i) {
        auto* b = new QPushButton(modeButtons[i].second, modes);
        b->setObjectName(modeButtons[i].first);
        modeGrid->addWidget(b, i / 2, i % 2);
        const char* mode = kModes[i];
        connect(b, &QPushButton::clicked, [this, mode] { modeClick(mode); });
    }
    grid->addWidget(modes, 1, 2);

    auto* scan = new QGroupBox("Scan Steps", this);
    auto* scanGrid = new QGridLayout(scan);
    chkScan = new QCheckBox("Scan", scan);
    chkScan->setObjectName("chkScan");
    txtFrom = new QLineEdit("1.8", scan);
    txtFrom->setObjectName("txtFrom");
    txtTo = new QLineEdit("54", scan);
    txtTo->setObjectName("txtTo");
    scanGrid->addWidget(chkScan, 0, 0);
    scanGrid->addWidget(plainLabel("From:", scan), 1, 0);
    scanGrid->addWidget(txtFrom, 1, 1);
    scanGrid->addWidget(plainLabel("To:", scan), 2, 0);
    scanGrid->addWidget(txtTo, 2, 1);
    for (int i = 0; i < 5; ++i) {
        m_stepOptions[i] = new QRadioButton(kScanCaptions[i], scan);
        m_stepOptions[i]->setObjectName(QString("Option%1").arg(i + 1));
        scanGrid->addWidget(m_stepOptions[i], 3 + i, 0, 1, 2);
    }
    m_stepOptions[0]->setChecked(true);
    grid->addWidget(scan, 1, 3);
    connect(chkScan, &QCheckBox::clicked, [this] { chkScanClick(); });

    cmdDone = new QPushButton("&Done", this);
    cmdDone->setObjectName("cmdDone");
    grid->addWidget(cmdDone, 2, 3);
    connect(cmdDone, &QPushButton::clicked, [this] { hide(); });
    connect(Command1, &QPushButton::clicked, [this] { command1Click(); });
    connect(txtFreq, &QLineEdit::textChanged, [this] {
        const bool ok = numeric(txtFreq);
        for (QPushButton* b : cmdTune) {
            b->setEnabled(ok);
        }
    });

    Timer1 = new QTimer(this);
    Timer1->setInterval(kScanIntervalMs);
    connect(Timer1, &QTimer::timeout, [this] { timer1Timer(); });
    Timer1->start();

    // The window sees every key before its controls.
    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
    }
}

void RigTuneDialog::command1Click() {
    if (!numeric(txtFreq)) {
        return;
    }
    const float mhz = static_cast<float>(value(txtFreq));
    if (!rig::isNoRig(m_tuner.rigName())) {
        m_tuner.changeFrequency(mhz);
    }
}

void RigTuneDialog::cmdTuneClick(int index) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value(txtFreq) + kSteps[index].mhz);
    txtFreq->setText(buf);
    command1Click();
    cmdDone->setFocus();
}

void RigTuneDialog::cmdBandClick(int index) {
    txtFreq->setText(kBands[index].mhz);
    command1Click();
}

void RigTuneDialog::modeClick(const char* mode) {
    m_tuner.changeMode(0.0f, mode);
    cmdDone->setFocus();
}

void RigTuneDialog::chkScanClick() {
    if (chkScan->isChecked() && !numeric(txtFreq)) {
        txtFreq->setText(txtFrom->text());
    }
    Command1->setFocus();
}

float RigTuneDialog::scanStep() const {
    for (int i = 0; i < 5; ++i) {
        if (m_stepOptions[i]->isChecked()) {
            return kScanSteps[i];
        }
    }
    return kScanSteps[0];
}

void RigTuneDialog::timer1Timer() {
    if (!chkScan->isChecked() || !numeric(txtFrom) || !numeric(txtTo) || !numeric(txtFreq)) {
        return;
    }
    float f = static_cast<float>(value(txtFreq)) + scanStep();
    if (f > static_cast<float>(value(txtTo))) {
        f = static_cast<float>(value(txtFrom)); // wrap to the start
    }
    txtFreq->setText(QString::fromLatin1(rig::formatScanFrequency(f).c_str()));
    command1Click();
}

bool RigTuneDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    chkScan->setChecked(false); // any key stops a scan
    if (watched == txtFreq && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        command1Click();
        txtFreq->setFocus();
        txtFreq->setCursorPosition(static_cast<int>(txtFreq->text().size()));
        return true;
    }
    if ((watched == txtFreq || watched == txtFrom || watched == txtTo) && !key->text().isEmpty()) {
        const int c = key->text().at(0).unicode();
        if (c != 8 && (c < 46 || c > 57)) {
            return true; // only digits, ".", "/" and backspace
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace wexon::ui
