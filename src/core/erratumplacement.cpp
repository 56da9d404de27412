#include "erratumplacement.h"

#include "errata.h"
#include "sectionlabel.h"
#include "textsearch.h"

#include <QRegularExpression>
#include <QStringMatcher>

#include <algorithm>

namespace {

// Appends the words of text (lines joined by "\n") outside its folds (page
// footers, headers and padding) to words, one blank between each two.
// lineStarted(offset, line) hears of each line that adds words: where its
// first word goes, and its number from 1. Returns the number of lines.
template<typename LineStarted>
int gatherWords(QStringView text, const std::vector<PageFold> &folds, QString &words, LineStarted &&lineStarted)
{
    auto fold = folds.begin();
    int line = 0;
    for (qsizetype start = 0; start < text.size(); ++line) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        while (fold != folds.end() && fold->lastLine < line)
            ++fold;
        if (fold == folds.end() || fold->firstLine > line) {
            bool gap = !words.isEmpty(); // the line break
            bool first = true;
            for (const QChar c : text.sliced(start, end - start)) {
                if (c.isSpace()) {
                    gap = !words.isEmpty();
                    continue;
                }
                if (gap)
                    words += u' ';
                if (std::exchange(first, false))
                    lineStarted(words.size(), line + 1);
                words += c;
                gap = false;
            }
        }
        start = end + 1;
    }
    return line;
}

// The parts of an erratum's original text between the marks where the
// submitter left text out: "...", "[...]", "(...)" or an ellipsis character.
// A submitter may have copied a page break along, so it is folded as the
// document is.
QStringList quotedPieces(QStringView original)
{
    static const QRegularExpression elision(
        QStringLiteral(R"(\s*(?:\[\s*(?:\.{3,}|\x{2026})\s*\]|\(\s*(?:\.{3,}|\x{2026})\s*\)|\.{3,}|\x{2026})\s*)"));
    QString words;
    gatherWords(original, findPageFolds(original), words, [](qsizetype, int) {});
    return words.split(elision, Qt::SkipEmptyParts);
}

} // namespace

QString erratumSectionNumber(QStringView section)
{
    // A number opening the field is a section ("5.2, 2nd para"), and so is an
    // appendix letter with a number after it or standing alone ("B.1", "A.");
    // "A number of ..." is no appendix.
    static const QRegularExpression opening(
        QStringLiteral(R"(^\s*(\d{1,4}+(?:\.\d{1,4}+)*+|(?i:[a-z])(?:\.\d{1,4}+)++|[A-Z](?=\s*$|[.,:;])))"
                       R"((?![A-Za-z\d]))"));
    // Elsewhere a section is named as such ("In Section 3.7, page 43"); a
    // bare number there is a page or a paragraph.
    static const QRegularExpression named(
        QStringLiteral(R"((?<![a-z])(?:sections?|sect?\.?|appendix|appendices|app\.?|annex|\x{a7}|s(?=\d))\s*)"
                       R"((\d{1,4}+(?:\.\d{1,4}+)*+|[a-z](?:\.\d{1,4}+)*+)(?![a-z\d]))"),
        QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch match = opening.match(section);
    if (!match.hasMatch())
        match = named.match(section);
    return match.hasMatch() ? match.captured(1).toUpper() : QString();
}

int erratumPageNumber(QStringView section)
{
    static const QRegularExpression page(QStringLiteral(R"((?<![a-z])(?:pages?|pg\.?|pp?\.?)\s*(\d{1,5})(?!\d))"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = page.match(section);
    return match.hasMatch() ? match.capturedView(1).toInt() : 0;
}

ErrataPlacer::ErrataPlacer(QStringView text, const Outline &outline)
    : m_outline(outline), m_folds(findPageFolds(text))
{
    m_words.reserve(text.size());
    m_lineCount = gatherWords(text, m_folds, m_words, [this](qsizetype offset, int line) {
        m_starts.push_back(offset);
        m_lines.push_back(line);
    });
}

Placement ErrataPlacer::place(const Erratum &erratum) const
{
    const int heading = m_outline.findSection(erratumSectionNumber(erratum.section));
    const QStringList pieces = quotedPieces(erratum.original);
    if (!pieces.isEmpty()) {
        // A page is the narrowest scope a submitter names; where the text
        // recurs there, or in the section, the first time is the one meant.
        std::vector<Span> scopes;
        if (const int page = erratumPageNumber(erratum.section); page > 0)
            if (const int first = firstLineOfPage(m_folds, m_lineCount, page); first >= 0)
                scopes.push_back(lineSpan(first + 1, firstLineOfPage(m_folds, m_lineCount, page + 1) + 1));
        if (heading >= 0)
            scopes.push_back(sectionSpan(heading));
        scopes.push_back({0, m_words.size()});
        for (const Span &scope : scopes) {
            if (const qsizetype found = findPieces(pieces, scope); found >= 0)
                return {lineAt(found), Placement::Kind::Text};
        }
    }
    if (heading >= 0)
        return {m_outline.headings[size_t(heading)].line, Placement::Kind::SectionHeading};
    return {};
}

ErrataPlacer::Span ErrataPlacer::sectionSpan(int heading) const
{
    const std::vector<Heading> &headings = m_outline.headings;
    const QString &number = headings[size_t(heading)].number;
    size_t next = size_t(heading) + 1;
    while (next < headings.size() && isNumberPrefix(number, headings[next].number))
        ++next;
    return lineSpan(headings[size_t(heading)].line, next < headings.size() ? headings[next].line : 0);
}

ErrataPlacer::Span ErrataPlacer::lineSpan(int firstLine, int endLine) const
{
    const auto offsetOf = [this](int line) {
        const size_t at = size_t(std::lower_bound(m_lines.begin(), m_lines.end(), line) - m_lines.begin());
        return at < m_starts.size() ? m_starts[at] : m_words.size();
    };
    return {offsetOf(firstLine), endLine > 0 ? offsetOf(endLine) : m_words.size()};
}

// Where the first of pieces starts in span, each piece following the one
// before it, or -1.
qsizetype ErrataPlacer::findPieces(const QStringList &pieces, Span span) const
{
    const qsizetype first = find(pieces.front(), span);
    qsizetype at = first;
    for (qsizetype piece = 1; piece < pieces.size() && at >= 0; ++piece)
        at = find(pieces[piece], {at + pieces[piece - 1].size(), span.second});
    return at < 0 ? -1 : first;
}

// The first match of words that starts in span and splits no word of the
// document; it may run on past the span.
qsizetype ErrataPlacer::find(QStringView words, Span span) const
{
    const auto splits = [this](qsizetype at) {
        return at > 0 && at < m_words.size() && TextSearch::isWordCharacter(m_words[at - 1])
            && TextSearch::isWordCharacter(m_words[at]);
    };
    const QStringMatcher matcher(words.data(), words.size());
    const QStringView scope = QStringView(m_words).first(std::min(m_words.size(), span.second + words.size()));
    for (qsizetype at = matcher.indexIn(scope, span.first); at >= 0 && at < span.second;
         at = matcher.indexIn(scope, at + 1)) {
        if (!splits(at) && !splits(at + words.size()))
            return at;
    }
    return -1;
}

int ErrataPlacer::lineAt(qsizetype offset) const
{
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
    return m_lines[size_t(after - m_starts.begin()) - 1];
}
