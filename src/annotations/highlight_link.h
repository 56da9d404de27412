#pragma once

#include "bcl_link.h"

#include <QtGlobal>

#include <vector>

// How a given range [s, e) lies against a range [S, E) already in the table.
enum RangeRelationKind : int {
    RANGE_AFTER = 0,
    RANGE_OVERLAPS_TAIL = 1,
    RANGE_COVERS = 2,
    RANGE_OVERLAPS_HEAD = 3,
    RANGE_BEFORE = 4,
    RANGE_INSIDE = 5,
};

// A highlighted range of text-view positions, [start, end).
struct Ctext_section
{
    qint32 start = -1;
    qint32 end = -1;

    RangeRelationKind RangeRelation(qint32 s, qint32 e) const;
    friend bool operator==(const Ctext_section &, const Ctext_section &) = default;
};

class Chighlight_node : public Cbcl_link_node
{
public:
    static constexpr qint32 Tag = 1;
    Chighlight_node(qint32 start, qint32 end);
    Ctext_section range;
};

// The highlight table: ascending, disjoint ranges with start < end.
// Touching ranges stay two ranges.
class Chighlight_link : public Cbcl_link
{
public:
    static constexpr qint32 Tag = 100;
    Chighlight_link();

    // Both ignore an empty or reversed range (s >= e), which would break the
    // invariant.
    void AddRange(qint32 s, qint32 e);
    void RemoveRange(qint32 s, qint32 e);
    std::vector<Ctext_section> Ranges() const;
};
