#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <span>
#include <vector>

// One numbered entry of a document's table of contents.
struct ContentsEntry
{
    QString number;  // "3.2", "A", "A.1"
    QString title;   // a title that wraps is joined with one blank; leader and page number cut
    int line = 0;    // counted from 1
    int parent = -1; // the entry of the enclosing section, or -1
};

// The table of contents a document prints: the block after a line that reads
// "Table of Contents" or "Contents", up to the first line that is none of an
// entry, a wrapped entry title, a blank line or page furniture. Entries
// without a number (PREFACE, Authors' Addresses) belong to the block but are
// no sections.
class TableOfContents
{
public:
    // Reads the first table of contents of a document given as its lines.
    static TableOfContents read(std::span<const QStringView> lines);

    bool isEmpty() const { return m_firstLine == 0; }
    // From the "Table of Contents" line to the last entry, counted from 1;
    // both 0 without a table.
    int firstLine() const { return m_firstLine; }
    int lastLine() const { return m_lastLine; }
    bool contains(int line) const { return line >= m_firstLine && line <= m_lastLine; }

    const std::vector<ContentsEntry> &entries() const { return m_entries; }
    // The entry a heading numbered number stands for, or -1: the entry of that
    // number, else for a number ending in ".0" the entry without it ("5.0" is
    // "5."), as older documents number their chapters in the body.
    int entryNumbered(QStringView number) const;

    // Whether a title reads as the entry's: the same words, whatever their
    // case and punctuation. A heading's title may wrap: its first line's words
    // then go on in nextLine.
    bool titleMatches(int entry, QStringView title, QStringView nextLine = {}) const;

private:
    std::vector<ContentsEntry> m_entries;
    std::vector<QString> m_titleKeys;
    std::vector<int> m_byNumber; // entry indices in number order
    int m_firstLine = 0;
    int m_lastLine = 0;
};

// The title part of a line (without indentation) that ends in a leader (dots,
// or a gap of three blanks or more) and a page number, as tables of contents
// print their entries; nothing for other lines.
std::optional<QStringView> titleBeforePage(QStringView text);

// A title reduced for comparing: its words (letters and digits) in lower
// case, one blank apart; "&amp;" reads as "&", which goes with the other
// punctuation.
QString titleKey(QStringView title);
