#pragma once

#include <vector>

#include <QTreeWidget>

#include "spots/spot_list.h"

namespace wexon::ui {

// The main window's spot list (`txtDX`): newest row on top, at most 200 rows,
// columns Call, Frequency, QTH, Status (hidden), Comments, Prefix, Time, From.
class SpotListWidget : public QTreeWidget {
    Q_OBJECT
  public:
    // `widthScale` turns the design widths (twips) into pixels.
    explicit SpotListWidget(double widthScale = 1.0 / 15.0, QWidget* parent = nullptr);

    // Puts a row on top, dropping the bottom row beyond 200.
    void addSpot(const spots::SpotListRow& row);
    // Puts rows on top, the last of them topmost, as addSpot one by one would,
    // but in one removal and one insertion: each change of the list is an
    // event for an attached screen reader.
    void addSpots(const std::vector<spots::SpotListRow>& rows);
    // Shows a row's mark: the Status text, bold for a new prefix, struck out
    // for a dupe; `hidden` hides the row (the spotting window's filters).
    // Changes nothing that is already so.
    void showRowMark(int index, const spots::SpotListRow& row, bool hidden);
    // Scales every column width (window scaling).
    void scaleColumns(double factor);

  signals:
    // A click on the list, with the selected row's call and frequency text (empty
    // when the list has no rows).
    void spotClicked(const QString& call, const QString& frequency);
    void doubleClicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace wexon::ui
