#include "ui/spots/spot_list_widget.h"

#include <algorithm>

#include <QHeaderView>
#include <QMouseEvent>

namespace wexon::ui {

SpotListWidget::SpotListWidget(double widthScale, QWidget* parent) : QTreeWidget(parent) {
    setObjectName("txtDX");
    setAccessibleName("DX spots");
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(static_cast<int>(spots::kSpotListColumns.size()));
    QStringList headers;
    for (const auto& c : spots::kSpotListColumns) {
        headers << QString::fromLatin1(c.header);
    }
    setHeaderLabels(headers);
    for (int i = 0; i < columnCount(); ++i) {
        const int width = spots::kSpotListColumns[static_cast<std::size_t>(i)].width;
        setColumnWidth(i, static_cast<int>(width * widthScale));
        if (width == 0) {
            setColumnHidden(i, true);
        }
    }
}

namespace {

QTreeWidgetItem* itemOf(const spots::SpotListRow& row) {
    return new QTreeWidgetItem(
        QStringList{QString::fromLatin1(row.call), QString::fromLatin1(row.frequency),
                    QString::fromLatin1(row.country), QString::fromLatin1(row.status),
                    QString::fromLatin1(row.comments), QString::fromLatin1(row.prefix),
                    QString::fromLatin1(row.time), QString::fromLatin1(row.from)});
}

} // namespace

void SpotListWidget::addSpot(const spots::SpotListRow& row) {
    addSpots({row});
}

void SpotListWidget::addSpots(const std::vector<spots::SpotListRow>& rows) {
    const std::size_t max = spots::SpotList::kMaxRows;
    const std::size_t shown = std::min(rows.size(), max);
    if (shown == 0) {
        return;
    }
    const int keep = static_cast<int>(max - shown);
    if (topLevelItemCount() > keep) {
        model()->removeRows(keep, topLevelItemCount() - keep);
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(shown));
    for (std::size_t i = rows.size(); i-- > rows.size() - shown;) {
        items.push_back(itemOf(rows[i]));
    }
    insertTopLevelItems(0, items);
}

void SpotListWidget::showRowMark(int index, const spots::SpotListRow& row, bool hidden) {
    QTreeWidgetItem* item = topLevelItem(index);
    if (item == nullptr) {
        return;
    }
    const QString status = QString::fromLatin1(row.status);
    if (item->text(3) != status) {
        item->setText(3, status);
    }
    const QString frequency = QString::fromLatin1(row.frequency);
    if (item->text(1) != frequency) {
        item->setText(1, frequency);
    }
    const bool bold = row.mark.status == core::ContactStatus::NewPrefix;
    const bool struck = row.mark.status == core::ContactStatus::Dupe;
    QFont f = item->font(0);
    if (f.bold() != bold || f.strikeOut() != struck) {
        f.setBold(bold);
        f.setStrikeOut(struck);
        for (int c = 0; c < columnCount(); ++c) {
            item->setFont(c, f);
        }
    }
    if (item->isHidden() != hidden) {
        item->setHidden(hidden);
    }
}

void SpotListWidget::scaleColumns(double factor) {
    for (int i = 0; i < columnCount(); ++i) {
        setColumnWidth(i, static_cast<int>(columnWidth(i) * factor));
    }
}

void SpotListWidget::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    QTreeWidgetItem* item = currentItem();
    if (item == nullptr || topLevelItemCount() == 0) {
        emit spotClicked({}, {});
        return;
    }
    emit spotClicked(item->text(0), item->text(1));
}

void SpotListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

} // namespace wexon::ui
