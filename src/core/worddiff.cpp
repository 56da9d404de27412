#include "worddiff.h"

#include <dtl/dtl.hpp>

namespace {

struct Word
{
    QString text;  // with its trailing blanks
    QString bare;  // compared: without them

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
        result.push_back({text.sliced(start, at - start).toString(), text.sliced(start, wordEnd - start).toString()});
    }
    return result;
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
    dtl::Diff<Word, std::vector<Word>> diff(a, b);
    diff.compose();
    std::vector<DiffPiece> pieces;
    for (const auto &[word, info] : diff.getSes().getSequence()) {
        switch (info.type) {
        case dtl::SES_COMMON:
            // The new text's blanks: what the reader copies is the corrected text.
            append(pieces, DiffPiece::Kind::Same, b[size_t(info.afterIdx - 1)].text);
            break;
        case dtl::SES_DELETE:
            append(pieces, DiffPiece::Kind::Removed, word.text);
            break;
        case dtl::SES_ADD:
            append(pieces, DiffPiece::Kind::Added, word.text);
            break;
        }
    }
    return pieces;
}
