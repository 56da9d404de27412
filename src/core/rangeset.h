#pragma once

#include <QtGlobal>

#include <vector>

// A range of positions [start, end).
struct TextRange
{
    qint32 start = 0;
    qint32 end = 0;

    friend bool operator==(const TextRange &, const TextRange &) = default;
};

// Ascending, disjoint, non-empty ranges. Overlapping ranges merge when added;
// ranges that only touch stay two ranges.
class RangeSet
{
public:
    // The set that adding each range in turn gives, sorted and merged in one
    // pass instead: a file of many ranges loads in O(n log n).
    static RangeSet fromRanges(std::vector<TextRange> ranges);

    // Both ignore an empty or reversed range.
    void add(qint32 start, qint32 end);
    void remove(qint32 start, qint32 end);
    void clear() { m_ranges.clear(); }

    const std::vector<TextRange> &ranges() const { return m_ranges; }
    bool isEmpty() const { return m_ranges.empty(); }

private:
    std::vector<TextRange> m_ranges;
};
