#include "worddiff.h"

#include <dtl/dtl.hpp>

#include <utility>

namespace {

struct Word
{
    QStringView text; // with its trailing blanks
    QStringView bare; // compared: without them
    qsizetype start;

    bool operator==(const Word &other) const { return bare == other.bare; }
};

std::vector<Word> words(QStringView text)
{
    std::vector<Word> result;
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace())
        ++at;
    while (at < text.size()) {
        const qsizetype start = at;
        while (at < text.size() && !text[at].isSpace())
            ++at;
        const qsizetype wordEnd = at;
        while (at < text.size() && text[at].isSpace())
            ++at;
        result.push_back({text.sliced(start, at - start), text.sliced(start, wordEnd - start), start});
    }
    return result;
}

using WordSequence = std::vector<std::pair<Word, dtl::elemInfo>>;

WordSequence wordSequence(const std::vector<Word> &a, const std::vector<Word> &b)
{
    dtl::Diff<Word, std::vector<Word>> diff(a, b);
    diff.compose();
    return diff.getSes().getSequence();
}

void extend(std::vector<ChangedWords::Range> &ranges, const Word &word, bool continuesRun)
{
    if (continuesRun)
        ranges.back().length = word.start + word.bare.size() - ranges.back().start;
    else
        ranges.push_back({word.start, word.bare.size()});
}

void append(std::vector<DiffPiece> &pieces, DiffPiece::Kind kind, const QString &text)
{
    if (!pieces.empty() && pieces.back().kind == kind)
        pieces.back().text += text;
    else
        pieces.push_back({kind, text});
}

} // namespace

std::vector<DiffPiece> wordDiff(QStringView before, QStringView after)
{
    const std::vector<Word> a = words(before);
    const std::vector<Word> b = words(after);
    std::vector<DiffPiece> pieces;
    for (const auto &[word, info] : wordSequence(a, b)) {
        switch (info.type) {
        case dtl::SES_COMMON:
            // The new text's blanks: what the reader copies is the corrected text.
            append(pieces, DiffPiece::Kind::Same, b[size_t(info.afterIdx - 1)].text.toString());
            break;
        case dtl::SES_DELETE:
            append(pieces, DiffPiece::Kind::Removed, word.text.toString());
            break;
        case dtl::SES_ADD:
            append(pieces, DiffPiece::Kind::Added, word.text.toString());
            break;
        }
    }
    return pieces;
}

ChangedWords changedWords(QStringView before, QStringView after)
{
    const std::vector<Word> a = words(before);
    const std::vector<Word> b = words(after);
    ChangedWords changed;
    // A common word ends a run of changed words on both sides.
    bool removedRun = false;
    bool addedRun = false;
    for (const auto &[word, info] : wordSequence(a, b)) {
        switch (info.type) {
        case dtl::SES_COMMON:
            removedRun = addedRun = false;
            break;
        case dtl::SES_DELETE:
            extend(changed.removed, word, std::exchange(removedRun, true));
            break;
        case dtl::SES_ADD:
            extend(changed.added, word, std::exchange(addedRun, true));
            break;
        }
    }
    return changed;
}
