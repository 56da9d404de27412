// Bytes -> highlight file -> HighlightFile::read -> the ranges applied to a
// RangeSet. Checks the read against the bytes, the table's invariant
// (ascending, disjoint, start < end) after every step, the highlighted set
// against a plain interval model, and a write/read round trip.
//
// Whether a range is added or removed comes from the header word, which the
// reader ignores: bit (i % 31 + 1) set removes range i, so a file as the
// reader writes it (header 1) replays as additions, as at load time.

#include "fuzzsupport.h"
#include "highlightfile.h"
#include "rangeset.h"

#include <algorithm>
#include <vector>

namespace {

using Interval = std::pair<qint64, qint64>; // [first, second)

qint32 le32(const QByteArray &bytes, qsizetype at)
{
    const auto b = [&](qsizetype i) { return quint32(quint8(bytes[at + i])); };
    return qint32(b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24);
}

// Merged, ascending, disjoint and not touching.
void add(std::vector<Interval> &set, qint64 s, qint64 e)
{
    std::vector<Interval> out;
    for (const Interval &i : set) {
        if (i.second < s || i.first > e) {
            out.push_back(i);
        } else {
            s = std::min(s, i.first);
            e = std::max(e, i.second);
        }
    }
    out.push_back({s, e});
    std::sort(out.begin(), out.end());
    set = out;
}

void remove(std::vector<Interval> &set, qint64 s, qint64 e)
{
    std::vector<Interval> out;
    for (const Interval &i : set) {
        if (i.second <= s || i.first >= e) {
            out.push_back(i);
            continue;
        }
        if (i.first < s)
            out.push_back({i.first, s});
        if (i.second > e)
            out.push_back({e, i.second});
    }
    set = out;
}

// The table's ranges with touching neighbours joined, to compare with the model.
std::vector<Interval> covered(const std::vector<TextRange> &ranges)
{
    std::vector<Interval> out;
    for (const TextRange &r : ranges) {
        if (!out.empty() && out.back().second == r.start)
            out.back().second = r.end;
        else
            out.push_back({r.start, r.end});
    }
    return out;
}

void checkTable(const std::vector<TextRange> &ranges)
{
    for (size_t i = 0; i < ranges.size(); ++i) {
        FUZZ_CHECK(ranges[i].start < ranges[i].end);
        if (i > 0)
            FUZZ_CHECK(ranges[i - 1].end <= ranges[i].start);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::scratchPath(QStringLiteral("doc.ini_hl"));
    fuzz::writeBytes(path, bytes);

    const std::vector<TextRange> read = HighlightFile::read(path).value();
    // Whole pairs after the header; a trailing fragment is dropped.
    const size_t pairs = size >= 4 ? (size - 4) / 8 : 0;
    FUZZ_CHECK(read.size() == pairs);
    for (size_t i = 0; i < pairs; ++i) {
        FUZZ_CHECK(read[i].start == le32(bytes, qsizetype(4 + 8 * i)));
        FUZZ_CHECK(read[i].end == le32(bytes, qsizetype(8 + 8 * i)));
    }
    const quint32 header = size >= 4 ? quint32(le32(bytes, 0)) : 1;

    RangeSet link;
    std::vector<Interval> model;
    for (size_t i = 0; i < read.size(); ++i) {
        const TextRange &r = read[i];
        const bool removing = (header >> (i % 31 + 1)) & 1;
        if (removing)
            link.remove(r.start, r.end);
        else
            link.add(r.start, r.end);
        if (r.start < r.end) { // both calls ignore an empty or reversed range
            if (removing)
                remove(model, r.start, r.end);
            else
                add(model, r.start, r.end);
        }
        const std::vector<TextRange> table = link.ranges();
        checkTable(table);
        FUZZ_CHECK(covered(table) == model);
    }

    // What is written reads back the same.
    const std::vector<TextRange> table = link.ranges();
    const QString written = fuzz::scratchPath(QStringLiteral("written.ini_hl"));
    FUZZ_CHECK(HighlightFile::write(written, table));
    FUZZ_CHECK(QFileInfo(written).size() == qint64(4 + 8 * table.size()));
    FUZZ_CHECK(HighlightFile::read(written) == table);
    return 0;
}
