#include "elidedtooltipdelegate.h"
#include "plaintooltip.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

bool ElidedToolTipDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                      const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // option.rect is the room the view gives the item, past its indentation.
    if (sizeHint(option, index).width() > option.rect.width())
        QToolTip::showText(event->globalPos(), plainToolTip(index.data(Qt::DisplayRole).toString()), view->viewport(),
                           option.rect);
    else
        QToolTip::hideText();
    return true;
}
