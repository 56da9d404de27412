#include "documentrecord.h"

#include <algorithm>

int DocumentRecord::addBookmark(qint32 line, const QString &name)
{
    const auto freeSlot = std::find_if(bookmarks.begin(), bookmarks.end(),
                                       [](const Bookmark &slot) { return slot.isFree(); });
    if (freeSlot == bookmarks.end())
        return -1;
    freeSlot->line = line;
    freeSlot->name = name;
    ++bookmarkCount;
    return int(freeSlot - bookmarks.begin());
}

void DocumentRecord::deleteBookmark(int slot)
{
    bookmarks[size_t(slot)] = Bookmark();
    --bookmarkCount;
}
