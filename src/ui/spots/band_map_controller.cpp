#include "ui/spots/band_map_controller.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>

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
    m_redrawPending = true;
    if (r.row) {
        // Only the last 200 can still be on the list when they are drawn.
        if (m_pendingRows.size() >= spots::SpotList::kMaxRows) {
            m_pendingRows.erase(m_pendingRows.begin());
        }
        m_pendingRows.push_back(*r.row);
    }
    if (m_batchDepth == 0) {
        drawPendingSpots();
    }
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
    m_list->addSpots(m_pendingRows);
    m_pendingRows.clear();
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
    const std::string band = m_services.host != nullptr ? m_services.host->band() : std::string();
    const spots::FrequencyRange range = spots::bandMapRange(band).value_or(spots::FrequencyRange{});
    const spots::MapScale scale = spots::zoomedScale(range, m_store);
    m_bandMap->setScale(scale);
    const core::DateTime now =
        m_services.clock != nullptr ? m_services.clock->localNow() : core::DateTime{};
    m_bandMap->showLabels(spots::bandMapLabels(m_store, scale, now), m_store,
                          m_services.host != nullptr ? m_services.host->utcOffsetHours() : 0.0f);
}

void BandMapController::refreshBandMap() {
    if (m_display == Display::BandMap) {
        displayBandMapLabels();
    }
}

void BandMapController::bandChanged() {
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
            spots::spotToolTip(m_store.slot(slot), m_services.host->utcOffsetHours())));
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
        if (host->rigSelected()) {
            host->changeFrequency(static_cast<float>(mhz));
        }
        host->enterCall(call.toLatin1().toStdString(), false);
    }
}

} // namespace wexon::ui
