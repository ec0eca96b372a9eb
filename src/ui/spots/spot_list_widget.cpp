#include "ui/spots/spot_list_widget.h"

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

void SpotListWidget::addSpot(const spots::SpotListRow& row) {
    while (topLevelItemCount() >= static_cast<int>(spots::SpotList::kMaxRows)) {
        delete takeTopLevelItem(topLevelItemCount() - 1);
    }
    auto* item = new QTreeWidgetItem(
        QStringList{QString::fromLatin1(row.call), QString::fromLatin1(row.frequency),
                    QString::fromLatin1(row.country), QString::fromLatin1(row.status),
                    QString::fromLatin1(row.comments), QString::fromLatin1(row.prefix),
                    QString::fromLatin1(row.time), QString::fromLatin1(row.from)});
    insertTopLevelItem(0, item);
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
