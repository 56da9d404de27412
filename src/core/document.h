#pragma once

#include "documentname.h"
#include "documentrecord.h"
#include "linkfinder.h"
#include "pagelayout.h"
#include "statestore.h"

#include <QString>

#include <optional>
#include <vector>

// One document without a window: its text, what was found in it and its
// state as stored. read() does all the work that needs no window, so it may
// run on any thread; the window then takes the document over.
class Document
{
public:
    // How long each step of read() took, in nanoseconds.
    struct Timings
    {
        qint64 readFile = 0;
        qint64 buildIndex = 0; // the outline and the bookmarks
        qint64 findLinks = 0;
        qint64 foldPages = 0;
        qint64 readHighlights = 0; // read, cut and merged
    };

    // Not read: not ok(), with no error.
    Document() = default;

    // Reads the file, its outline, links and page breaks, and its state. When
    // the file cannot be read, no state is read either and saveState() writes
    // nothing.
    static Document read(const QString &path, const StateStore &store);

    bool ok() const { return m_ok; }
    // Why the file could not be read, for the user.
    QString errorString() const { return m_error; }
    const Timings &timings() const { return m_timings; }

    const QString &path() const { return m_record.path; }
    // The RFC or draft the file holds, by its file name or its first page;
    // the same document however it was reached.
    const std::optional<DocumentName> &name() const { return m_name; }
    // Lines joined by "\n", unshowable characters blanked as the view shows
    // them; empty once taken.
    const QString &text() const { return m_text; }
    QString takeText() { return std::move(m_text); }
    // The outline, the bookmarks and the highlights: the stored ones, cut to
    // the end of the text and merged as the Highlight command merges them.
    DocumentRecord &record() { return m_record; }
    const DocumentRecord &record() const { return m_record; }
    // In the text's own positions; empty once taken.
    const std::vector<Link> &links() const { return m_links; }
    std::vector<Link> takeLinks() { return std::move(m_links); }
    const std::vector<ReferenceEntry> &references() const { return m_references; }
    const std::vector<PageFold> &pageFolds() const { return m_pageFolds; }
    const ViewState &storedView() const { return m_storedView; }

    // The state file held more entries than are read: only the first are kept.
    bool stateCut() const { return m_stateCut; }
    // Some stored highlights were damaged or lay past the end of the text.
    bool highlightsDamaged() const { return m_highlightsDamaged; }
    // The highlight file exists but could not be read: it is never replaced.
    bool highlightFileUnread() const { return m_highlightFileUnread; }
    QString highlightPath() const;

    // The record's highlights were edited since they were read or saved.
    bool highlightsChanged() const { return m_highlightsChanged; }
    void markHighlightsChanged() { m_highlightsChanged = true; }

    // Writes the view, then the highlights when they changed and their file
    // was readable, then the bookmarks, so that a failure keeps the bookmarks
    // to try again; highlights once written are not written again. False at
    // the first write that fails, with the reason.
    bool saveState(const ViewState &view, QString *error);

private:
    void restoreHighlights(const std::optional<std::vector<TextRange>> &stored, qint32 textEnd);

    bool m_ok = false;
    QString m_error;
    Timings m_timings;
    QString m_text;
    DocumentRecord m_record;
    std::vector<Link> m_links;
    std::vector<ReferenceEntry> m_references;
    std::vector<PageFold> m_pageFolds;
    ViewState m_storedView;
    std::optional<DocumentName> m_name;
    std::optional<DocumentStateFiles> m_stateFiles;
    bool m_stateCut = false;
    bool m_highlightsDamaged = false;
    bool m_highlightFileUnread = false;
    bool m_highlightsChanged = false;
};
