#pragma once

#include "headingparser.h"
#include "pagelayout.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <utility>
#include <vector>

struct Erratum;

// The line an erratum corrects, and how it was found.
struct Placement
{
    enum class Kind {
        Text,           // where the original text starts
        SectionHeading, // the text is not in the document, but its section is
        NotPlaced,      // neither: line is 0
    };

    int line = 0; // counted from 1
    Kind kind = Kind::NotPlaced;

    friend bool operator==(const Placement &, const Placement &) = default;
};

// The section an erratum's section field names first, as the outline numbers
// them: "5.2" of "Section 5.2", "Sec. 5.2", "5.2." or "5.2, 2nd para"; "B.1" of
// "Appendix B.1" or "b.1"; "B" of "App. B"; "3.2" of "3.2 and 4.1". Empty for
// "GLOBAL", "page 64" and anything else that names no section.
QString erratumSectionNumber(QStringView section);

// The page an erratum's section field names first, as the footers number
// them: 43 of "In Section 3.7, page 43", "3.9 p. 43", "pg.43" or "[Page 43]";
// 0 when it names none.
int erratumPageNumber(QStringView section);

// Places the errata of one document. The document's words are gathered once,
// without page furniture, so that an erratum's text is found however the
// lines break; each erratum then costs a search of the page and the section it
// names and at most one of the whole document.
class ErrataPlacer
{
public:
    // text: lines joined by "\n", as DocumentText gives them; outline: its
    // headings (parseOutline).
    ErrataPlacer(QStringView text, const Outline &outline);

    // Where the erratum's original text (its parts, when the submitter left
    // text out with "...") first starts on the page it names, else in its
    // section, else in the whole document; else the heading of its section;
    // else nowhere. A section the outline lacks, or a page the document
    // lacks, means the whole document.
    Placement place(const Erratum &erratum) const;

private:
    // Where matches may start: [begin, end) of m_words.
    using Span = std::pair<qsizetype, qsizetype>;

    Span sectionSpan(int heading) const;
    // Lines [firstLine, endLine), from 1; endLine 0 runs to the end.
    Span lineSpan(int firstLine, int endLine) const;
    qsizetype findPieces(const QStringList &pieces, Span span) const;
    qsizetype find(QStringView words, Span span) const;
    int lineAt(qsizetype offset) const;

    Outline m_outline;
    std::vector<PageFold> m_folds;
    int m_lineCount = 0;
    QString m_words;                // the body's words, one blank between each two
    std::vector<qsizetype> m_starts; // where each line with words starts in m_words
    std::vector<int> m_lines;        // that line's number, from 1
};
