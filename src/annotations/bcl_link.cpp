#include "bcl_link.h"

std::optional<qint32> Cbcl_link_node::owner_tag() const
{
    if (!m_owner)
        return std::nullopt;
    return m_owner->tag;
}

Cbcl_link::~Cbcl_link()
{
    while (PopFront()) {
    }
}

bool Cbcl_link::LinkBefore(Cbcl_link_node *before, Cbcl_link_node *node)
{
    if (!node || node->m_owner)
        return false;
    Cbcl_link_node *after = before ? before->m_prev : m_tail;
    node->m_prev = after;
    node->m_next = before;
    (after ? after->m_next : m_head) = node;
    (before ? before->m_prev : m_tail) = node;
    node->m_owner = this;
    ++m_count;
    return true;
}

std::unique_ptr<Cbcl_link_node> Cbcl_link::Remove(Cbcl_link_node *node)
{
    if (!Holds(node))
        return nullptr;
    (node->m_prev ? node->m_prev->m_next : m_head) = node->m_next;
    (node->m_next ? node->m_next->m_prev : m_tail) = node->m_prev;
    node->m_prev = node->m_next = nullptr;
    node->m_owner = nullptr;
    --m_count;
    return std::unique_ptr<Cbcl_link_node>(node);
}

std::unique_ptr<Cbcl_link_node> Cbcl_link::PopFront()
{
    return Remove(m_head);
}
