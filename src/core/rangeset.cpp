#include "rangeset.h"

#include <algorithm>

namespace {

// The ranges that overlap [start, end): those ending after start and
// starting before end.
auto overlapping(std::vector<TextRange> &ranges, qint32 start, qint32 end)
{
    const auto first = std::upper_bound(ranges.begin(), ranges.end(), start,
                                        [](qint32 s, const TextRange &r) { return s < r.end; });
    const auto last = std::lower_bound(first, ranges.end(), end,
                                       [](const TextRange &r, qint32 e) { return r.start < e; });
    return std::pair{first, last};
}

} // namespace

RangeSet RangeSet::fromRanges(std::vector<TextRange> ranges)
{
    std::erase_if(ranges, [](const TextRange &r) { return r.start >= r.end; });
    std::sort(ranges.begin(), ranges.end(),
              [](const TextRange &a, const TextRange &b) { return a.start < b.start; });
    RangeSet set;
    for (const TextRange &r : ranges) {
        // Sorted by start, a range overlaps at most the last one kept; one
        // that only touches it stays apart, as add() keeps it.
        if (!set.m_ranges.empty() && r.start < set.m_ranges.back().end)
            set.m_ranges.back().end = std::max(set.m_ranges.back().end, r.end);
        else
            set.m_ranges.push_back(r);
    }
    return set;
}

void RangeSet::add(qint32 start, qint32 end)
{
    if (start >= end)
        return;
    const auto [first, last] = overlapping(m_ranges, start, end);
    if (first == last) {
        m_ranges.insert(first, {start, end});
        return;
    }
    const TextRange merged{std::min(start, first->start), std::max(end, std::prev(last)->end)};
    *first = merged;
    m_ranges.erase(std::next(first), last);
}

void RangeSet::remove(qint32 start, qint32 end)
{
    if (start >= end)
        return;
    const auto [first, last] = overlapping(m_ranges, start, end);
    if (first == last)
        return;
    // What is left of the first and last overlapping ranges, outside [start, end).
    std::vector<TextRange> kept;
    if (first->start < start)
        kept.push_back({first->start, start});
    if (std::prev(last)->end > end)
        kept.push_back({end, std::prev(last)->end});
    const auto at = m_ranges.erase(first, last);
    m_ranges.insert(at, kept.begin(), kept.end());
}
