#include "ui/net/station_network.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include "core/file_io.h"
#include "net/station_sync.h"
#include "output/station_cabrillo.h"
#include "platform/mqtt_station_link.h"
#include "ui/common/plain_text.h"
#include "ui/common/text_conversion.h"
#include "ui/net/network_window.h"

namespace wexon::ui {

StationNetwork::StationNetwork(MainWindow& window, const MainWindowServices& services,
                               std::function<void(const std::string&)> stationNameHook)
    : QObject(&window), m_window(window), m_services(services),
      m_stationNameHook(std::move(stationNameHook)) {
    m_messageLine = m_window.findChild<QLabel*>("lblDialog");
    // "Network" stands beside "Setup" in the menu bar.
    auto* item = new QAction("&Network", &m_window);
    item->setObjectName("mnuNetwork");
    QAction* before = m_window.findChild<QAction*>("mnuClear");
    m_window.menuBar()->insertAction(before, item);
    connect(item, &QAction::triggered, this, [this] {
        NetworkWindow& w = networkWindow();
        w.showSettings(m_settings);
        w.show();
        w.raise();
    });
    connect(&m_window, &MainWindow::bandApplied, this, [this] { warnBandChange(); });
}

StationNetwork::~StationNetwork() { shutdown(); }

NetworkWindow& StationNetwork::networkWindow() {
    if (!m_networkWindow) {
        m_networkWindow = new NetworkWindow(&m_window);
        m_networkWindow->setWindowFlag(Qt::Window);
        connect(m_networkWindow, &NetworkWindow::applyRequested, this,
                [this] { apply(m_networkWindow->settings()); });
        connect(m_networkWindow, &NetworkWindow::stationCabrilloRequested, this,
                [this] { askStationCabrillo(); });
        m_networkWindow->showSettings(m_settings);
        m_networkWindow->setState(stateLine());
    }
    return *m_networkWindow;
}

void StationNetwork::start() {
    if (m_services.settings != nullptr) {
        m_settings = net::NetworkSettings::load(*m_services.settings);
    }
    if (m_settings.on && m_settings.problem().empty()) {
        startNetwork();
    }
}

void StationNetwork::shutdown() {
    stopNetwork(true);
}

bool StationNetwork::apply(const net::NetworkSettings& wanted) {
    if (const std::string problem = wanted.problem(); wanted.on && !problem.empty()) {
        if (m_services.prompts != nullptr) {
            m_services.prompts->message("Network", fromLatin1(problem), Prompts::Icon::Warning);
        }
        return false;
    }
    const net::NetworkSettings before = m_settings;
    m_settings = wanted;
    if (m_services.settings != nullptr) {
        m_settings.save(*m_services.settings);
    }
    // The category decides how serials count; the preference file keeps it.
    const std::uint8_t perBand = net::serialsPerBand(m_settings.category) ? 1 : 0;
    if (m_settings.on && m_window.contest().prefs.serialPerBand != perBand) {
        m_window.contest().prefs.serialPerBand = perBand;
        m_window.savePref();
        m_window.applyBand();
    }
    if (!m_settings.sameLink(before) || !m_sync) {
        stopNetwork();
        if (m_settings.on) {
            startNetwork();
        }
    } else {
        m_sync->setOperator(m_settings.op);
        m_sync->setTransmitter(m_settings.category == net::Category::MultiTwo
                                   ? m_settings.transmitter
                                   : 0);
    }
    refreshState();
    return true;
}

std::string StationNetwork::contestId() const {
    if (!m_settings.contestId.empty()) {
        return m_settings.contestId;
    }
    int year = 2000;
    if (m_services.clock != nullptr) {
        year = m_services.clock->utcNow().year;
    }
    return net::defaultContestId(m_window.contest().prefs.contestMode, year);
}

void StationNetwork::startNetwork() {
    net::SyncConfig config;
    config.contestId = contestId();
    config.station = m_settings.station;
    config.op = m_settings.op.empty() ? m_window.contest().prefs.ownCall : m_settings.op;
    config.transmitter =
        m_settings.category == net::Category::MultiTwo ? m_settings.transmitter : 0;
    core::Contest& contest = m_window.contest();
    m_sync = std::make_unique<net::StationSync>(
        contest, config, contest.pathOf(net::NetworkJournal::kFileName));
    m_sync->setNoticeHandler([this](const std::string& text) { notice(text); });
    m_sync->setChangeHandler([this] { refreshState(); });
    m_sync->start();
    m_link = std::make_unique<platform::MqttStationLink>(*m_sync);
    connect(m_link.get(), &platform::MqttStationLink::stateChanged, this,
            [this] { refreshState(); });
    platform::MqttSettings link;
    link.host = m_settings.host;
    link.port = m_settings.port;
    link.user = m_settings.user;
    link.password = m_settings.password;
    link.tls = m_settings.tls;
    link.caFile = m_settings.caFile;
    std::string error;
    if (!m_link->start(link, error)) {
        notice("Network: " + error);
    }
    if (m_stationNameHook) {
        m_stationNameHook(m_settings.station);
    }
    if (!m_stateLabel) {
        m_stateLabel = plainLabel(QString(), m_window.statusBar());
        m_stateLabel->setObjectName("lblNetworkState");
        m_window.statusBar()->addWidget(m_stateLabel, 1);
    }
    m_window.statusBar()->show();
    refreshState();
}

void StationNetwork::stopNetwork(bool keepContacts) {
    if (!m_sync && !m_link) {
        // Nothing runs: at program end the window may already be going.
        return;
    }
    if (m_link) {
        m_link->stop();
        m_link.reset();
    }
    m_sync.reset();
    if (keepContacts) {
        return;
    }
    m_window.contest().clearRemotes();
    if (m_stationNameHook) {
        m_stationNameHook(std::string());
    }
    if (m_stateLabel) {
        m_window.statusBar()->hide();
    }
}

QString StationNetwork::stateLine() const {
    if (!m_sync) {
        return "Network off";
    }
    QString line = "Network " + fromLatin1(m_settings.station) + ": ";
    if (m_link && m_link->connected()) {
        const auto up = m_sync->stationsUp();
        QStringList names;
        for (const auto& name : up) {
            names << fromLatin1(name);
        }
        line += up.empty() ? QString("connected, no other station")
                           : QString("connected with %1 (%2)")
                                 .arg(up.size())
                                 .arg(names.join(", "));
        if (!m_sync->inStep()) {
            line += ", catching up";
        }
    } else {
        line += "down";
        if (m_link) {
            const std::string why = m_link->lastError();
            if (!why.empty()) {
                line += " (" + fromLatin1(why) + ")";
            }
        }
    }
    line += QString(" · %1 waiting to be sent").arg(m_sync->waitingCount());
    return line;
}

void StationNetwork::refreshState() {
    const QString line = stateLine();
    if (m_stateLabel) {
        m_stateLabel->setText(line);
    }
    if (m_networkWindow) {
        m_networkWindow->setState(line);
    }
}

void StationNetwork::notice(const std::string& text) {
    const QString line = fromLatin1(text);
    networkWindow().appendLog(line);
    showOnMessageLine(line);
}

void StationNetwork::showOnMessageLine(const QString& text) {
    if (m_messageLine) {
        showPlainText(m_messageLine);
        m_messageLine->setText(text);
    }
}

// After a band change: would the next contact on this band break the
// category's band-change rule?
void StationNetwork::warnBandChange() {
    if (!m_sync || m_services.clock == nullptr) {
        return;
    }
    const core::Contest& contest = m_window.contest();
    const core::DateTime utc = m_services.clock->localNow().addMinutes(
        static_cast<double>(contest.prefs.utcOffset) * 60.0);
    std::vector<net::BandContact> log;
    for (const auto& c : m_sync->mergedLog()) {
        log.push_back({c.record->qsoDate, c.record->qsoTime, c.record->band, c.transmitter});
    }
    const std::string warning = net::bandChangeWarning(
        m_settings.category, log, core::formatDate(utc), core::formatTime(utc), contest.prefs.band,
        m_sync->config().transmitter);
    if (!warning.empty()) {
        showOnMessageLine(fromLatin1(warning));
    }
}

std::string StationNetwork::writeStationCabrillo(const std::string& path) const {
    const core::Contest& contest = m_window.contest();
    std::vector<output::StationContact> contacts;
    if (m_sync) {
        for (const auto& c : m_sync->mergedLog()) {
            contacts.push_back({*c.record, c.station, c.op, c.transmitter});
        }
    } else {
        for (const auto& r : contest.qsos()) {
            contacts.push_back({r, m_settings.station, m_settings.op, 0});
        }
    }
    output::SummarySheet sheet;
    sheet.createdBy = toLatin1(m_window.windowTitle());
    switch (m_settings.category) {
    case net::Category::SingleOp:
        sheet.op = output::SummarySheet::Operator::Single;
        break;
    case net::Category::MultiSingle:
        sheet.transmitter = output::SummarySheet::Transmitter::One;
        break;
    case net::Category::MultiTwo:
        sheet.transmitter = output::SummarySheet::Transmitter::Two;
        break;
    case net::Category::MultiUnlimited:
    case net::Category::MultiDistributed:
        sheet.transmitter = output::SummarySheet::Transmitter::Multi;
        break;
    }
    const std::string text = output::writeStationCabrillo(
        sheet, contest.prefs.ownCall, contest.prefs.contestMode, std::move(contacts));
    core::FileResult r = core::replaceAtomically(path, text);
    return r.error;
}

void StationNetwork::askStationCabrillo() {
    if (m_services.prompts == nullptr) {
        return;
    }
    const QString path = m_services.prompts->saveFile(
        "Write station Cabrillo", m_services.folders.working,
        fromLatin1(m_window.contest().prefs.ownCall + "-station.log"), "Cabrillo (*.log)");
    if (path.isEmpty()) {
        return;
    }
    const std::string error = writeStationCabrillo(path.toLocal8Bit().toStdString());
    if (!error.empty()) {
        m_services.prompts->message("Write station Cabrillo", fromLatin1(error),
                                    Prompts::Icon::Critical);
    } else {
        notice("Station Cabrillo written: " + toLatin1(path));
    }
}

} // namespace wexon::ui
