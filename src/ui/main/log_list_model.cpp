#include "ui/main/log_list_model.h"

#include <algorithm>

#include "core/log_list.h"

namespace wexon::ui {

LogListModel::LogListModel(QObject* parent) : QAbstractTableModel(parent) {}

void LogListModel::setStore(const std::vector<core::QsoRecord>* records) {
    m_records = records;
    clear();
}

void LogListModel::replaceRows(std::vector<int> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void LogListModel::showNewest(bool showAll) {
    const int count = m_records ? static_cast<int>(m_records->size()) : 0;
    const int first =
        (showAll || count < core::kLogListRecent) ? 1 : count - (core::kLogListRecent - 1);
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(std::max(0, count - first + 1)));
    for (int n = count; n >= first; --n) {
        rows.push_back(n);
    }
    replaceRows(std::move(rows));
}

void LogListModel::showRecords(std::vector<int> numbers) {
    const int count = m_records ? static_cast<int>(m_records->size()) : 0;
    std::erase_if(numbers, [count](int n) { return n < 1 || n > count; });
    replaceRows(std::move(numbers));
}

void LogListModel::clear() {
    replaceRows({});
}

void LogListModel::sortOnceByColumn(int column) {
    if (column < 0 || column >= columnCount() || m_rows.size() < 2) {
        return;
    }
    // Format each key once, then sort the numbers by it.
    std::vector<std::pair<std::string, int>> keyed;
    keyed.reserve(m_rows.size());
    for (int n : m_rows) {
        keyed.emplace_back(
            core::logListCell((*m_records)[static_cast<std::size_t>(n - 1)], n, column), n);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> rows;
    rows.reserve(keyed.size());
    for (const auto& k : keyed) {
        rows.push_back(k.second);
    }
    replaceRows(std::move(rows));
}

int LogListModel::recordNumberAt(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return 0;
    }
    return m_rows[static_cast<std::size_t>(row)];
}

int LogListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int LogListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(core::kLogListColumns.size());
}

QString LogListModel::cellText(int recordNumber, int column) const {
    if (m_records == nullptr || recordNumber < 1 ||
        recordNumber > static_cast<int>(m_records->size())) {
        return {};
    }
    std::string text = core::logListCell((*m_records)[static_cast<std::size_t>(recordNumber - 1)],
                                         recordNumber, column);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant LogListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) {
        return {};
    }
    return cellText(recordNumberAt(index.row()), index.column());
}

QVariant LogListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    return QString::fromLatin1(core::kLogListColumns[static_cast<std::size_t>(section)].title);
}

} // namespace wexon::ui
