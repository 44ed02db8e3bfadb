#include "gui/windows/CustomDelegate.h"

#include <QPainter>

#include "gui/windows/ScanModel.h"

void CustomDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    const QString name = index.sibling(index.row(), ScanModel::NameColumn).data(Qt::DisplayRole).toString();
    if (!ScanModel::isSeparatorText(name)) {
        QItemDelegate::paint(painter, option, index);
        return;
    }
    const QRect& r = option.rect;
    const int middle = (r.top() + r.bottom()) / 2;
    painter->drawLine(r.left(), middle, r.right() + 1, middle);
}
