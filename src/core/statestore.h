#pragma once

#include "rangeset.h"

#include <QString>

#include <optional>
#include <vector>

class DocumentRecord;

// Where the window of a document was left.
struct ViewState
{
    static constexpr int DefaultPanelWidth = 185;

    int panelWidth = DefaultPanelWidth;
    int topLine = 1; // counted from 1
};

// The two state files of one document: an INI file with its bookmarks and
// view, and a binary file with its highlights. Every write is atomic; a
// failed one leaves the file as it was and says why in *error.
class DocumentStateFiles
{
public:
    DocumentStateFiles(QString iniPath, QString highlightPath);

    QString iniPath() const { return m_iniPath; }
    QString highlightPath() const { return m_highlightPath; }

    // Missing or unreadable entries read as defaults.
    void readBookmarks(DocumentRecord &record) const;
    ViewState readView() const;
    // Nothing when the highlight file exists but cannot be read.
    std::optional<std::vector<TextRange>> readHighlights() const;

    // The bookmarks, renumbered in slot order.
    bool writeBookmarks(const DocumentRecord &record, QString *error) const;
    bool writeView(const ViewState &view, QString *error) const;
    // Without ranges the file is deleted.
    bool writeHighlights(const RangeSet &highlights, QString *error) const;

private:
    QString m_iniPath;
    QString m_highlightPath;
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
