#pragma once

#include <QStyledItemDelegate>

// Shows an item's full text as its tool tip when the view cuts the text
// short, with the item's own tool tip below it; no tool tip when the text
// fits and the item has none.
class ElidedToolTipDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};
