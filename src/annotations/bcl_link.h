#pragma once

#include <QtGlobal>

#include <memory>
#include <optional>

// Base of the list classes; tag names the object's kind.
class Cbcl_obj
{
public:
    explicit Cbcl_obj(qint32 tag) : tag(tag) {}
    virtual ~Cbcl_obj() = default;
    Cbcl_obj(const Cbcl_obj &) = delete;
    Cbcl_obj &operator=(const Cbcl_obj &) = delete;

    const qint32 tag;
};

class Cbcl_link;

// A node of an intrusive doubly-linked list; it is in at most one list.
class Cbcl_link_node : public Cbcl_obj
{
public:
    using Cbcl_obj::Cbcl_obj;

    Cbcl_link_node *next() const { return m_next; }
    Cbcl_link_node *prev() const { return m_prev; }
    // The tag of the list holding the node; none while it is in no list.
    std::optional<qint32> owner_tag() const;

private:
    friend class Cbcl_link;
    Cbcl_link_node *m_next = nullptr;
    Cbcl_link_node *m_prev = nullptr;
    // The list itself rather than its tag: two lists may share a tag.
    const Cbcl_link *m_owner = nullptr;
};

// An intrusive doubly-linked list that owns its nodes: they come in and leave
// as unique_ptr, and the list destroys those it still holds.
// A link operation takes the node only when it links it; on refusal the
// caller's pointer still holds the node.
class Cbcl_link : public Cbcl_obj
{
public:
    using Cbcl_obj::Cbcl_obj;
    ~Cbcl_link() override;

    template <class Node>
    bool PushFront(std::unique_ptr<Node> &&node) { return Adopt(m_head, node); }
    template <class Node>
    bool PushBack(std::unique_ptr<Node> &&node) { return Adopt(nullptr, node); }
    template <class Node>
    bool InsertBefore(Cbcl_link_node *anchor, std::unique_ptr<Node> &&node)
    {
        return Holds(anchor) && Adopt(anchor, node);
    }

    // Null when the node is not in this list.
    std::unique_ptr<Cbcl_link_node> Remove(Cbcl_link_node *node);
    // Null when the list is empty.
    std::unique_ptr<Cbcl_link_node> PopFront();

    Cbcl_link_node *First() const { return m_head; }
    Cbcl_link_node *Last() const { return m_tail; }
    Cbcl_link_node *Next(const Cbcl_link_node *node) const { return node->m_next; }
    qint32 Count() const { return m_count; }

private:
    bool Holds(const Cbcl_link_node *node) const { return node && node->m_owner == this; }
    // Links a free node before `before`, or at the end when `before` is null.
    bool LinkBefore(Cbcl_link_node *before, Cbcl_link_node *node);

    template <class Node>
    bool Adopt(Cbcl_link_node *before, std::unique_ptr<Node> &node)
    {
        if (!LinkBefore(before, node.get()))
            return false;
        node.release(); // the list owns it now
        return true;
    }

    qint32 m_count = 0;
    Cbcl_link_node *m_head = nullptr;
    Cbcl_link_node *m_tail = nullptr;
};
