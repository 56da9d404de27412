#pragma once

#include "documentfind.h"

class TextView;

// A read-only text in front that the Find commands search and Copy
// Reference cites: a document, or the side of a comparison last used.
class SearchableText
{
public:
    using MatchResult = DocumentFind::MatchResult;

    virtual ~SearchableText() = default;

    virtual TextView *searchedView() const = 0;
    // See DocumentFind.
    virtual void search(const QString &text, SearchOptions options) = 0;
    virtual void searchAgain() = 0;
    virtual MatchResult findMatch(const QString &text, SearchOptions options, qint32 from, bool forward) = 0;
    // Marks the matches in sight, until an empty text clears them.
    virtual void markMatches(const QString &text, SearchOptions options) = 0;
    // The citation of the caret's section, with the selection quoted below it.
    virtual QString reference() const = 0;
};
