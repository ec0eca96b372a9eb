#pragma once

#include <array>
#include <vector>

#include <QFrame>
#include <QLabel>

#include "spots/band_map_layout.h"
#include "spots/spot_store.h"

namespace wexon::ui {

// A spot label of a band map: reports presses and the mouse passing over it.
class SpotLabel : public QLabel {
    Q_OBJECT
  public:
    SpotLabel(int slot, QWidget* parent);
    int slot() const { return m_slot; }

  signals:
    void pressed(int slot, Qt::MouseButton button);
    void hovered(int slot);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

  private:
    int m_slot;
};

// Sets a spot label's text colour.
void setLabelColour(QLabel* label, const spots::Rgb& colour);

// The main window's band map (`lblDX`): a navy panel with a frequency axis
// (`LineDX`), five scale labels (`lblFreqSpot_0` to `_4`) under it and 50 spot
// labels (`lblDXSpot_0` to `_49`, label i showing store slot i) above it.
class BandMapWidget : public QFrame {
    Q_OBJECT
  public:
    explicit BandMapWidget(QWidget* parent = nullptr);

    // Writes the scale captions.
    void setScale(const spots::MapScale& scale);
    // Hides every spot label, then shows and places the given ones.
    void showLabels(const std::vector<spots::LabelPlacement>& labels, const spots::SpotStore& store,
                    float utcOffsetHours);

    QLabel* spotLabel(int slot) const { return m_spots[static_cast<std::size_t>(slot)]; }
    QLabel* scaleLabel(int i) const { return m_scale[static_cast<std::size_t>(i)]; }
    // The axis ends and height in this widget's coordinates.
    int axisX1() const;
    int axisX2() const;
    int axisY() const;

  signals:
    void spotPressed(int slot, Qt::MouseButton button);
    void spotHovered(int slot);
    void panelClicked();
    void panelDoubleClicked();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void placeScale();
    void placeLabel(int slot);

    QFrame* m_axis = nullptr;
    std::array<QLabel*, 5> m_scale{};
    std::array<SpotLabel*, spots::SpotStore::kSlots> m_spots{};
    std::array<double, spots::SpotStore::kSlots> m_positions{};
    // The colour each label was last given (-1: none yet); setting a palette
    // is not free, and most redraws change no colour.
    std::array<int, spots::SpotStore::kSlots> m_ages{};
};

} // namespace wexon::ui
