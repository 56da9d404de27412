#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// The characters FTS5's highlight() is asked to put around each match.
inline constexpr QChar MatchOpen = QChar(0x01);
inline constexpr QChar MatchClose = QChar(0x02);

// Where a passage's first match is, and the text around its matches.
struct PassageMatch
{
    int line = 0;   // of the document, counted from 1
    int column = 0; // counted from 0
    // In view positions, where each line end counts two.
    int length = 0;
    // One line of HTML: the text around the first match, blanks run together,
    // the matches in <b>.
    QString snippet;
};

// Reads a passage as highlight() marked it (its lines joined by "\n", each
// match between MatchOpen and MatchClose); lines holds the document line of
// each line of the passage. Nothing when nothing is marked.
std::optional<PassageMatch> readMarkedPassage(QStringView marked, const std::vector<int> &lines);
