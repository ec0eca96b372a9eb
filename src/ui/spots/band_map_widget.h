#pragma once

#include <array>
#include <cstdint>
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
    // The store slot the label shows now (spots move down the store as new
    // ones arrive, and a label stays with its spot).
    void setSlot(int slot) { m_slot = slot; }

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
// Sets a spot label's font for a mark: bold and underlined for a new prefix,
// struck out for a dupe, plain otherwise.
void setLabelMarkFont(QLabel* label, const spots::SpotMark& mark);
// The caption a label shows for a spot: its prefix, and "?" for an
// unconfirmed skimmer spot.
QString markedCaption(const spots::SpotSlot& slot);

// The main window's band map (`lblDX`): a navy panel with a frequency axis
// (`LineDX`), five scale labels (`lblFreqSpot_0` to `_4`) under it and 50 spot
// labels (`lblDXSpot_0` to `_49`) above it. A label stays with the spot it
// shows while that spot moves down the store, so a redraw touches only the
// labels whose spot, age or place changed: each change of a label is work for
// an attached screen reader, and a busy cluster redraws often.
class BandMapWidget : public QFrame {
    Q_OBJECT
  public:
    explicit BandMapWidget(QWidget* parent = nullptr);

    // Writes the scale captions.
    void setScale(const spots::MapScale& scale);
    // Shows and places the given spots' labels and hides the others.
    // A label shows its spot's mark without touching the age colour: a new
    // prefix is bold and underlined, a dupe struck out, an unconfirmed skimmer
    // spot has a "?" after its prefix; the tool tip and the accessible name
    // say the mark in words.
    void showLabels(const std::vector<spots::LabelPlacement>& labels, const spots::SpotStore& store,
                    float utcOffsetHours, const core::DateTime& now);

    // The label showing store slot `slot`, or a hidden one when none does.
    QLabel* spotLabel(int slot) const;
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
    void placeLabel(std::size_t label);

    QFrame* m_axis = nullptr;
    std::array<QLabel*, 5> m_scale{};
    // Space between the panel's edges and the axis ends: half the widest
    // scale caption, so the end captions are drawn whole.
    int m_axisMargin = 4;
    // Per label: the spot it shows (its store serial, 0 for none), where it
    // sits along the axis, the colour it was last given (-1: none yet) and
    // its tool tip as plain text.
    std::array<SpotLabel*, spots::SpotStore::kSlots> m_spots{};
    std::array<std::uint64_t, spots::SpotStore::kSlots> m_serials{};
    std::array<double, spots::SpotStore::kSlots> m_positions{};
    std::array<int, spots::SpotStore::kSlots> m_ages{};
    std::array<QString, spots::SpotStore::kSlots> m_tips;
    // Per label: the mark it was last drawn with and its accessible name.
    std::array<spots::SpotMark, spots::SpotStore::kSlots> m_marks{};
    std::array<QString, spots::SpotStore::kSlots> m_spoken;
};

} // namespace wexon::ui
