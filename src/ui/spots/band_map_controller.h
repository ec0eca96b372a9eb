#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QObject>
#include <QRect>

#include "core/clock.h"
#include "rig/cat_port.h"
#include "spots/skimmer_line.h"
#include "spots/spot_links.h"
#include "spots/spot_marks.h"
#include "spots/spot_list.h"
#include "spots/spot_store.h"
#include "ui/common/prompts.h"
#include "ui/spots/band_map_host.h"

class QDialog;
class QStackedWidget;
class QTimer;
class QWidget;

namespace wexon::ui {

class BandMapWidget;
class SpectrumMapWindow;
class SpotListWidget;
class SpottingWindow;

// What the spot displays are built with.
struct SpotServices {
    SpotHost* host = nullptr;
    Prompts* prompts = nullptr;
    core::Clock* clock = nullptr;
    QString workingFolder;
    rig::CatPort* tncPort = nullptr;
    spots::AgwLink* agw = nullptr;
    // Shows a modal window and returns when it closes; tests replace it.
    std::function<int(QDialog&)> runModal;
    // The screen's work area for the spectrum map; empty takes the primary screen's.
    QRect workArea;
};

// The main window's spot displays and the spot store, in one place: the strip at
// the bottom of the main window holding the spot list (`txtDX`) or the band map
// (`lblDX`), the spotting window, and the spectrum map. The main window creates
// one, puts strip() at the bottom of its layout and forwards its keys, menu items
// and band changes here.
class BandMapController : public QObject {
    Q_OBJECT
  public:
    enum class Display { None, List, BandMap };

    BandMapController(SpotServices services, QWidget* mainWindow);
    ~BandMapController() override;

    // The strip for the bottom of the main window; hidden until a source is chosen
    // and the spotting window is left with "&Done".
    QWidget* strip() const;
    SpotListWidget* spotList() const { return m_list; }
    BandMapWidget* bandMap() const { return m_bandMap; }
    Display display() const { return m_display; }

    // A new spot (BandMapSpots): the own-call warning, the store, the list and the
    // maps. `frequencyKhz` is the frequency column as received.
    void bandMapSpots(const std::string& call, const std::string& frequencyKhz,
                      const std::string& spotText);
    // Spots that arrive together: between begin and end the maps and the list are
    // brought up to date once, at the end. During a burst of reads that is done
    // at most once every kBurstRedrawMs: a busy cluster would otherwise keep
    // the window (and an attached screen reader) redrawing between keys.
    void beginSpots();
    void endSpots();
    static constexpr int kBurstRedrawMs = 250;
    // Shows, switches or removes the strip after "&Done" (PacketResize).
    void packetResize();
    // Writes the band map's scale (SetBandMapScale).
    void setBandMapScale();
    // Redraws the band map's labels while it is shown (DisplayBandMapLabels).
    void displayBandMapLabels();
    // Main window activation (RefreshBandMap).
    void refreshBandMap();
    // The band changed (ApplyBand).
    void bandChanged();

    // The spotting window, created and loaded on first use.
    SpottingWindow* spottingWindow();
    // Ctrl+D, a click on the band map: the spotting window, modeless, not minimised.
    void showSpottingWindow();
    // "&Configure": SavePref, then the spotting window.
    void configure();
    // Ctrl+B, "&View Spectrum Map", a double click on the list or band map: the
    // spectrum map, modal, made for this opening.
    void showSpectrumMap();
    SpectrumMapWindow* spectrumMap() const { return m_spectrum; }
    // The program ends: the spotting window's unload.
    void shutdown();

    spots::SpotStore& store() { return m_store; }
    const spots::SpotList& listRows() const { return m_rows; }

    // --- marks, filters and jumps ---
    // The log, the band or the merged log changed: every spot is marked again
    // and only the labels and rows whose mark changed are redrawn.
    void remarkSpots();
    void setFilter(const spots::SpotFilter& filter);
    const spots::SpotFilter& filter() const { return m_filter; }
    void setJumpSkipsDupes(bool on) { m_jumpSkipsDupes = on; }
    bool jumpSkipsDupes() const { return m_jumpSkipsDupes; }
    // Ctrl+Up / Ctrl+Down: to the nearest shown spot above or below the rig's
    // frequency (without a reading, the spot last jumped to or clicked): the
    // rig is tuned there when one is chosen, the call goes into the call box and
    // is spoken. False when there is no spot that way.
    bool jump(spots::JumpDirection direction);
    // The calls spotted on the current band (the check-partial list marks them).
    const spots::SpottedCalls& spottedCalls() const { return m_spotted; }

  signals:
    // The set of calls spotted on the current band changed.
    void spottedCallsChanged();

  private:
    void spotPressed(int slot, Qt::MouseButton button);
    void spotHovered(int slot);
    void listClicked(const QString& call, const QString& frequency);
    // Brings the maps and the list up to date with the spots taken since the
    // last redraw.
    void drawPendingSpots();
    // A skimmer's report of a signal already on show replaces that spot and
    // its list row; false when there is none to replace.
    bool foldSkimmerSpot(const spots::SkimmerReport& report, int skimmers);
    // A spot through the store and the list; `skimmers` is 0 for a person's spot.
    // `listTime` replaces the list's time column when not empty.
    void takeSpot(const std::string& call, const std::string& frequencyKhz,
                  const std::string& spotText, int skimmers, bool known,
                  const std::string& listTime);
    // Marks the newest stored spot and, when given, a list row.
    void markNewest(int skimmers, bool known, std::size_t row);
    // The shown placements on the current band, with the filters applied.
    std::vector<spots::LabelPlacement> shownPlacements(spots::MapScale* scale = nullptr) const;
    // Brings the list's shown rows up to date with their marks and the filters.
    void refreshListRows(const std::vector<std::size_t>& rows);
    void updateSpottedCalls();

    SpotServices m_services;
    QWidget* m_mainWindow;
    spots::SpotStore m_store;
    spots::SpotList m_rows;
    QStackedWidget* m_strip = nullptr;
    SpotListWidget* m_list = nullptr;
    BandMapWidget* m_bandMap = nullptr;
    SpottingWindow* m_spotting = nullptr;
    SpectrumMapWindow* m_spectrum = nullptr;
    Display m_display = Display::None;
    int m_batchDepth = 0;
    bool m_redrawPending = false;
    // Rows taken into m_rows but not yet drawn (the newest ones, on top).
    std::size_t m_pendingRowCount = 0;
    spots::SpotFilter m_filter;
    bool m_jumpSkipsDupes = false;
    spots::SkimmerTally m_skimmers;
    spots::SpottedCalls m_spotted;
    std::optional<double> m_lastJumpMhz; // the spot last jumped to or clicked
    QElapsedTimer m_sinceRedraw;     // since the spots were last drawn
    QTimer* m_redrawTimer = nullptr; // draws spots held back by the rate cap
};

} // namespace wexon::ui
