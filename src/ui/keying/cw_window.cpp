#include "ui/keying/cw_window.h"

#include <cmath>

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
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
#include "keying/cw_messages.h"
#include "keying/cw_timing.h"
#include "keying/cwdaemon_protocol.h"
#include "keying/port_address.h"
#include "platform/cw_window_post.h"
#include "platform/parallel_port.h"
#include "platform/serial_port.h"
#include "ui/keying/code_practice_window.h"
#include "ui/keying/cw_strings_window.h"
#include "ui/keying/cwdaemon_panel.h"
#include "ui/keying/winkey_window.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

class CharacterValidator : public QValidator {
  public:
    CharacterValidator(QObject* parent, QString allowed)
        : QValidator(parent), m_allowed(std::move(allowed)) {}
    State validate(QString& input, int&) const override {
        for (QChar c : input) {
            if (!m_allowed.contains(c)) {
                return Invalid;
            }
        }
        return Acceptable;
    }

  private:
    QString m_allowed;
};

// Message boxes: Latin-1 text on one line, typed letters as capitals.
class MessageValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar& c : input) {
            if (c.unicode() < 0x20 || c.unicode() > 0xFF) {
                return Invalid;
            }
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
                c = QChar(c.unicode() - 32);
            }
        }
        return Acceptable;
    }
};

std::string latin1(const QString& s) {
    return s.toLatin1().toStdString();
}

QString qt(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr const char* kMessageBoxNames[keying::CwSettings::kMessageCount] = {
    "Text1", "Text2", "Text3", "Text4",  "Text5", "Text6",
    "Text7", "Text8", "Text9", "Text12", "Text13"};
constexpr const char* kMessageKeyNames[keying::CwSettings::kMessageCount] = {
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11"};

} // namespace

QValidator* makeCharacterValidator(QObject* parent, const QString& allowed) {
    return new CharacterValidator(parent, allowed);
}

QValidator* makeCapitalsValidator(QObject* parent) {
    return new MessageValidator(parent);
}

CwWindow::CwWindow(keying::CwHost& host, core::SettingsStore& settings, const core::Clock& clock,
                   Prompts& prompts, CwWindowServices services, QWidget* parent)
    : QDialog(parent), m_host(host), m_settings(settings), m_prompts(prompts),
      m_services(std::move(services)) {
    setObjectName("CWFrm");
    setWindowTitle("CW String Selections");
    keying::RealTimeRequest realTime;
    realTime.service = &m_realTimeService;
    m_keyer = std::make_unique<keying::CwKeyer>(host, m_elementClock, clock, std::move(realTime));
    m_keyer->setPost(platform::windowThreadPost(this));
    m_keyer->setLineSetup([this] {
        int iface = m_keyer->settings().interface;
        if ((iface == 1 || iface == 2) && !m_serialLine.isOpen()) {
            cwSetup();
        }
    });
    m_keyer->setRepeatTimerChanged([this] { followRepeatTimer(); });
    m_cwdaemonLink =
        std::make_unique<platform::CwdaemonLink>(m_keyer->engine(), m_keyer->reports());
    m_keyer->setCwdaemon(&m_cwdaemonLink->sender());
    m_cwdaemonLink->sender().setProblemReport([this](const std::string& text) {
        // After the end of sending has reached the message line.
        QMetaObject::invokeMethod(
            this, [this, text] { m_keyer->reportProblem(text); }, Qt::QueuedConnection);
    });
    m_repeatTimer.setObjectName("tmrRepeat");
    m_repeatTimer.setSingleShot(true);
    connect(&m_repeatTimer, &QTimer::timeout, this, [this] {
        if (!m_keyer->pollRepeat()) {
            followRepeatTimer();
        }
    });

    // The window's own load: the timing method and the loop calibration.
    auto method = keying::parseTimingMethod(m_settings.read(kUserCwSelectionKey, "Timer"));
    m_keyer->setTimingMethod(method.value_or(keying::TimingMethod::Timer));
    auto loops = core::parseNumber(m_settings.read(kUserCwLoopOffsetKey, "0"));
    m_keyer->setLoopsPer60ms(loops && *loops >= 0 ? *loops : 0.0);

    buildControls();
    showSettings();
}

CwWindow::~CwWindow() {
    delete m_stringsWindow;
    m_keyer->setCwdaemon(nullptr);
    m_cwdaemonLink->close();
    m_keyer->engine().clearBuffer();
    m_keyer->setKeyLine(nullptr);
    m_keyer->setWinKey(nullptr);
}

void CwWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* messages = new QGridLayout;
    for (int i = 0; i < keying::CwSettings::kMessageCount; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(kMessageBoxNames[i]);
        box->setValidator(new MessageValidator(box));
        messages->addWidget(plainLabel(kMessageKeyNames[i], this), i, 0);
        messages->addWidget(box, i, 1);
        m_messageBoxes[i] = box;
        connect(box, &QLineEdit::textChanged, this,
                [this, i](const QString& text) { m_keyer->setMessage(i, latin1(text)); });
    }
    layout->addLayout(messages);
    layout->addWidget(plainLabel(
        "Wildcards are $ for Call, * for RST  and # for Number (where applicable).", this));
    layout->addWidget(plainLabel("AR [    SK ]    KN ;    CL \\    BT =", this));

    auto* settings = new QGridLayout;
    auto box = [&](QLineEdit*& edit, const char* name, const char* label, int row,
                   const QString& allowed) {
        edit = new QLineEdit(this);
        edit->setObjectName(name);
        if (!allowed.isEmpty()) {
            edit->setValidator(makeCharacterValidator(edit, allowed));
        }
        edit->installEventFilter(this);
        settings->addWidget(plainLabel(label, this), row, 0);
        settings->addWidget(edit, row, 1);
    };
    box(m_portBox, "Text10", "Com Port (0 for none):", 0, "0123456789:");
    box(m_speedBox, "Text11", "WPM:", 1, "0123456789:");
    box(m_addressBox, "Text14", "Printer port address:", 2, {});
    box(txtSpace, "txtSpace", "Word space adjustment:", 3, "-./0123456789:");
    box(txtCWLoop, "txtCWLoop", "Repeat F1 every (seconds):", 4, "0123456789.");
    box(txtLoop, "txtLoop", "Loop Delay", 5, {});
    m_loopLabel = qobject_cast<QLabel*>(settings->itemAtPosition(5, 0)->widget());
    layout->addLayout(settings);

    connect(m_speedBox, &QLineEdit::textChanged, this, [this] { keyerSpeedChanged(); });
    connect(m_addressBox, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_keyer->setAddressText(latin1(t)); });
    connect(txtSpace, &QLineEdit::textChanged, this, [this](const QString& t) {
        m_keyer->setSpaceText(latin1(t));
        if (qt(m_keyer->settings().spaceText) != t) {
            txtSpace->setText(qt(m_keyer->settings().spaceText));
        }
    });
    connect(txtLoop, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (auto v = core::parseNumber(latin1(t)); v && *v >= 0) {
            m_keyer->setLoopsPer60ms(*v);
        }
    });

    auto* buttons = new QGridLayout;
    auto button = [&](const char* name, const char* caption, int row, int col) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b, row, col);
        return b;
    };
    auto* faster = button("Command2", "Faster", 0, 0);
    auto* slower = button("Command3", "Slower", 0, 1);
    auto* less = button("Command5", "Less", 1, 0);
    auto* more = button("Command6", "More", 1, 1);
    cmdLoopFaster = button("cmdLoopFaster", "Speed up CW", 2, 0);
    cmdLoopSlower = button("cmdLoopSlower", "Slow Down CW", 2, 1);
    auto* test = button("Command4", "&Test", 3, 0);
    auto* practice = button("Command7", "Send Code Practice", 3, 1);
    cmdConfWinkey = button("cmdConfWinkey", "Configure Winkey", 4, 0);
    m_doneButton = button("Command1", "Done", 4, 1);
    layout->addLayout(buttons);
    m_sendingLabel = plainLabel("Sending!", this);
    m_sendingLabel->setObjectName("lblSending");
    m_sendingLabel->hide();
    layout->addWidget(m_sendingLabel);

    auto* timing = new QGroupBox(this);
    auto* timingLayout = new QVBoxLayout(timing);
    optTimer = new QRadioButton("Timer", timing);
    optTimer->setObjectName("optTimer");
    OptSleep = new QRadioButton("Sleep", timing);
    OptSleep->setObjectName("OptSleep");
    optLoop = new QRadioButton("Loop", timing);
    optLoop->setObjectName("optLoop");
    timingLayout->addWidget(plainLabel("Times by Windows System time.", timing));
    timingLayout->addWidget(optTimer);
    timingLayout->addWidget(OptSleep);
    timingLayout->addWidget(plainLabel("Times by a For Next loop.", timing));
    timingLayout->addWidget(optLoop);
    timingLayout->addWidget(plainLabel("Timer is the preferred option on most systems. ", timing));
    layout->addWidget(timing);
    for (QRadioButton* o : {optTimer, OptSleep, optLoop}) {
        connect(o, &QRadioButton::clicked, this, [this] { timingChosen(); });
    }

    m_displayCheck = new QCheckBox("Display CW text on main form (NA for WinKey).", this);
    m_displayCheck->setObjectName("Check1");
    connect(m_displayCheck, &QCheckBox::toggled, this,
            [this](bool on) { m_keyer->setDisplayText(on); });
    layout->addWidget(m_displayCheck);

    auto* keying = new QGroupBox("Keying Options", this);
    auto* keyingLayout = new QHBoxLayout(keying);
    auto option = [&](QRadioButton*& o, const char* name, const char* caption, int iface) {
        o = new QRadioButton(caption, keying);
        o->setObjectName(name);
        keyingLayout->addWidget(o);
        connect(o, &QRadioButton::clicked, this, [this, iface] { interfaceChosen(iface); });
    };
    option(m_rtsOption, "Option1", "RTS", 1);
    option(m_dtrOption, "Option2", "DTR", 2);
    option(m_printerOption, "Option3", "Printer", 3);
    option(m_noneOption, "Option4", "None", 0);
    option(m_winKeyOption, "Option5", "WinKey", 5);
    option(m_cwdaemonOption, "Option6", "cwdaemon", keying::kInterfaceCwdaemon);
    layout->addWidget(keying);
    m_cwdaemonPanel = new CwdaemonPanel(this);
    m_cwdaemonPanel->onTargetEdited([this] { aimCwdaemon(); });
    m_cwdaemonPanel->onOptionsEdited([this] { applyCwdaemonOptions(); });
    m_cwdaemonPanel->onTune([this] { cwdaemonTune(); });
    layout->addWidget(m_cwdaemonPanel);

    connect(faster, &QPushButton::clicked, this, [this] { upDown1UpClick(); });
    connect(slower, &QPushButton::clicked, this, [this] { upDown1DownClick(); });
    connect(less, &QPushButton::clicked, this, [this] {
        m_keyer->wordSpaceLess();
        txtSpace->setText(qt(m_keyer->settings().spaceText));
    });
    connect(more, &QPushButton::clicked, this, [this] {
        m_keyer->wordSpaceMore();
        txtSpace->setText(qt(m_keyer->settings().spaceText));
    });
    auto scaleLoop = [this](double factor) {
        double v = core::parseNumber(latin1(txtLoop->text())).value_or(0.0);
        txtLoop->setText(qt(core::formatShortest(std::round(v * factor))));
        m_doneButton->setFocus();
    };
    connect(cmdLoopFaster, &QPushButton::clicked, this, [scaleLoop] { scaleLoop(0.9); });
    connect(cmdLoopSlower, &QPushButton::clicked, this, [scaleLoop] { scaleLoop(1.111111111111); });
    connect(test, &QPushButton::clicked, this, [this] { command4Click(); });
    connect(practice, &QPushButton::clicked, this, [this] { command7Click(); });
    connect(cmdConfWinkey, &QPushButton::clicked, this, [this] { cmdConfWinkeyClick(); });
    connect(m_doneButton, &QPushButton::clicked, this, [this] { command1Click(); });
}

void CwWindow::showSettings() {
    m_loading = true;
    const auto& s = m_keyer->settings();
    for (int i = 0; i < keying::CwSettings::kMessageCount; ++i) {
        m_messageBoxes[i]->setText(qt(s.messages[static_cast<std::size_t>(i)]));
    }
    m_portBox->setText(qt(s.portText));
    m_speedBox->setText(qt(s.speedText));
    m_addressBox->setText(qt(s.addressText));
    txtSpace->setText(qt(s.spaceText));
    txtCWLoop->setText(qt(s.repeatText));
    m_displayCheck->setChecked(s.displayText);
    txtLoop->setText(qt(core::formatShortest(m_keyer->loopsPer60ms())));
    auto method = m_keyer->timingMethod();
    optTimer->setChecked(method == keying::TimingMethod::Timer);
    OptSleep->setChecked(method == keying::TimingMethod::Sleep);
    optLoop->setChecked(method == keying::TimingMethod::Loop);
    bool loop = method == keying::TimingMethod::Loop;
    for (QWidget* w :
         {static_cast<QWidget*>(txtLoop), static_cast<QWidget*>(m_loopLabel),
          static_cast<QWidget*>(cmdLoopFaster), static_cast<QWidget*>(cmdLoopSlower)}) {
        w->setEnabled(loop);
    }
    selectInterfaceOption(s.interface);
    cmdConfWinkey->setVisible(s.interface == 5);
    m_cwdaemonPanel->showSettings(s);
    m_cwdaemonPanel->setVisible(s.interface == keying::kInterfaceCwdaemon);
    m_loading = false;
}

void CwWindow::selectInterfaceOption(int interface) {
    m_rtsOption->setChecked(interface == 1);
    m_dtrOption->setChecked(interface == 2);
    m_printerOption->setChecked(interface == 3);
    m_noneOption->setChecked(interface == 0);
    m_winKeyOption->setChecked(interface == 5);
    m_cwdaemonOption->setChecked(interface == keying::kInterfaceCwdaemon);
}

void CwWindow::loadCwSettings() {
    keying::CwSettings s;
    std::string path = core::joinPath(m_services.workingFolder, "cw.txt");
    if (auto bytes = core::readWholeFile(path, 1024 * 1024)) {
        keying::readCwSettings(*bytes, s);
    }
    m_keyer->applySettings(s);
    showSettings();
    interfaceChosen(m_keyer->settings().interface);
}

void CwWindow::interfaceChosen(int interface) {
    m_keyer->setInterface(interface);
    selectInterfaceOption(m_keyer->settings().interface);
    cmdConfWinkey->setVisible(interface == 5);
    if (interface == 5) {
        WinKeyWindow* wk = winKeyWindow(true);
        m_keyer->setWinKey(&wk->keyer());
    }
    m_cwdaemonPanel->setVisible(interface == keying::kInterfaceCwdaemon);
    if (interface == keying::kInterfaceCwdaemon) {
        aimCwdaemon();
    } else {
        m_cwdaemonLink->close();
    }
    attachKeyLine();
}

void CwWindow::aimCwdaemon() {
    if (m_keyer->settings().interface != keying::kInterfaceCwdaemon) {
        return;
    }
    keying::CwSettings s = m_keyer->settings();
    m_cwdaemonPanel->readSettings(s);
    m_keyer->setCwdaemonSettings(s);
    m_cwdaemonLink->sender().setOptions(CwdaemonPanel::optionsFrom(s));
    std::string why = m_cwdaemonLink->setTarget(s.cwdaemonHost, CwdaemonPanel::portFrom(s));
    if (!why.empty()) {
        m_keyer->reportProblem("cwdaemon cannot be used: " + why + ".");
    }
}

void CwWindow::applyCwdaemonOptions() {
    keying::CwSettings s = m_keyer->settings();
    m_cwdaemonPanel->readSettings(s);
    m_keyer->setCwdaemonSettings(s);
    if (s.interface == keying::kInterfaceCwdaemon) {
        m_cwdaemonLink->sender().setOptions(CwdaemonPanel::optionsFrom(s));
    }
}

void CwWindow::cwdaemonTune() {
    if (m_keyer->settings().interface != keying::kInterfaceCwdaemon) {
        return;
    }
    auto& sender = m_cwdaemonLink->sender();
    if (sender.isTuning()) {
        sender.stop();
    } else if (!sender.isSending()) {
        sender.tune(keying::cwdaemon::kMaxTuneSeconds);
    }
}

void CwWindow::attachKeyLine() {
    int iface = m_keyer->settings().interface;
    if (iface == 1 || iface == 2) {
        m_serialLine.setLine(iface == 2 ? platform::SerialKeyLine::Line::Dtr
                                        : platform::SerialKeyLine::Line::Rts);
        m_keyer->setKeyLine(&m_serialLine);
        return;
    }
    m_keyer->setKeyLine(nullptr);
    m_parallelLine.close();
    if (iface != 3) {
        return;
    }
    auto address = keying::parsePortAddress(m_keyer->settings().addressText);
    std::string device = address ? platform::parallelPortDevice(&m_settings, *address) : "";
    std::string why = address ? m_parallelLine.open(device) : "the address is not a number";
    if (!why.empty()) {
        m_prompts.beep();
        m_prompts.message(
            "Printer port unavailable.",
            QString("The printer port at address %1 cannot be used for CW keying (%2).  Nothing "
                    "will be keyed until another port or keying option is chosen.")
                .arg(qt(m_keyer->settings().addressText), qt(why)),
            Prompts::Icon::Exclamation);
        return;
    }
    m_keyer->setKeyLine(&m_parallelLine);
}

void CwWindow::closeCwPort() {
    m_keyer->setKeyLine(nullptr);
    m_serialLine.close();
    attachKeyLine();
}

void CwWindow::cwSetup() {
    m_keyer->setKeyLine(nullptr);
    m_serialLine.close();
    auto port = core::parseNumber(m_keyer->settings().portText);
    if (port && *port > 0) {
        if (m_services.closeVoicePort) {
            m_services.closeVoicePort();
        }
        int iface = m_keyer->settings().interface;
        std::string device =
            *port < 1e6 ? platform::portDevice(&m_settings, static_cast<int>(*port)) : "";
        std::string why =
            m_serialLine.open(device, iface == 2 ? platform::SerialKeyLine::Line::Dtr
                                                 : platform::SerialKeyLine::Line::Rts);
        if (!why.empty()) {
            auto failure = platform::portFailureMessage(platform::PortOwner::Cw);
            m_prompts.beep();
            m_prompts.message(failure.title, failure.text, Prompts::Icon::Exclamation);
            if (!isVisible() && m_services.runModal) {
                m_services.runModal(*this);
            }
        }
    }
    attachKeyLine();
}

void CwWindow::keyerSpeedChanged() {
    m_keyer->setSpeedText(latin1(m_speedBox->text()));
    if (m_winKeyWindow != nullptr) {
        m_winKeyWindow->setSpeedText(m_speedBox->text());
    }
}

QString CwWindow::upDown1UpClick() {
    m_speedBox->setText(qt(m_keyer->speedUp()));
    return m_speedBox->text();
}

QString CwWindow::upDown1DownClick() {
    m_speedBox->setText(qt(m_keyer->speedDown()));
    return m_speedBox->text();
}

void CwWindow::timingChosen() {
    keying::TimingMethod method = optLoop->isChecked()    ? keying::TimingMethod::Loop
                                  : OptSleep->isChecked() ? keying::TimingMethod::Sleep
                                                          : keying::TimingMethod::Timer;
    m_keyer->setTimingMethod(method);
    bool loop = method == keying::TimingMethod::Loop;
    for (QWidget* w :
         {static_cast<QWidget*>(txtLoop), static_cast<QWidget*>(m_loopLabel),
          static_cast<QWidget*>(cmdLoopFaster), static_cast<QWidget*>(cmdLoopSlower)}) {
        w->setEnabled(loop);
    }
    if (loop) {
        QCoreApplication::processEvents();
        if (m_keyer->loopsPer60ms() == 0) {
            calibrateLoop();
        }
        txtLoop->setText(qt(core::formatShortest(m_keyer->loopsPer60ms())));
    }
}

void CwWindow::calibrateLoop() {
    constexpr double kPasses = 5'000'000;
    std::int64_t t0 = m_elementClock.nowNs();
    m_elementClock.spinPasses(kPasses);
    std::int64_t t1 = m_elementClock.nowNs();
    m_keyer->setLoopsPer60ms(keying::loopsPer60msFromRun(kPasses, (t1 - t0) / 1e6));
    txtLoop->setText(qt(core::formatShortest(m_keyer->loopsPer60ms())));
}

void CwWindow::command4Click() {
    m_sendingLabel->show();
    m_keyer->fKeyCW(keying::kKeyF9);
    // The label stays while the keying thread sends.
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this, poll] {
        if (!m_keyer->isSending()) {
            m_sendingLabel->hide();
            poll->deleteLater();
        }
    });
    poll->start(50);
    if (isVisible()) {
        m_messageBoxes[0]->setFocus();
    }
}

void CwWindow::cmdConfWinkeyClick() {
    WinKeyWindow* wk = winKeyWindow(true);
    if (m_services.runModal) {
        m_services.runModal(*wk);
    }
}

void CwWindow::command7Click() {
    CodePracticeWindow practice(*m_keyer, this);
    practice.setSpeedButtons([this] { return upDown1UpClick(); },
                             [this] { return upDown1DownClick(); });
    if (m_services.runModal) {
        m_services.runModal(practice);
    }
}

WinKeyWindow* CwWindow::winKeyWindow(bool create) {
    if (m_winKeyWindow == nullptr && create) {
        m_winKeyWindow = new WinKeyWindow(*m_keyer, &m_settings, m_prompts,
                                          core::joinPath(m_services.programDataFolder, "WK.txt"),
                                          m_services.ownCall, this);
        m_winKeyWindow->setBeforeOpen([this] {
            if (m_services.closeVoicePort) {
                m_services.closeVoicePort();
            }
            closeCwPort();
        });
    }
    return m_winKeyWindow;
}

CwStringsWindow* CwWindow::stringsWindow() {
    if (m_stringsWindow == nullptr) {
        m_stringsWindow = new CwStringsWindow(*m_keyer, parentWidget());
    }
    return m_stringsWindow;
}

void CwWindow::leaveBox(QLineEdit* box) {
    std::string text = latin1(box->text());
    if (box == m_portBox) {
        if (!core::isNumeric(text)) {
            box->setText("0");
        }
        m_keyer->setPortText(latin1(box->text()));
        cwSetup();
    } else if (box == m_speedBox) {
        if (!core::isNumeric(text)) {
            box->setText("0");
        }
    } else if (box == txtSpace) {
        if (!core::isNumeric(text)) {
            box->setText("0");
        }
    } else if (box == txtCWLoop) {
        m_keyer->setRepeatText(text);
        box->setText(qt(m_keyer->settings().repeatText));
    } else if (box == m_addressBox) {
        if (m_keyer->settings().interface == 3) {
            attachKeyLine();
        }
    }
}

void CwWindow::command1Click() {
    for (QLineEdit* b : {m_speedBox, txtSpace, txtCWLoop}) {
        leaveBox(b);
    }
    m_keyer->setPortText(latin1(m_portBox->text()));
    applyCwdaemonOptions();
    std::string path = core::joinPath(m_services.workingFolder, "cw.txt");
    // A file that cannot be written is left as it was, without a message.
    core::replaceAtomically(path, keying::writeCwSettings(m_keyer->settings()));
    m_settings.write(kUserCwSelectionKey, keying::timingMethodName(m_keyer->timingMethod()));
    m_settings.write(kUserCwLoopOffsetKey, core::formatShortest(m_keyer->loopsPer60ms()));
    hide();
    if (m_keyer->settings().interface != 0) {
        stringsWindow()->showMinimized();
    }
    if (m_services.focusMainWindow) {
        m_services.focusMainWindow();
    }
}

int CwWindow::cwInterface() const {
    return m_keyer->settings().interface;
}

void CwWindow::fKeyCw(int keyCode) {
    m_keyer->fKeyCW(keyCode);
}

int CwWindow::speedDown() {
    return static_cast<int>(core::leadingNumber(latin1(upDown1DownClick())));
}

int CwWindow::speedUp() {
    return static_cast<int>(core::leadingNumber(latin1(upDown1UpClick())));
}

void CwWindow::loopThroughCwBuffer() {
    m_keyer->loopThroughCwBuffer();
}

void CwWindow::keyboardCharacter(char ch) {
    m_keyer->keyboardCharacter(ch);
}

void CwWindow::cwBackspace() {
    m_keyer->backspace();
}

void CwWindow::clearCwBuffer() {
    m_keyer->clearBuffer();
}

bool CwWindow::isSending() const {
    return m_keyer->isSending();
}

void CwWindow::setKeyboardMode(bool on) {
    m_keyer->setKeyboardMode(on);
}

bool CwWindow::repeatArmed() const {
    return m_keyer->repeatArmed();
}

void CwWindow::stopRepeat() {
    m_keyer->disarmRepeat();
}

bool CwWindow::winKeyOpen() const {
    return m_winKeyWindow != nullptr && m_winKeyWindow->keyer().isOpen();
}

bool CwWindow::winKeyBusy() const {
    return winKeyOpen() && m_winKeyWindow->keyer().wkGetStatus() > 0;
}

void CwWindow::clearWinKeyBuffer() {
    if (m_winKeyWindow != nullptr) {
        m_winKeyWindow->keyer().wkClearBuffer();
    }
}

void CwWindow::winKeyBackspace() {
    if (m_winKeyWindow != nullptr) {
        m_winKeyWindow->keyer().wkBackspace();
    }
}

void CwWindow::followRepeatTimer() {
    if (m_keyer->repeatTimerRunning()) {
        m_repeatTimer.start(static_cast<int>(m_keyer->msUntilRepeat()));
    } else {
        m_repeatTimer.stop();
    }
}

void CwWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

bool CwWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !m_loading) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                leaveBox(box);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace wexon::ui
