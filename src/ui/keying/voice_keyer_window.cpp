#include "ui/keying/voice_keyer_window.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>

#include "core/file_io.h"
#include "core/number_format.h"
#include "keying/voice_settings.h"
#include "ui/keying/cw_window.h"
#include "ui/common/text_conversion.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

constexpr const char* kSettingsFileName = "wave2.txt";
constexpr std::size_t kSettingsFileLimit = 1024 * 1024;

// The parallel port address: no double quote (it could not be stored in
// "wave2.txt"), letters as capitals.
class AddressValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar& c : input) {
            if (c == QLatin1Char('"') || c.unicode() < 0x20 || c.unicode() > 0xFF) {
                return Invalid;
            }
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
                c = QChar(c.unicode() - 32);
            }
        }
        return Acceptable;
    }
};

QString fromPath(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

// The PTT lines as the keyer sees them: the window's serial port and
// parallel port.
class VoiceKeyerWindow::Outputs : public keying::PttOutputs {
  public:
    explicit Outputs(VoiceKeyerWindow& window) : m_window(window) {}
    bool serialOpen() const override { return m_window.m_serial.isOpen(); }
    void openSerial() override { m_window.openPhonePort(); }
    void setSerialLine(keying::PttLine line, bool on) override {
        if (line == keying::PttLine::Dtr) {
            m_window.m_serial.setDtr(on);
        } else {
            m_window.m_serial.setRts(on);
        }
    }
    bool writeParallelControl(unsigned address, unsigned char value) override {
        return m_window.writeParallel(address, value);
    }

  private:
    VoiceKeyerWindow& m_window;
};

VoiceKeyerWindow::VoiceKeyerWindow(VoiceKeyerServices services, QWidget* parent)
    : QDialog(parent), m_services(std::move(services)), m_serial(m_services.portMap),
      m_watchTimer(this), m_repeatTimer(this) {
    setObjectName("PhoneFrm");
    setWindowTitle("Phone Wave Selections");
    m_watchTimer.setObjectName("Timer1");
    m_repeatTimer.setObjectName("tmrRepeat");
    m_repeatTimer.setSingleShot(true);
    m_outputs = std::make_unique<Outputs>(*this);
    m_keyer = std::make_unique<keying::VoiceKeyer>(*m_services.player, *m_outputs, m_watch,
                                                   m_repeat);
    m_keyer->setWorkingFolder(m_services.workingFolder);
    connect(&m_watchTimer, &QTimer::timeout, this, [this] { m_keyer->watchTick(); });
    connect(&m_repeatTimer, &QTimer::timeout, this, [this] { m_keyer->repeatTick(); });
    buildControls();
    showSettings();
}

VoiceKeyerWindow::~VoiceKeyerWindow() {
    unload();
}

void VoiceKeyerWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* files = new QGridLayout;
    for (int i = 0; i < keying::VoiceSettings::kMessageCount; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString("Text%1").arg(i + 1));
        box->setAccessibleName(QString("F%1 wave file").arg(i + 1));
        auto* browseButton = new QPushButton("Browse", this);
        browseButton->setObjectName(QString("Command%1").arg(i + 2));
        browseButton->setAccessibleName(QString("Browse for the F%1 wave file").arg(i + 1));
        files->addWidget(plainLabel(QString("F%1").arg(i + 1), this), i, 0);
        files->addWidget(box, i, 1);
        files->addWidget(browseButton, i, 2);
        m_fileBoxes[i] = box;
        m_browseButtons[i] = browseButton;
        connect(box, &QLineEdit::textChanged, this, [this, i](const QString& text) {
            if (!m_loading) {
                m_keyer->setFile(i, toPath(text));
            }
        });
        connect(browseButton, &QPushButton::clicked, this, [this, i] { browse(i); });
    }
    layout->addLayout(files);

    auto* port = new QHBoxLayout;
    m_portBox = new QLineEdit(this);
    m_portBox->setObjectName("Text10");
    m_portBox->setAccessibleName("PTT serial port");
    port->addWidget(plainLabel("PTT Com Port (0 = none)", this));
    port->addWidget(m_portBox);
    layout->addLayout(port);

    auto* frame = new QGroupBox("PTT", this);
    frame->setObjectName("Frame1");
    auto* lines = new QHBoxLayout(frame);
    m_rtsOption = new QRadioButton("RTS", frame);
    m_rtsOption->setObjectName("Option1");
    m_dtrOption = new QRadioButton("DTR", frame);
    m_dtrOption->setObjectName("Option2");
    m_parallelOption = new QRadioButton("Parallel", frame);
    m_parallelOption->setObjectName("Option3");
    m_addressBox = new QLineEdit(frame);
    m_addressBox->setObjectName("Text11");
    m_addressBox->setAccessibleName("Parallel port address");
    m_addressBox->setValidator(new AddressValidator(m_addressBox));
    for (QRadioButton* option : {m_rtsOption, m_dtrOption, m_parallelOption}) {
        option->setAccessibleName(option->text() + " PTT");
        lines->addWidget(option);
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !m_loading) {
                lineChosen();
            }
        });
    }
    lines->addWidget(plainLabel("Address", frame));
    lines->addWidget(m_addressBox);
    connect(m_addressBox, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_loading) {
            m_keyer->setAddressText(toLatin1(text));
        }
    });
    layout->addWidget(frame);

    auto* loop = new QHBoxLayout;
    txtPHLoop = new QLineEdit(this);
    txtPHLoop->setObjectName("txtPHLoop");
    txtPHLoop->setAccessibleName("Repeat interval in seconds");
    txtPHLoop->setValidator(makeCharacterValidator(txtPHLoop, "0123456789."));
    loop->addWidget(plainLabel("Loop (Sec)", this));
    loop->addWidget(txtPHLoop);
    m_testButton = new QPushButton("Test", this);
    m_testButton->setObjectName("Command11");
    m_stopButton = new QPushButton("Stop", this);
    m_stopButton->setObjectName("Command12");
    m_stopButton->hide();
    loop->addWidget(m_testButton);
    loop->addWidget(m_stopButton);
    layout->addLayout(loop);

    m_doneButton = new QPushButton("Done", this);
    m_doneButton->setObjectName("Command1");
    layout->addWidget(m_doneButton);

    connect(m_testButton, &QPushButton::clicked, this, [this] { command11Click(); });
    connect(m_stopButton, &QPushButton::clicked, this, [this] { command12Click(); });
    connect(m_doneButton, &QPushButton::clicked, this, [this] { command1Click(); });
    for (QLineEdit* box : {m_portBox, txtPHLoop}) {
        box->installEventFilter(this);
    }
}

void VoiceKeyerWindow::showSettings() {
    m_loading = true;
    const keying::VoiceSettings& s = m_keyer->settings();
    for (int i = 0; i < keying::VoiceSettings::kMessageCount; ++i) {
        m_fileBoxes[i]->setText(fromPath(s.files[static_cast<std::size_t>(i)]));
    }
    m_portBox->setText(fromLatin1(s.portText));
    m_addressBox->setText(fromLatin1(s.addressText));
    txtPHLoop->setText(fromLatin1(s.repeatText));
    // No option at all is a valid choice, which exclusive buttons cannot show.
    for (QRadioButton* option : {m_rtsOption, m_dtrOption, m_parallelOption}) {
        option->setAutoExclusive(false);
    }
    m_rtsOption->setChecked(s.pttLine == keying::PttLine::Rts);
    m_dtrOption->setChecked(s.pttLine == keying::PttLine::Dtr);
    m_parallelOption->setChecked(s.pttLine == keying::PttLine::Parallel);
    for (QRadioButton* option : {m_rtsOption, m_dtrOption, m_parallelOption}) {
        option->setAutoExclusive(true);
    }
    m_loading = false;
}

void VoiceKeyerWindow::loadSettings() {
    keying::VoiceSettings s;
    const std::string path = core::joinPath(m_services.workingFolder, kSettingsFileName);
    if (auto bytes = core::readWholeFile(path, kSettingsFileLimit)) {
        keying::readVoiceSettings(*bytes, s);
    }
    m_keyer->applySettings(s);
    showSettings();
}

void VoiceKeyerWindow::lineChosen() {
    m_keyer->setPttLine(m_dtrOption->isChecked()        ? keying::PttLine::Dtr
                        : m_parallelOption->isChecked() ? keying::PttLine::Parallel
                        : m_rtsOption->isChecked()      ? keying::PttLine::Rts
                                                        : keying::PttLine::None);
    if (m_keyer->settings().pttLine != keying::PttLine::Parallel) {
        // The parallel port is let go once nothing is keyed on it.
        if (!m_keyer->keyed()) {
            m_parallel.close();
        }
    }
}

void VoiceKeyerWindow::leaveBox(QLineEdit* box) {
    const std::string text = toLatin1(box->text());
    if (box == m_portBox) {
        if (!core::isNumeric(text)) {
            box->setText("0");
        }
        m_keyer->setPortText(toLatin1(box->text()));
        if (m_keyer->portNumber() > 0) {
            openPhonePort();
        } else {
            // "0 for none": the port is let go for other programs.
            closePhonePort();
        }
    } else if (box == txtPHLoop) {
        if (m_keyer->setRepeatText(text) && m_services.prompts != nullptr) {
            m_services.prompts->beep();
        }
        box->setText(fromLatin1(m_keyer->settings().repeatText));
    }
}

void VoiceKeyerWindow::openPhonePort() {
    const int port = m_keyer->portNumber();
    if (port <= 0) {
        return;
    }
    if (m_services.closeCwPorts) {
        m_services.closeCwPorts();
    }
    closePhonePort();
    rig::PortRequest request;
    request.portNumber = port;
    // The lines only: the line settings of the port are left as they are.
    request.settings.clear();
    // Opening drops DTR and RTS.
    const std::string why = m_serial.open(request);
    if (why.empty()) {
        return;
    }
    const platform::PortFailureMessage failure =
        platform::portFailureMessage(platform::PortOwner::Voice);
    if (m_services.prompts != nullptr) {
        m_services.prompts->beep();
        m_services.prompts->message(failure.title, failure.text, Prompts::Icon::Information);
    }
    if (!isVisible() && m_services.runModal) {
        m_services.runModal(*this);
    }
}

void VoiceKeyerWindow::closePhonePort() {
    m_keyer->releaseSerial();
    m_serial.close();
}

bool VoiceKeyerWindow::writeParallel(unsigned address, unsigned char value) {
    if (!m_parallel.isOpen() || m_parallelAddress != address) {
        m_parallel.close();
        const std::string device = platform::parallelPortDevice(m_services.portMap, address);
        if (device.empty() || !m_parallel.open(device).empty()) {
            return false;
        }
        m_parallelAddress = address;
    }
    return m_parallel.writeControl(value);
}

void VoiceKeyerWindow::browse(int index) {
    if (index < 0 || index >= keying::VoiceSettings::kMessageCount ||
        m_services.prompts == nullptr) {
        return;
    }
    const QString chosen = m_services.prompts->openFile(
        "Open", fromPath(m_services.workingFolder), "(*.wav)");
    if (chosen.isEmpty()) {
        m_services.prompts->beep();
    } else {
        m_fileBoxes[index]->setText(chosen);
    }
    m_doneButton->setFocus();
}

void VoiceKeyerWindow::command1Click() {
    hide();
    const std::string path = core::joinPath(m_services.workingFolder, kSettingsFileName);
    // A file that cannot be written is left as it was, without a message.
    core::replaceAtomically(path, keying::writeVoiceSettings(m_keyer->settings()));
    if (m_services.focusMainWindow) {
        m_services.focusMainWindow();
    }
}

void VoiceKeyerWindow::command11Click() {
    m_keyer->fKeyPhone(keying::VoiceKeyer::kFirstKey);
    if (isVisible()) {
        m_doneButton->setFocus();
    }
    if (m_keyer->repeatArmed()) {
        m_stopButton->show();
    }
}

void VoiceKeyerWindow::command12Click() {
    m_keyer->disarmRepeat();
    m_stopButton->hide();
}

void VoiceKeyerWindow::unload() {
    m_keyer->close();
    m_serial.close();
    m_parallel.close();
}

void VoiceKeyerWindow::fKeyPhone(int keyCode) {
    m_keyer->fKeyPhone(keyCode);
}

bool VoiceKeyerWindow::isPlaying() const {
    return m_keyer->isPlaying();
}

void VoiceKeyerWindow::stop() {
    m_keyer->stop();
}

bool VoiceKeyerWindow::repeatArmed() const {
    return m_keyer->repeatArmed();
}

void VoiceKeyerWindow::stopRepeat() {
    m_keyer->disarmRepeat();
    m_stopButton->hide();
}

void VoiceKeyerWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

bool VoiceKeyerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !m_loading) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            leaveBox(box);
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace wexon::ui
