#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <vector>

class QTreeWidgetItem;

// One numbered section heading of a document.
struct Theading_info
{
    qint32 position = 0; // view position of the line's first character
    qint32 line = 0;     // counted from 1
    qint32 length = 0;   // without the line end
    QTreeWidgetItem *node = nullptr;
};

// One bookmark slot; line -1 marks a free slot.
struct Tbookmark_info
{
    qint32 line = -1;
    QString name;

    bool isFree() const { return line == -1; }
};

// The per-document record: line count, section headings, bookmarks and the
// names of the document's two state files.
class Crfc_doc
{
public:
    static constexpr int BookmarkSlots = 100;

    // Resets the record, forms the state-file names and loads the bookmarks.
    void Init(const QString &path);

    QString DocPath() const { return doc_path; }
    QString IniPath() const { return ini_path; }
    QString HlPath() const { return hl_path; }

    void LoadBookmarks();
    // Writes the bookmarks, renumbered in slot order; throws IniWriteError.
    void SaveBookmarks() const;

    qint32 line_count = 0;
    // One entry per heading, in file order; it grows with the document.
    std::vector<Theading_info> headings;
    std::array<Tbookmark_info, BookmarkSlots> bookmarks;
    qint32 bookmark_count = 0;

private:
    QString doc_path;
    QString ini_path;
    QString hl_path;
};
