#pragma once

#include "textsearch.h"

#include <QString>

class TextView;

// The searches of one document's text: Find and Find Next, which go round
// the end once a match was found, and the find bar's matches.
class DocumentFind
{
public:
    // Which match a search of the find bar selected: counted from 0, -1 when
    // there is none; wrapped when it went past an end of the text.
    struct MatchResult
    {
        int index = -1;
        int count = 0;
        bool wrapped = false;
    };

    explicit DocumentFind(TextView &view);

    // Selects the next match after the selection and gives the view the focus.
    void search(const QString &text, SearchOptions options);
    // The last search again, once it found something.
    void searchAgain();
    // Selects the first match starting at or after from (forward), or the
    // last one starting before it, going round the end when there is none;
    // nothing moves when the text has no match.
    MatchResult findMatch(const QString &text, SearchOptions options, qint32 from, bool forward);

private:
    TextView &m_view;
    bool m_hit = false;
    QString m_lastText;
    SearchOptions m_lastOptions;
};
