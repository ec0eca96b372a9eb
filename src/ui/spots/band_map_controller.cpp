#include "ui/spots/band_map_controller.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>

#include "core/number_format.h"
#include "core/text_util.h"
#include "spots/band_map_layout.h"
#include "spots/spot_intake.h"
#include "ui/spots/band_map_widget.h"
#include "ui/spots/spectrum_map_window.h"
#include "ui/spots/spot_list_widget.h"
#include "ui/spots/spotting_window.h"

namespace wexon::ui {

namespace {

// The strip takes about a tenth of the window, as the controls above it give
// up that share of their height.
constexpr double kStripShare = 0.1;
constexpr int kMinStripHeight = 90;

} // namespace

BandMapController::BandMapController(SpotServices services, QWidget* mainWindow)
    : QObject(mainWindow), m_services(std::move(services)), m_mainWindow(mainWindow) {
    m_strip = new QStackedWidget(mainWindow);
    m_strip->setObjectName("spotStrip");
    m_list = new SpotListWidget(1.0 / 15.0, m_strip);
    m_bandMap = new BandMapWidget(m_strip);
    m_strip->addWidget(m_list);
    m_strip->addWidget(m_bandMap);
    m_strip->hide();

    connect(m_bandMap, &BandMapWidget::spotPressed, this, &BandMapController::spotPressed);
    connect(m_bandMap, &BandMapWidget::spotHovered, this, &BandMapController::spotHovered);
    connect(m_bandMap, &BandMapWidget::panelClicked, this, &BandMapController::showSpottingWindow);
    connect(m_bandMap, &BandMapWidget::panelDoubleClicked, this,
            &BandMapController::showSpectrumMap);
    connect(m_list, &SpotListWidget::spotClicked, this, &BandMapController::listClicked);
    connect(m_list, &SpotListWidget::doubleClicked, this, &BandMapController::showSpectrumMap);
    m_redrawTimer = new QTimer(this);
    m_redrawTimer->setSingleShot(true);
    connect(m_redrawTimer, &QTimer::timeout, this, [this] {
        if (m_batchDepth == 0 && m_redrawPending) {
            drawPendingSpots();
        }
    });
}

BandMapController::~BandMapController() = default;

QWidget* BandMapController::strip() const {
    return m_strip;
}

void BandMapController::bandMapSpots(const std::string& call, const std::string& frequencyKhz,
                                     const std::string& spotText) {
    // A skimmer's line is read word by word: its columns are not the cluster's.
    if (spotText.size() > 3 && core::equalsIgnoreCase(spotText.substr(0, 3), "de ")) {
        if (const auto report = spots::parseSkimmerLine("DX " + spotText)) {
            const spots::SkimmerTally::Heard heard =
                m_skimmers.hear(report->call, report->spotter, report->khz);
            if (heard.sameSignal && foldSkimmerSpot(*report, heard.skimmers)) {
                return;
            }
            SpotHost* host = m_services.host;
            // The time word ("1234Z") gives the list's time, which the
            // cluster's columns would miss on a skimmer's line.
            takeSpot(report->call, core::formatShortest(report->khz), spotText, heard.skimmers,
                     host != nullptr && host->knownCall(report->call), report->time.substr(0, 4));
            return;
        }
    }
    takeSpot(call, frequencyKhz, spotText, 0, false, {});
}

void BandMapController::takeSpot(const std::string& call, const std::string& frequencyKhz,
                                 const std::string& spotText, int skimmers, bool known,
                                 const std::string& listTime) {
    SpotHost* host = m_services.host;
    static const core::CountryTable kNoCountries;
    const core::CountryTable& countries = host != nullptr ? host->countryTable() : kNoCountries;
    const std::string ownCall = host != nullptr ? host->ownCall() : std::string();
    const core::DateTime now =
        m_services.clock != nullptr ? m_services.clock->localNow() : core::DateTime{};
    const spots::IntakeResult r =
        spots::takeInSpot(m_store, m_rows, countries, ownCall, call, frequencyKhz, spotText, now);
    if (r.ownCallSpotted && host != nullptr) {
        const QString text = QString::fromLatin1(r.spotText);
        host->showSpottedWarning("You've been spotted! ", "You've been spotted!  " + text);
    }
    if (!r.stored) {
        return;
    }
    if (!listTime.empty()) {
        m_rows.row(0).time = listTime;
    }
    markNewest(skimmers, known, 0);
    m_redrawPending = true;
    // Only the last 200 can still be on the list when they are drawn.
    m_pendingRowCount = std::min(m_pendingRowCount + 1, spots::SpotList::kMaxRows);
    if (m_batchDepth == 0) {
        drawPendingSpots();
    }
}

bool BandMapController::foldSkimmerSpot(const spots::SkimmerReport& report, int skimmers) {
    const std::size_t row = m_rows.findCall(report.call);
    int slot = -1;
    for (int i = spots::SpotStore::kSlots - 1; i >= 0 && row < m_rows.size(); --i) {
        const spots::SpotSlot& s = m_store.slot(i);
        if (s.frequency != 0.0f && core::equalsIgnoreCase(s.call, report.call)) {
            slot = i;
            break;
        }
    }
    if (slot < 0) {
        return false; // nothing on show to fold the report into
    }
    // The same signal: the newer report replaces the older spot, on the map
    // (the store blanks the older slot) and in its list row, counting one
    // spot with the number of skimmers that heard it.
    const double mhz = report.khz / 1000.0;
    const core::DateTime now =
        m_services.clock != nullptr ? m_services.clock->localNow() : core::DateTime{};
    m_store.add(report.call, static_cast<float>(mhz), now);
    m_rows.row(row).frequency = core::formatShortest(static_cast<float>(mhz));
    SpotHost* host = m_services.host;
    markNewest(skimmers, host != nullptr && host->knownCall(report.call), row);
    m_redrawPending = true;
    if (row >= m_pendingRowCount) {
        refreshListRows({row});
    }
    if (m_batchDepth == 0) {
        drawPendingSpots();
    }
    return true;
}

void BandMapController::markNewest(int skimmers, bool known, std::size_t row) {
    const int newest = spots::SpotStore::kSlots - 1;
    const spots::SpotSlot& s = m_store.slot(newest);
    spots::SpotMark mark;
    mark.skimmers = skimmers;
    mark.unconfirmed = skimmers == 1 && !known;
    if (m_services.host != nullptr) {
        mark = spots::markedWith(mark, m_services.host->contactStatus(s.call));
    }
    m_store.setMark(newest, mark);
    if (row < m_rows.size()) {
        spots::SpotListRow& r = m_rows.row(row);
        r.mark = mark;
        r.status = spots::markWords(mark);
    }
}

void BandMapController::remarkSpots() {
    SpotHost* host = m_services.host;
    if (host == nullptr) {
        return;
    }
    const spots::Remarked changed = spots::remarkSpots(
        m_store, m_rows, [host](std::string_view call) { return host->contactStatus(std::string(call)); });
    std::vector<std::size_t> shownRows;
    for (std::size_t row : changed.changedRows) {
        if (row >= m_pendingRowCount) {
            shownRows.push_back(row);
        }
    }
    refreshListRows(shownRows);
    if (!changed.changedSlots.empty()) {
        if (m_batchDepth == 0) {
            displayBandMapLabels();
        } else {
            m_redrawPending = true;
        }
    }
}

void BandMapController::setFilter(const spots::SpotFilter& filter) {
    m_filter = filter;
    std::vector<std::size_t> all;
    for (std::size_t i = m_pendingRowCount; i < m_rows.size(); ++i) {
        all.push_back(i);
    }
    refreshListRows(all);
    displayBandMapLabels();
    updateSpottedCalls();
}

void BandMapController::refreshListRows(const std::vector<std::size_t>& rows) {
    for (std::size_t row : rows) {
        if (row < m_pendingRowCount || row >= m_rows.size()) {
            continue;
        }
        const spots::SpotListRow& r = m_rows.row(row);
        m_list->showRowMark(static_cast<int>(row - m_pendingRowCount), r, !m_filter.shows(r.mark));
    }
}

std::vector<spots::LabelPlacement> BandMapController::shownPlacements(spots::MapScale* scaleOut) const {
    const std::string band = m_services.host != nullptr ? m_services.host->band() : std::string();
    const spots::FrequencyRange range = spots::bandMapRange(band).value_or(spots::FrequencyRange{});
    const spots::MapScale scale = spots::zoomedScale(range, m_store);
    const core::DateTime now =
        m_services.clock != nullptr ? m_services.clock->localNow() : core::DateTime{};
    std::vector<spots::LabelPlacement> labels = spots::bandMapLabels(m_store, scale, now);
    spots::filterPlacements(labels, m_store, m_filter);
    if (scaleOut != nullptr) {
        *scaleOut = scale;
    }
    return labels;
}

void BandMapController::updateSpottedCalls() {
    if (m_spotted.update(m_store, shownPlacements())) {
        emit spottedCallsChanged();
    }
}

bool BandMapController::jump(spots::JumpDirection direction) {
    SpotHost* host = m_services.host;
    if (host == nullptr) {
        return false;
    }
    std::optional<double> from = host->rigFrequency();
    if (!from) {
        from = m_lastJumpMhz;
    }
    const std::vector<spots::LabelPlacement> shown = shownPlacements();
    if (!from) {
        // Nothing to start from: up starts below the band, down above it.
        from = direction == spots::JumpDirection::Up ? 0.0 : 1.0e9;
    }
    const std::optional<int> slot =
        spots::jumpTarget(m_store, shown, *from, direction, m_jumpSkipsDupes);
    if (!slot) {
        return false;
    }
    const spots::SpotSlot& s = m_store.slot(*slot);
    m_lastJumpMhz = s.frequency;
    if (host->rigSelected()) {
        host->changeFrequency(s.frequency);
    }
    host->enterCall(s.call, false);
    host->sayCall(s.call);
    return true;
}

void BandMapController::beginSpots() {
    ++m_batchDepth;
}

void BandMapController::endSpots() {
    if (m_batchDepth == 0 || --m_batchDepth > 0 || !m_redrawPending) {
        return;
    }
    if (m_sinceRedraw.isValid() && m_sinceRedraw.elapsed() < kBurstRedrawMs) {
        if (!m_redrawTimer->isActive()) {
            m_redrawTimer->start(static_cast<int>(kBurstRedrawMs - m_sinceRedraw.elapsed()));
        }
        return;
    }
    drawPendingSpots();
}

void BandMapController::drawPendingSpots() {
    m_redrawTimer->stop();
    m_redrawPending = false;
    m_sinceRedraw.start();
    if (m_display == Display::BandMap) {
        displayBandMapLabels();
    }
    if (m_spectrum != nullptr) {
        m_spectrum->bandMapLabelDisplay();
    }
    // The held rows, oldest first, as the list puts the last one on top.
    std::vector<spots::SpotListRow> rows;
    rows.reserve(m_pendingRowCount);
    for (std::size_t i = m_pendingRowCount; i-- > 0;) {
        rows.push_back(m_rows.row(i));
    }
    m_pendingRowCount = 0;
    m_list->addSpots(rows);
    std::vector<std::size_t> hidden;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        hidden.push_back(i);
    }
    refreshListRows(hidden);
    updateSpottedCalls();
}

void BandMapController::packetResize() {
    SpottingWindow* w = m_spotting;
    const bool none = w == nullptr || core::equalsIgnoreCase(w->spotSource(), "None");
    const bool wantList = w != nullptr && w->optList();
    if (none) {
        if (m_display != Display::None) {
            m_strip->hide();
            m_display = Display::None;
        }
        return;
    }
    if (m_display == Display::None) {
        const int height = m_mainWindow != nullptr ? m_mainWindow->height() : 0;
        m_strip->setMinimumHeight(
            std::max(kMinStripHeight, static_cast<int>(height * kStripShare)));
        m_strip->show();
    }
    m_display = wantList ? Display::List : Display::BandMap;
    m_strip->setCurrentWidget(wantList ? static_cast<QWidget*>(m_list) : m_bandMap);
    setBandMapScale();
    if (m_display == Display::BandMap) {
        displayBandMapLabels();
    }
}

void BandMapController::setBandMapScale() {
    const std::string band = m_services.host != nullptr ? m_services.host->band() : std::string();
    const spots::FrequencyRange range = spots::bandMapRange(band).value_or(spots::FrequencyRange{});
    m_bandMap->setScale(spots::zoomedScale(range, m_store));
}

void BandMapController::displayBandMapLabels() {
    if (m_display != Display::BandMap) {
        return;
    }
    spots::MapScale scale;
    const std::vector<spots::LabelPlacement> labels = shownPlacements(&scale);
    m_bandMap->setScale(scale);
    const core::DateTime now =
        m_services.clock != nullptr ? m_services.clock->localNow() : core::DateTime{};
    m_bandMap->showLabels(labels, m_store,
                          m_services.host != nullptr ? m_services.host->utcOffsetHours() : 0.0f,
                          now);
    if (m_spotted.update(m_store, labels)) {
        emit spottedCallsChanged();
    }
}

void BandMapController::refreshBandMap() {
    if (m_display == Display::BandMap) {
        displayBandMapLabels();
    }
}

void BandMapController::bandChanged() {
    // Dupes are per band: the marks change with it.
    remarkSpots();
    updateSpottedCalls();
    if (m_display != Display::None) {
        setBandMapScale();
    }
    if (m_display == Display::BandMap) {
        displayBandMapLabels();
    }
}

SpottingWindow* BandMapController::spottingWindow() {
    if (m_spotting == nullptr) {
        SpottingServices s;
        s.host = m_services.host;
        s.prompts = m_services.prompts;
        s.tncPort = m_services.tncPort;
        s.agw = m_services.agw;
        s.workingFolder = m_services.workingFolder;
        s.postSpot = [this](const std::string& call, const std::string& khz,
                            const std::string& text) { bandMapSpots(call, khz, text); };
        s.spotBatch = [this](bool begin) {
            if (begin) {
                beginSpots();
            } else {
                endSpots();
            }
        };
        s.refreshLabels = [this] { refreshBandMap(); };
        s.packetResize = [this] { packetResize(); };
        s.spotChoices = [this](const spots::SpotFilter& filter, bool skipDupes) {
            m_jumpSkipsDupes = skipDupes;
            if (!(filter.hideDupes == m_filter.hideDupes &&
                  filter.newPrefixesOnly == m_filter.newPrefixesOnly)) {
                setFilter(filter);
            }
        };
        m_spotting = new SpottingWindow(std::move(s), m_mainWindow);
        m_spotting->formLoad();
    }
    return m_spotting;
}

void BandMapController::showSpottingWindow() {
    SpottingWindow* w = spottingWindow();
    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->show();
    w->raise();
    w->activateWindow();
}

void BandMapController::configure() {
    if (m_services.host != nullptr) {
        m_services.host->savePref();
    }
    showSpottingWindow();
}

void BandMapController::showSpectrumMap() {
    if (m_spectrum != nullptr || m_services.host == nullptr || m_services.clock == nullptr) {
        return;
    }
    QRect area = m_services.workArea;
    if (area.isEmpty()) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            area = screen->availableGeometry();
        }
    }
    SpectrumMapWindow window(m_store, *m_services.clock, *m_services.host, area, m_mainWindow);
    m_spectrum = &window;
    window.bandMapLabelDisplay();
    if (m_services.runModal) {
        m_services.runModal(window);
    } else {
        window.exec();
    }
    m_spectrum = nullptr;
}

void BandMapController::shutdown() {
    if (m_spotting != nullptr) {
        m_spotting->formUnload();
        delete m_spotting;
        m_spotting = nullptr;
    }
}

void BandMapController::spotPressed(int slot, Qt::MouseButton button) {
    const spots::SpotSlot& s = m_store.slot(slot);
    if (button == Qt::RightButton) {
        m_lastJumpMhz = s.frequency;
        if (m_services.host != nullptr) {
            m_services.host->changeFrequency(s.frequency);
            m_services.host->enterCall(s.call, true);
        }
        return;
    }
    m_store.clearFrequency(slot);
    displayBandMapLabels();
}

void BandMapController::spotHovered(int slot) {
    if (m_services.host != nullptr) {
        m_services.host->showPossibleDupes(QString::fromLatin1(
            spots::spotMarkedToolTip(m_store.slot(slot), m_services.host->utcOffsetHours())));
    }
}

void BandMapController::listClicked(const QString& call, const QString& frequency) {
    SpotHost* host = m_services.host;
    if (host == nullptr) {
        return;
    }
    host->focusCall();
    bool ok = false;
    const double mhz = frequency.trimmed().toDouble(&ok);
    if (call.isEmpty() && frequency.isEmpty()) {
        return;
    }
    if (ok) {
        m_lastJumpMhz = mhz;
        if (host->rigSelected()) {
            host->changeFrequency(static_cast<float>(mhz));
        }
        host->enterCall(call.toLatin1().toStdString(), false);
    }
}

} // namespace wexon::ui
