#include "ui/spots/station_spots.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "core/contact_status.h"
#include "core/number_format.h"
#include "core/super_check_partial.h"
#include "core/text_util.h"
#include "spots/spot_marks.h"
#include "platform/agw_client.h"
#include "platform/serial_port.h"
#include "ui/spots/band_map_controller.h"
#include "ui/main/main_window_labels.h"
#include "ui/rig/rig_control_window.h"
#include "ui/rig/rig_host.h"
#include "ui/station/station_tools.h"
#include "ui/common/text_conversion.h"

namespace wexon::ui {

namespace {

constexpr const char* kDefaultAgwHost = "127.0.0.1";
constexpr quint16 kDefaultAgwPort = 8000;
// How often a spelt call checks whether the letter before has been spoken.
constexpr int kLetterPollMs = 40;

void paintBackground(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, colour);
    label->setPalette(pal);
}

} // namespace

StationSpots::StationSpots(MainWindow& window, const MainWindowServices& services,
                           StationTools& tools, RigTuner* tuner)
    : m_window(window), m_services(services), m_tools(tools), m_tuner(tuner) {
    m_callBox = m_window.findChild<QLineEdit*>("txtCall");
    m_dialogLabel = m_window.findChild<QLabel*>("lblDialog");
    m_dupeLabel = m_window.findChild<QLabel*>("lblDupe");

    m_tncPort = std::make_unique<platform::SerialPort>(m_services.settings);
    QString agwHost = kDefaultAgwHost;
    quint16 agwPort = kDefaultAgwPort;
    if (m_services.settings != nullptr) {
        const QString host =
            fromLatin1(m_services.settings->read(kAgwHostKey, kDefaultAgwHost)).trimmed();
        if (!host.isEmpty()) {
            agwHost = host;
        }
        bool ok = false;
        const int port =
            fromLatin1(m_services.settings->read(kAgwPortKey, std::to_string(kDefaultAgwPort)))
                .trimmed()
                .toInt(&ok);
        if (ok && port > 0 && port < 65536) {
            agwPort = static_cast<quint16>(port);
        }
    }
    m_agw = std::make_unique<platform::AgwClient>(agwHost, agwPort);

    SpotServices s;
    s.host = this;
    s.prompts = m_services.prompts;
    s.clock = m_services.clock;
    s.workingFolder = m_services.folders.working;
    s.tncPort = m_tncPort.get();
    s.agw = m_agw.get();
    s.runModal = m_services.runModal;
    m_controller = new BandMapController(std::move(s), &m_window);

    placeStrip();
    connectMenus();
    m_tools.setSpotOpeners(
        [this] {
            if (m_controller) {
                m_controller->showSpottingWindow();
            }
        },
        [this] {
            if (m_controller) {
                m_controller->showSpectrumMap();
            }
        });
    connect(&m_window, &MainWindow::bandApplied, this, [this] {
        if (m_controller) {
            m_controller->bandChanged();
        }
    });
    m_remarkTimer = new QTimer(this);
    m_remarkTimer->setSingleShot(true);
    m_remarkTimer->setInterval(0);
    connect(m_remarkTimer, &QTimer::timeout, this, [this] {
        if (m_controller) {
            m_controller->remarkSpots();
        }
    });
    m_letterTimer = new QTimer(this);
    m_letterTimer->setInterval(kLetterPollMs);
    connect(m_letterTimer, &QTimer::timeout, this, &StationSpots::playNextLetter);
    m_window.contest().addObserver(this);
    installJumpKeys();
    connect(&m_window, &MainWindow::activated, this, [this] {
        if (m_controller) {
            m_controller->refreshBandMap();
        }
    });
}

StationSpots::~StationSpots() {
    m_window.contest().removeObserver(this);
    m_tools.setSpotOpeners({}, {});
    shutdown();
    // The strip and the controller belong to the main window; take them out
    // while this still owns the port and the link they were given.
    if (m_controller) {
        delete m_controller->strip();
        delete m_controller.data();
    }
}

BandMapController& StationSpots::controller() {
    return *m_controller;
}

void StationSpots::placeStrip() {
    QWidget* strip = m_controller->strip();
    auto* area = m_window.findChild<QWidget*>("bandMapArea");
    if (area == nullptr) {
        return; // the strip stays hidden: nothing to put it in
    }
    if (area->layout() == nullptr) {
        auto* layout = new QVBoxLayout(area);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    area->layout()->addWidget(strip);
}

void StationSpots::connectMenus() {
    auto wire = [this](const char* name, auto&& action) {
        if (auto* item = m_window.findChild<QAction*>(name)) {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, std::forward<decltype(action)>(action));
        }
    };
    wire("mnuDXSpotting", [this] {
        if (m_controller) {
            m_controller->configure();
        }
    });
    wire("mnuSpectrumMap", [this] {
        if (m_controller) {
            m_controller->showSpectrumMap();
        }
    });
}

void StationSpots::installJumpKeys() {
    // Window-wide, so they work from every box of the entry row. The main
    // window's own keys use Ctrl only with letters (and the arrows alone for
    // the CW speed), so these take nothing from it.
    m_jumpUp = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up), &m_window);
    m_jumpDown = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down), &m_window);
    for (QShortcut* key : {m_jumpUp, m_jumpDown}) {
        key->setContext(Qt::WindowShortcut);
        key->setAutoRepeat(true);
    }
    connect(m_jumpUp, &QShortcut::activated, this, [this] {
        if (m_controller) {
            m_controller->jump(spots::JumpDirection::Up);
        }
    });
    connect(m_jumpDown, &QShortcut::activated, this, [this] {
        if (m_controller) {
            m_controller->jump(spots::JumpDirection::Down);
        }
    });
}

const spots::SpottedCalls& StationSpots::spottedCalls() const {
    return m_controller->spottedCalls();
}

void StationSpots::queueRemark() {
    if (m_remarkTimer != nullptr && !m_remarkTimer->isActive()) {
        m_remarkTimer->start();
    }
}

void StationSpots::contactAppended(int, const core::QsoRecord&) {
    queueRemark();
}

void StationSpots::contactReplaced(int, const core::QsoRecord&, const core::QsoRecord&) {
    queueRemark();
}

void StationSpots::contactRemoved(int, const core::QsoRecord&) {
    queueRemark();
}

void StationSpots::logReplaced() {
    queueRemark();
}

void StationSpots::remoteContactsChanged() {
    queueRemark();
}

void StationSpots::shutdown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    if (m_controller) {
        m_controller->shutdown();
    }
    // The spotting window's unload closes the port; closing it here too leaves
    // nothing open whatever state the window was left in.
    if (m_tncPort && m_tncPort->isOpen()) {
        m_tncPort->close();
    }
}

// ---------------------------------------------------------------- SpotHost

std::string StationSpots::band() const {
    return m_window.contest().prefs.band;
}

std::string StationSpots::ownCall() const {
    return m_window.contest().prefs.ownCall;
}

float StationSpots::utcOffsetHours() const {
    return m_window.contest().prefs.utcOffset;
}

std::string StationSpots::lastLoggedCall() const {
    const auto& qsos = m_window.contest().qsos();
    return qsos.empty() ? std::string() : qsos.back().call;
}

QString StationSpots::windowCaption() const {
    return m_window.windowTitle();
}

const core::CountryTable& StationSpots::countryTable() const {
    return m_window.contest().countries;
}

bool StationSpots::rigSelected() const {
    const std::string name = core::trim(m_window.contest().prefs.rigName);
    return !name.empty() && !core::equalsIgnoreCase(name, "None");
}

void StationSpots::changeFrequency(float mhz) {
    if (m_tuner != nullptr) {
        m_tuner->changeFrequency(mhz);
        return;
    }
    // Without a rig nothing is polled, so the rig window would tune nothing;
    // it is not made only to be asked.
    if (rigSelected()) {
        m_tools.rigWindow().changeFrequency(mhz);
    }
}

void StationSpots::focusCall() {
    m_window.activateWindow();
    if (m_callBox) {
        m_callBox->setFocus(Qt::OtherFocusReason);
    }
}

void StationSpots::enterCall(const std::string& call, bool tab) {
    focusCall();
    if (!m_callBox) {
        return;
    }
    // Setting the text reaches the entry row as any change of the box does:
    // prefix, country and points follow the call.
    m_callBox->setText(fromLatin1(call));
    if (tab) {
        // One Tab, taken by the entry row exactly as a typed one.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
        QCoreApplication::sendEvent(m_callBox.data(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, "\t");
        QCoreApplication::sendEvent(m_callBox.data(), &release);
    }
}

void StationSpots::showSpottedWarning(const QString& dialogText, const QString& dupeText) {
    if (m_services.prompts != nullptr) {
        m_services.prompts->beep();
    }
    if (m_dialogLabel) {
        setLabelValue(m_dialogLabel, dialogText);
        paintBackground(m_dialogLabel, Qt::white);
    }
    if (m_dupeLabel) {
        setLabelValue(m_dupeLabel, dupeText);
        paintBackground(m_dupeLabel, Qt::white);
    }
}

void StationSpots::showPossibleDupes(const QString& text) {
    if (m_dupeLabel) {
        setLabelValue(m_dupeLabel, text);
    }
}

void StationSpots::savePref() {
    m_window.savePref();
}

core::ContactStatusResult StationSpots::contactStatus(const std::string& call) const {
    return core::contactStatus(m_window.dupes(), m_window.prefixes(), call, band());
}

bool StationSpots::knownCall(const std::string& call) const {
    return m_knownCalls != nullptr && spots::isKnownCall(*m_knownCalls, call);
}

std::optional<double> StationSpots::rigFrequency() const {
    // The rig's polls keep the last reading; without a rig there is none.
    if (!rigSelected()) {
        return std::nullopt;
    }
    const std::optional<double> mhz = core::parseNumber(m_window.contest().lastFrequency);
    if (!mhz || !(*mhz > 0.0)) {
        return std::nullopt;
    }
    return mhz;
}

void StationSpots::sayCall(const std::string& call) {
    if (m_prompter == nullptr || m_window.contest().prefs.voiceNavigation == 0) {
        return;
    }
    // A new jump cuts short the call still being spelt.
    m_lettersToSay.clear();
    for (std::string& name : spots::spokenCallPrompts(call)) {
        m_lettersToSay.push_back(std::move(name));
    }
    playNextLetter();
    if (!m_lettersToSay.empty()) {
        m_letterTimer->start();
    }
}

void StationSpots::playNextLetter() {
    if (m_prompter == nullptr || m_lettersToSay.empty()) {
        m_letterTimer->stop();
        return;
    }
    if (m_prompter->isPlaying()) {
        return;
    }
    const std::string name = m_lettersToSay.front();
    m_lettersToSay.pop_front();
    m_prompter->playPrompt(name);
    if (m_lettersToSay.empty()) {
        m_letterTimer->stop();
    }
}

} // namespace wexon::ui
