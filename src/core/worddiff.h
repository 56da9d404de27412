#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// A piece of a word-level difference between two texts.
struct DiffPiece
{
    enum class Kind { Same, Removed, Added };

    Kind kind;
    QString text; // words with the blanks after them, as they stand in their text

    friend bool operator==(const DiffPiece &, const DiffPiece &) = default;
};

// The difference between two texts word by word (a word: a run of non-blank
// characters with the blanks after it), adjacent words of one kind joined into
// one piece. Blanks alone do not make a difference: line breaks and
// indentation that moved do not count as changes.
std::vector<DiffPiece> wordDiff(QStringView before, QStringView after);

// The words of each side that the other lacks, as [start, start + length) in
// their own text; adjacent words of one side joined into one range, blanks
// between them included.
struct ChangedWords
{
    struct Range
    {
        qsizetype start;
        qsizetype length;
        friend bool operator==(const Range &, const Range &) = default;
    };
    std::vector<Range> removed; // in before
    std::vector<Range> added;   // in after
};
ChangedWords changedWords(QStringView before, QStringView after);
