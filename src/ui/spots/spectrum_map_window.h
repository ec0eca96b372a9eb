#pragma once

#include <array>

#include <QDialog>
#include <QRect>

#include "core/clock.h"
#include "spots/spectrum_layout.h"
#include "spots/spot_store.h"
#include "ui/spots/band_map_host.h"

class QFrame;
class QLabel;

namespace wexon::ui {

class SpotLabel;

// The HF spectrum map (`SpectrumMap`): eleven band strips (`lblHFSpots_0` to
// `_10`), each with its axis (`lineHF_k`) and five scale labels (`lblFreqSpot_5k`
// to `_5k+4`), and 50 spot labels (`lblDXSpot_i` for store slot i) placed on the
// strip of their band. It fills the screen's work area. Shown modally; made for
// one opening.
class SpectrumMapWindow : public QDialog {
    Q_OBJECT
  public:
    SpectrumMapWindow(spots::SpotStore& store, const core::Clock& clock, SpotHost& host,
                      QRect workArea, QWidget* parent = nullptr);

    // Redraws all spot labels (BandMapLabelDisplay).
    void bandMapLabelDisplay();

    QLabel* spotLabel(int slot) const;
    QLabel* scaleLabel(int index) const;
    QFrame* axis(int strip) const { return m_axes[static_cast<std::size_t>(strip)]; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void layoutStrips();
    void setSpectrumScales();
    void placeSpot(int slot);
    void spotPressed(int slot, Qt::MouseButton button);

    spots::SpotStore& m_store;
    const core::Clock& m_clock;
    SpotHost& m_host;
    std::array<QLabel*, 11> m_strips{};
    std::array<QFrame*, 11> m_axes{};
    std::array<QLabel*, 55> m_scale{};
    std::array<SpotLabel*, spots::SpotStore::kSlots> m_spots{};
    std::array<spots::LabelPlacement, spots::SpotStore::kSlots> m_placements{};
};

} // namespace wexon::ui
