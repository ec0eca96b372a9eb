#include "ui/keying/winkey_window.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/file_io.h"
#include "core/number_format.h"
#include "core/text_util.h"
#include "keying/cw_keyer.h"
#include "ui/keying/cw_window.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

constexpr int kPinValues[4] = {keying::kWinKeyPinPtt, keying::kWinKeyPinTone,
                               keying::kWinKeyPinKeyP3, keying::kWinKeyPinKeyP5};
constexpr const char* kPinNames[4] = {"PTT", "Tone", "P5 Off, P3 Key Out", "P5 Key Out, P3 Off"};
constexpr int kModeValues[4] = {keying::kWinKeyModeIambicA, keying::kWinKeyModeIambicB,
                                keying::kWinKeyModeUltimatic, keying::kWinKeyModeBug};
constexpr const char* kModeNames[4] = {"Iambic A", "Iambic B", "Ultimatic", "Bug Keyer"};

std::string latin1(const QString& s) {
    return s.toLatin1().toStdString();
}

} // namespace

WinKeyWindow::WinKeyWindow(keying::CwKeyer& keyer, const core::SettingsStore* portMap,
                           Prompts& prompts, std::string wkFile,
                           std::function<std::string()> ownCall, QWidget* parent)
    : QDialog(parent), m_cwKeyer(keyer), m_prompts(prompts), m_wkFile(std::move(wkFile)),
      m_ownCall(std::move(ownCall)), m_winKeyer(keyer.engine(), portMap) {
    setObjectName("frmWinKey");
    setWindowTitle(" WinKey Setup");
    buildControls();
    m_winKeyer.setOpenRequest([this] { cmdOpenWinkeyClick(); });
    m_winKeyer.setProblemHandler([this](const std::string& problem) {
        // The keyer was closed; the operator hears why on the message line.
        lblOpenStatus->setText("Closed");
        lblVersion->setText("Version #");
        m_cwKeyer.reportProblem(problem);
    });
    loadSettings();
}

WinKeyWindow::~WinKeyWindow() {
    m_winKeyer.wkClose();
}

void WinKeyWindow::buildControls() {
    auto* grid = new QGridLayout;
    auto box = [&](QLineEdit*& edit, const char* name, const char* label, int row) {
        edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setValidator(makeCharacterValidator(edit, "0123456789"));
        edit->installEventFilter(this);
        grid->addWidget(plainLabel(label, this), row, 0);
        grid->addWidget(edit, row, 1);
    };
    box(txtWKComPort, "txtWKComPort", "Com Port:", 0);
    box(txtWKWPM, "txtWKWPM", "WPM:", 1);
    box(txtWeight, "txtWeight", "Proportional amount added or subtracted (50 is standard).", 2);
    box(txtLeadIn, "txtLeadIn", "Lead in time for transmitter (10 ms increments).", 3);
    box(txtTail, "txtTail", "Tail time after keying has stopped (10 ms increments).", 4);
    box(txtRatio, "txtRatio", "Ratio of dits to dahs (Range: 33 - 66).", 5);

    auto* pinFrame = new QGroupBox("Pin 5 Configuration", this);
    auto* pinLayout = new QVBoxLayout(pinFrame);
    for (int i = 0; i < 4; ++i) {
        m_pinOptions[i] = new QRadioButton(kPinNames[i], pinFrame);
        m_pinOptions[i]->setObjectName(QString("optPin%1").arg(kPinValues[i]));
        pinLayout->addWidget(m_pinOptions[i]);
        connect(m_pinOptions[i], &QRadioButton::clicked, this, [this] { optionChosen(); });
    }
    auto* modeFrame = new QGroupBox("Keyer Mode", this);
    auto* modeLayout = new QVBoxLayout(modeFrame);
    for (int i = 0; i < 4; ++i) {
        m_modeOptions[i] = new QRadioButton(kModeNames[i], modeFrame);
        m_modeOptions[i]->setObjectName(QString("optMode%1").arg(kModeValues[i]));
        modeLayout->addWidget(m_modeOptions[i]);
        connect(m_modeOptions[i], &QRadioButton::clicked, this, [this] { optionChosen(); });
    }
    grid->addWidget(pinFrame, 6, 0);
    grid->addWidget(modeFrame, 6, 1);

    lblOpenStatus = plainLabel("Closed", this);
    lblOpenStatus->setObjectName("lblOpenStatus");
    lblVersion = plainLabel("Version #", this);
    lblVersion->setObjectName("lblVersion");
    grid->addWidget(lblOpenStatus, 7, 0);
    grid->addWidget(lblVersion, 7, 1);

    auto button = [&](const char* name, const char* caption, int row, int col) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        grid->addWidget(b, row, col);
        return b;
    };
    cmdOpenWinkey = button("cmdOpenWinkey", "Open", 8, 0);
    cmdCloseWinkey = button("cmdCloseWinkey", "Close", 8, 1);
    cmdStop = button("cmdStop", "Stop", 9, 0);
    auto* test = button("Command3", "Test", 9, 1);
    auto* bufferTest = button("Command1", "Buffer Test", 10, 0);
    button("Command2", "Defaults Test", 10, 1); // does nothing
    cmdDone = button("cmdDone", "&Done", 12, 1);
    m_typingBox = new QLineEdit(this);
    m_typingBox->setObjectName("Text1");
    m_typingBox->installEventFilter(this);
    grid->addWidget(m_typingBox, 11, 0, 1, 2);
    setLayout(grid);

    connect(cmdOpenWinkey, &QPushButton::clicked, this, [this] { cmdOpenWinkeyClick(); });
    connect(cmdCloseWinkey, &QPushButton::clicked, this, [this] { cmdCloseWinkeyClick(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStopClick(); });
    connect(test, &QPushButton::clicked, this, [this] { command3Click(); });
    connect(bufferTest, &QPushButton::clicked, this, [this] { command1Click(); });
    connect(cmdDone, &QPushButton::clicked, this, [this] { cmdDoneClick(); });
}

void WinKeyWindow::loadSettings() {
    m_loading = true;
    m_settings = keying::WinKeySettings{};
    m_settings.pinConfig = keying::kWinKeyPinTone;
    m_settings.mode = keying::kWinKeyModeIambicB;
    if (auto bytes = core::readWholeFile(m_wkFile, 64 * 1024)) {
        keying::readWinKeySettings(*bytes, m_settings);
    }
    txtWKWPM->setText(QString::fromLatin1(m_cwKeyer.settings().speedText));
    m_settings.wpmText = m_cwKeyer.settings().speedText;
    txtWeight->setText(QString::fromLatin1(m_settings.weightText));
    txtLeadIn->setText(QString::fromLatin1(m_settings.leadInText));
    txtTail->setText(QString::fromLatin1(m_settings.tailText));
    txtRatio->setText(QString::fromLatin1(m_settings.ratioText));
    txtWKComPort->setText(QString::number(m_settings.port));
    for (int i = 0; i < 4; ++i) {
        m_pinOptions[i]->setChecked(kPinValues[i] == m_settings.pinConfig);
        m_modeOptions[i]->setChecked(kModeValues[i] == m_settings.mode);
    }
    m_loading = false;
}

void WinKeyWindow::setSpeedText(const QString& text) {
    txtWKWPM->setText(text);
    m_settings.wpmText = latin1(text);
}

void WinKeyWindow::focusDone() {
    if (isVisible()) {
        cmdDone->setFocus();
    }
}

void WinKeyWindow::cmdOpenWinkeyClick() {
    if (m_beforeOpen) {
        m_beforeOpen();
    }
    leaveBox(txtWKComPort);
    int version = 0;
    int result = m_winKeyer.wkOpen(m_settings.port, version);
    if (result != keying::winkey::kAlreadyOpen && version == 0) {
        m_prompts.message(
            "Unable to establish connection with Winkey.",
            QString("Unable to establish connection with WinKey on com port %1.  Please check to "
                    "make sure that you have specified the correct port and that the Winkey "
                    "device is properly connected.")
                .arg(m_settings.port),
            Prompts::Icon::Exclamation);
    }
    std::string status = keying::winKeyOpenStatusText(result);
    if (!status.empty()) {
        lblOpenStatus->setText(QString::fromLatin1(status));
    }
    if (result != keying::winkey::kAlreadyOpen) {
        applyWinKeySettings();
        if (version != 0) {
            lblVersion->setText(QString("Version # %1").arg(version));
            focusDone();
        }
    }
}

void WinKeyWindow::cmdCloseWinkeyClick() {
    m_winKeyer.wkClose();
    lblOpenStatus->setText("Closed");
    lblVersion->setText("Version #");
    focusDone();
}

void WinKeyWindow::cmdStopClick() {
    m_winKeyer.wkClearBuffer();
    m_cwKeyer.engine().clearBuffer();
    focusDone();
}

void WinKeyWindow::appendAndTransmit(const std::string& text) {
    bool wasEmpty = m_cwKeyer.engine().bufferEmpty();
    m_cwKeyer.engine().append(text);
    if (wasEmpty) {
        m_winKeyer.transmitBuffer();
    }
}

void WinKeyWindow::command3Click() {
    appendAndTransmit("VVV TEST DE " + (m_ownCall ? m_ownCall() : std::string()));
    focusDone();
}

void WinKeyWindow::command1Click() {
    std::string text;
    for (int i = 0; i < 3; ++i) {
        text += "ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
    }
    appendAndTransmit(text);
}

void WinKeyWindow::cmdDoneClick() {
    for (QLineEdit* b : {txtWKComPort, txtWKWPM, txtWeight, txtLeadIn, txtTail, txtRatio}) {
        leaveBox(b);
    }
    // A file that cannot be written is left as it was, without a message.
    core::replaceAtomically(m_wkFile, keying::writeWinKeySettings(m_settings));
    hide();
}

void WinKeyWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

bool WinKeyWindow::applySpeed() {
    if (auto b = keying::winKeySpeedByte(m_settings.wpmText)) {
        m_winKeyer.wkWpm(*b);
        return true;
    }
    return false;
}
bool WinKeyWindow::applyWeight() {
    if (auto b = keying::winKeyWeightByte(m_settings.weightText)) {
        m_winKeyer.wkWeight(*b);
        return true;
    }
    return false;
}
bool WinKeyWindow::applyLeadTail() {
    auto lead = keying::winKeyTimeByte(m_settings.leadInText);
    auto tail = keying::winKeyTimeByte(m_settings.tailText);
    if (lead && tail) {
        m_winKeyer.wkPttLeadTail(*lead, *tail);
        return true;
    }
    return false;
}
bool WinKeyWindow::applyRatio() {
    if (auto b = keying::winKeyRatioByte(m_settings.ratioText)) {
        m_winKeyer.wkDitDahRatio(*b);
        return true;
    }
    return false;
}

void WinKeyWindow::applyWinKeySettings() {
    applySpeed();
    applyWeight();
    applyLeadTail();
    applyRatio();
    m_winKeyer.wkPinConfig(m_settings.pinConfig);
    m_winKeyer.wkSetMode(m_settings.mode);
}

void WinKeyWindow::leaveBox(QLineEdit* box) {
    std::string text = latin1(box->text());
    if (box == txtWKComPort) {
        text = keying::winKeyPortReset(text);
        auto port = core::parseNumber(text);
        m_settings.port = port && *port >= 0 && *port <= 255 ? static_cast<int>(*port) : 0;
    } else if (box == txtWKWPM) {
        m_settings.wpmText = text = keying::winKeySpeedReset(text);
        applySpeed();
    } else if (box == txtWeight) {
        m_settings.weightText = text = keying::winKeyWeightReset(text);
        applyWeight();
    } else if (box == txtLeadIn || box == txtTail) {
        text = keying::winKeyTimeReset(text);
        (box == txtLeadIn ? m_settings.leadInText : m_settings.tailText) = text;
        applyLeadTail();
    } else if (box == txtRatio) {
        m_settings.ratioText = text = keying::winKeyRatioReset(text);
        applyRatio();
    }
    if (latin1(box->text()) != text) {
        box->setText(QString::fromLatin1(text));
    }
}

void WinKeyWindow::optionChosen() {
    for (int i = 0; i < 4; ++i) {
        if (m_pinOptions[i]->isChecked()) {
            m_settings.pinConfig = kPinValues[i];
        }
        if (m_modeOptions[i]->isChecked()) {
            m_settings.mode = kModeValues[i];
        }
    }
    if (!m_loading && m_winKeyer.isOpen()) {
        applyWinKeySettings();
    }
}

bool WinKeyWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_typingBox && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        QString text = key->text();
        if (key->key() == Qt::Key_Tab || text.size() != 1) {
            return false;
        }
        char c = core::toUpperAscii(text[0].toLatin1());
        if (static_cast<unsigned char>(c) > 13) {
            m_typingBox->insert(QString(QChar::fromLatin1(c)));
            appendAndTransmit(std::string(1, c));
        }
        return true;
    }
    if (event->type() == QEvent::FocusOut) {
        if (auto* box = qobject_cast<QLineEdit*>(watched); box != nullptr && box != m_typingBox) {
            leaveBox(box);
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace wexon::ui
