#pragma once

#include <QStringView>

namespace fuzz {

// The section depth of a heading's first word, written apart from the
// reader's own loop so the fuzzers can compare the two: one more than the
// number of dots followed by a digit, within the run of digits and dots that
// starts the word; no "one more" when that run stops before the word ends.
inline int referenceLevel(QStringView word)
{
    const auto digit = [](QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; };
    if (word.isEmpty() || word.size() > 255 || !digit(word[0]))
        return 0;
    qsizetype run = 1;
    while (run < word.size() && (digit(word[run]) || word[run] == u'.'))
        ++run;
    int dots = 0;
    for (qsizetype i = 1; i + 1 < run; ++i) {
        if (word[i] == u'.' && digit(word[i + 1]))
            ++dots;
    }
    return run == word.size() ? dots + 1 : dots;
}

} // namespace fuzz
