#pragma once

#include <vector>

#include <QAbstractTableModel>

#include "core/qso_record.h"

namespace wexon::ui {

// The log list's rows as a view over the QSO store: the model keeps only the
// record numbers it shows, in display order, and formats a cell when the view
// asks for it. Switching between the last 20 and all 13000 contacts therefore
// copies no record and builds no item.
class LogListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit LogListModel(QObject* parent = nullptr);

    // The store the record numbers refer to; it must outlive the model.
    void setStore(const std::vector<core::QsoRecord>* records);
    // The newest records first: all of them, or the last 20.
    void showNewest(bool showAll);
    // The given records (1-based numbers) in the given order, for the list of
    // earlier contacts with one call.
    void showRecords(std::vector<int> numbers);
    // Empties the list.
    void clear();
    // Sorts the rows shown now once by one column, ascending, as text. Rows shown
    // later come in their own order again.
    void sortOnceByColumn(int column);

    // The record number shown in `row`, or 0 outside the list.
    int recordNumberAt(int row) const;
    const std::vector<int>& recordNumbers() const { return m_rows; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    void replaceRows(std::vector<int> rows);
    QString cellText(int recordNumber, int column) const;

    const std::vector<core::QsoRecord>* m_records = nullptr;
    std::vector<int> m_rows;
};

} // namespace wexon::ui
