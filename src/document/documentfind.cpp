#include "documentfind.h"

#include "textview.h"

#include <algorithm>

DocumentFind::DocumentFind(TextView &view)
    : m_view(view)
{
}

void DocumentFind::search(const QString &text, SearchOptions options)
{
    if (text != m_lastText && !text.isEmpty()) {
        m_hit = false;
        m_lastText = text;
        m_lastOptions = options;
    }
    const qint32 selected = m_view.selectionLength();
    const qint32 total = m_view.textLength();
    const qint32 findStart = (selected > 0 && total > selected) ? m_view.selectionStart() + selected : 0;

    qint32 found = m_view.findText(text, findStart, total - findStart, options);
    if (found < 0 && m_hit)
        found = m_view.findText(text, 0, total, options);
    if (found < 0)
        return;
    m_view.setFocus();
    m_view.setSelectionStart(found);
    m_view.setSelectionLength(qint32(text.size()));
    m_hit = true;
}

void DocumentFind::searchAgain()
{
    if (m_hit)
        search(m_lastText, m_lastOptions);
}

DocumentFind::MatchResult DocumentFind::findMatch(const QString &text, SearchOptions options, qint32 from,
                                                  bool forward)
{
    const std::vector<qint32> &matches = m_view.matches(text, options);
    MatchResult result;
    result.count = int(matches.size());
    if (matches.empty())
        return result;
    auto at = std::lower_bound(matches.begin(), matches.end(), from);
    if (forward) {
        result.wrapped = at == matches.end();
        if (result.wrapped)
            at = matches.begin();
    } else {
        result.wrapped = at == matches.begin();
        at = result.wrapped ? std::prev(matches.end()) : std::prev(at);
    }
    result.index = int(at - matches.begin());
    m_view.setSelectionStart(*at);
    m_view.setSelectionLength(qint32(text.size()));
    return result;
}
