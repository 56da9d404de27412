#include "markedpassage.h"

namespace {

// Characters of the passage shown before the first match, and in all: few
// before it, so that a narrow panel still shows the match.
constexpr qsizetype LeadIn = 30;
constexpr qsizetype SnippetLength = 220;

// Stops at a blank so that the snippet does not start or end inside a word.
qsizetype backToBlank(QStringView text, qsizetype at, qsizetype floor)
{
    while (at > floor && !text[at - 1].isSpace())
        --at;
    return at;
}

} // namespace

std::optional<PassageMatch> readMarkedPassage(QStringView marked, const std::vector<int> &lines)
{
    const qsizetype open = marked.indexOf(MatchOpen);
    if (open < 0)
        return std::nullopt;
    const qsizetype close = marked.indexOf(MatchClose, open);
    const qsizetype matchEnd = close < 0 ? marked.size() : close;

    PassageMatch match;
    const qsizetype lineStart = marked.lastIndexOf(u'\n', open) + 1;
    const auto lineIndex = size_t(marked.first(open).count(u'\n'));
    match.line = lineIndex < lines.size() ? lines[lineIndex] : 0;
    match.column = int(open - lineStart);
    const QStringView matched = marked.mid(open + 1, matchEnd - open - 1);
    match.length = int(matched.size() + matched.count(u'\n'));

    const qsizetype from = open > LeadIn ? backToBlank(marked, open - LeadIn, 0) : 0;
    qsizetype to = std::min(marked.size(), from + SnippetLength);
    if (to < marked.size())
        to = std::max(backToBlank(marked, to, matchEnd), matchEnd);
    QString &html = match.snippet;
    if (from > 0)
        html += QStringLiteral("\u2026");
    bool started = false; // some text is written
    bool blank = false;   // blanks wait for the next text
    bool inMatch = false;
    for (const QChar c : marked.mid(from, to - from)) {
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        if (c == MatchClose) {
            html += QStringLiteral("</b>");
            inMatch = false;
            continue;
        }
        if (blank && started)
            html += u' ';
        blank = false;
        started = true;
        if (c == MatchOpen) {
            html += QStringLiteral("<b>");
            inMatch = true;
        } else if (c == u'<') {
            html += QStringLiteral("&lt;");
        } else if (c == u'>') {
            html += QStringLiteral("&gt;");
        } else if (c == u'&') {
            html += QStringLiteral("&amp;");
        } else {
            html += c;
        }
    }
    if (inMatch)
        html += QStringLiteral("</b>");
    if (to < marked.size())
        html += QStringLiteral("\u2026");
    return match;
}
