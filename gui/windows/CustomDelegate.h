#pragma once

#include <QItemDelegate>

// Draws the separator row of the scan list as one line across each cell; other rows as usual.
class CustomDelegate : public QItemDelegate {
    Q_OBJECT

public:
    using QItemDelegate::QItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
