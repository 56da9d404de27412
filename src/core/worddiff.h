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
