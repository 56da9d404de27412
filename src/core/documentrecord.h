#pragma once

#include "headingparser.h"
#include "rangeset.h"

#include <QString>

#include <array>

// One bookmark slot; line -1 marks a free slot.
struct Bookmark
{
    qint32 line = -1;
    QString name;

    bool isFree() const { return line == -1; }

    friend bool operator==(const Bookmark &, const Bookmark &) = default;
};

// Everything the reader knows about one open document besides its text: its
// outline, its bookmarks and its highlighted ranges.
class DocumentRecord
{
public:
    static constexpr int BookmarkSlots = 100;

    QString path;
    Outline outline;
    std::array<Bookmark, BookmarkSlots> bookmarks;
    // As stored: it may exceed the slots in use.
    qint32 bookmarkCount = 0;
    RangeSet highlights;

    // The slot the bookmark went into, or -1 when every slot is taken.
    int addBookmark(qint32 line, const QString &name);
    void deleteBookmark(int slot);
};
