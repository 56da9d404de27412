#pragma once

#include <QStyledItemDelegate>

// Shows an item's full text as its tool tip when the view cuts the text
// short, and no tool tip when it fits.
class ElidedToolTipDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};
