#pragma once

#include "documentrecord.h"
#include "rangeset.h"

#include <QString>

#include <optional>
#include <vector>

// Where the window of a document was left.
struct ViewState
{
    static constexpr int DefaultPanelWidth = 185;

    // Absent until the window was closed once: the window then picks a
    // width that shows its titles.
    std::optional<int> panelWidth;
    int topLine = 1; // counted from 1
};

// The two state files of one document: an INI file with its bookmarks and
// view, and a binary file with its highlights. Every write is atomic; a
// failed one leaves the file as it was and says why in *error. Each read or
// write parses the INI file once.
//
// Another instance may write the same files between our read and our write:
// what it added since our read is kept beside what we write.
class DocumentStateFiles
{
public:
    DocumentStateFiles(QString iniPath, QString highlightPath);

    QString iniPath() const { return m_iniPath; }
    QString highlightPath() const { return m_highlightPath; }

    // Missing or unreadable entries read as defaults. False when the file
    // held more entries than are read (IniContents::MaxSectionEntries a
    // section): the next write keeps only those.
    bool readBookmarks(DocumentRecord &record);
    ViewState readView() const;
    // Nothing when the highlight file exists but cannot be read.
    std::optional<std::vector<TextRange>> readHighlights();

    // The bookmarks, renumbered in slot order.
    bool writeBookmarks(const DocumentRecord &record, QString *error);
    bool writeView(const ViewState &view, QString *error) const;
    // Without ranges the file is deleted.
    bool writeHighlights(const RangeSet &highlights, QString *error);

private:
    QString m_iniPath;
    QString m_highlightPath;
    // As last read or written; nothing before the first read.
    std::optional<std::vector<Bookmark>> m_bookmarksOnDisk;
    // Sorted.
    std::optional<std::vector<TextRange>> m_highlightsOnDisk;
};

// The folder of the per-document state files, and how a document's path
// becomes their names.
class StateStore
{
public:
    // folder ends with a separator.
    explicit StateStore(QString folder);

    QString folder() const { return m_folder; }
    // The path with "\\", "/", ":" and "." made "_"; a name whose highlight
    // file would pass 255 bytes keeps its first 200 bytes (whole UTF-8
    // characters), "_" and 16 hex digits of the SHA-256 of the whole name.
    DocumentStateFiles filesFor(const QString &documentPath) const;

private:
    QString m_folder;
};
