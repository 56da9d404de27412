#include "document.h"

#include "documenttext.h"
#include "headingparser.h"
#include "textchars.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>

Document Document::read(const QString &path, const StateStore &store)
{
    Document document;
    QElapsedTimer clock;
    clock.start();
    DocumentText text = DocumentText::read(path);
    document.m_timings.readFile = clock.nsecsElapsed();
    if (!text.ok()) {
        // Nothing of the document is shown, so nothing of its state is touched.
        document.m_error = text.errorString();
        return document;
    }
    clock.restart();
    DocumentRecord &record = document.m_record;
    record.path = path;
    DocumentStateFiles &files = document.m_stateFiles.emplace(store.filesFor(path));
    document.m_stateCut = !files.readBookmarks(record);
    record.outline = parseOutline(text);
    document.m_timings.buildIndex = clock.nsecsElapsed();

    clock.restart();
    DocumentLinks found = findDocumentLinks(text.text());
    document.m_links = std::move(found.links);
    document.m_references = std::move(found.references);
    document.m_timings.findLinks = clock.nsecsElapsed();

    document.m_storedView = files.readView();
    document.m_name = DocumentName::ofFile(QFileInfo(path).fileName(), text.text());

    clock.restart();
    // The page breaks as the view sees its lines: a blanked control character
    // makes a blank line of a line that held nothing else.
    document.m_text = text.takeText();
    TextChars::blankUnshowable(document.m_text);
    document.m_pageFolds = findPageFolds(document.m_text);
    document.m_timings.foldPages = clock.nsecsElapsed();

    clock.restart();
    // The view's end of the text: every line end counts two positions there.
    const qint32 textEnd = qint32(document.m_text.size() + document.m_text.count(u'\n'));
    document.restoreHighlights(files.readHighlights(), textEnd);
    document.m_timings.readHighlights = clock.nsecsElapsed();
    document.m_ok = true;
    return document;
}

void Document::restoreHighlights(const std::optional<std::vector<TextRange>> &stored, qint32 textEnd)
{
    // Written over at close, an unread file would lose every highlight in it.
    m_highlightFileUnread = !stored;
    if (!stored)
        return;
    std::vector<TextRange> ranges;
    for (const TextRange &range : *stored) {
        // A damaged file, or a document that changed since: ranges merge as
        // the Highlight command merges them, and stop at the end of the text.
        const TextRange cut{range.start, std::min(range.end, textEnd)};
        if (cut.start < 0 || cut.start >= cut.end) {
            m_highlightsDamaged = true;
            continue;
        }
        ranges.push_back(cut);
    }
    m_record.highlights = RangeSet::fromRanges(std::move(ranges));
}

QString Document::highlightPath() const
{
    return m_stateFiles ? m_stateFiles->highlightPath() : QString();
}

bool Document::saveState(const ViewState &view, QString *error)
{
    if (!m_stateFiles)
        return true;
    // Highlights are written once: a later failure of the close must not
    // write them again. Bookmarks go last, so that a failure keeps them open.
    bool saved = m_stateFiles->writeView(view, error);
    if (saved && m_highlightsChanged && !m_highlightFileUnread) {
        saved = m_stateFiles->writeHighlights(m_record.highlights, error);
        m_highlightsChanged = !saved;
    }
    return saved && m_stateFiles->writeBookmarks(m_record, error);
}
