#include "highlight_link.h"

RangeRelationKind Ctext_section::RangeRelation(qint32 s, qint32 e) const
{
    // The order of the tests matters: the first that holds wins.
    if (s >= end)
        return RANGE_AFTER;
    if (e <= start)
        return RANGE_BEFORE;
    if (s <= start && e >= end)
        return RANGE_COVERS;
    if (s >= start && e <= end)
        return RANGE_INSIDE;
    if (s > start && e > end)
        return RANGE_OVERLAPS_TAIL;
    return RANGE_OVERLAPS_HEAD;
}

Chighlight_node::Chighlight_node(qint32 start, qint32 end)
    : Cbcl_link_node(Tag), range{start, end}
{
}

Chighlight_link::Chighlight_link() : Cbcl_link(Tag)
{
}

// The table holds nothing but highlight nodes.
static Chighlight_node *AsHighlight(Cbcl_link_node *node)
{
    Q_ASSERT(node->tag == Chighlight_node::Tag);
    return static_cast<Chighlight_node *>(node);
}

void Chighlight_link::AddRange(qint32 s, qint32 e)
{
    if (s >= e)
        return;
    Cbcl_link_node *p = First();
    while (p) {
        Chighlight_node *node = AsHighlight(p);
        Ctext_section &r = node->range;
        switch (r.RangeRelation(s, e)) {
        case RANGE_AFTER:
            p = Next(p);
            break;
        case RANGE_OVERLAPS_TAIL:
            s = r.start;
            [[fallthrough]];
        case RANGE_COVERS:
            p = Next(p);
            Remove(node); // destroys it
            break;
        case RANGE_OVERLAPS_HEAD:
            r.start = s;
            return;
        case RANGE_BEFORE:
            InsertBefore(node, std::make_unique<Chighlight_node>(s, e));
            return;
        case RANGE_INSIDE:
            return;
        }
    }
    PushBack(std::make_unique<Chighlight_node>(s, e));
}

void Chighlight_link::RemoveRange(qint32 s, qint32 e)
{
    if (s >= e)
        return;
    Cbcl_link_node *p = First();
    while (p) {
        Chighlight_node *node = AsHighlight(p);
        Ctext_section &r = node->range;
        switch (r.RangeRelation(s, e)) {
        case RANGE_AFTER:
            p = Next(p);
            break;
        case RANGE_OVERLAPS_TAIL:
            r.end = s;
            p = Next(p);
            break;
        case RANGE_COVERS:
            p = Next(p);
            Remove(node); // destroys it
            break;
        case RANGE_OVERLAPS_HEAD:
            r.start = e;
            return;
        case RANGE_BEFORE:
            return;
        case RANGE_INSIDE:
            // Split, keeping no empty piece on either side.
            if (s > r.start)
                InsertBefore(node, std::make_unique<Chighlight_node>(r.start, s));
            if (e < r.end)
                r.start = e;
            else
                Remove(node);
            return;
        }
    }
}

std::vector<Ctext_section> Chighlight_link::Ranges() const
{
    std::vector<Ctext_section> ranges;
    ranges.reserve(Count());
    for (Cbcl_link_node *p = First(); p; p = Next(p))
        ranges.push_back(AsHighlight(p)->range);
    return ranges;
}
