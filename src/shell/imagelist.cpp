#include "imagelist.h"

#include <QHash>

QIcon ImageList::icon(int index)
{
    static QHash<int, QIcon> cache;
    auto found = cache.find(index);
    if (found == cache.end())
        found = cache.insert(index, QIcon(QStringLiteral(":/icons/%1.png").arg(index)));
    return *found;
}
