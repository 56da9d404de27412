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
    QStringList tip;
    if (sizeHint(option, index).width() > option.rect.width())
        tip << index.data(Qt::DisplayRole).toString();
    // What a mark before the entry means.
    if (const QString own = index.data(Qt::ToolTipRole).toString(); !own.isEmpty())
        tip << own;
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), plainToolTip(tip.join(u'\n')), view->viewport(), option.rect);
    return true;
}
