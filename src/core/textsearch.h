#pragma once

#include <QStringView>

#include <vector>

struct SearchOptions
{
    bool matchCase = false;
    bool wholeWord = false;

    friend bool operator==(const SearchOptions &, const SearchOptions &) = default;
};

namespace TextSearch {

// Letters, digits, marks and "_" make up words.
bool isWordCharacter(QChar c);

// True when the match [at, at + length) of text is a whole word.
bool isWholeWord(QStringView text, qsizetype at, qsizetype length);

// Where every match of needle starts in text, in order; none for an empty needle.
std::vector<qsizetype> findAll(QStringView text, QStringView needle, SearchOptions options);

} // namespace TextSearch
