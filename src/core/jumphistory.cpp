#include "jumphistory.h"

#include <algorithm>

void JumpHistory::recordJump(const Place &from)
{
    if (m_back.empty() || !(m_back.back() == from))
        m_back.push_back(from);
    if (m_back.size() > Capacity)
        m_back.erase(m_back.begin());
    m_forward.clear();
}

std::optional<Place> JumpHistory::back(const Place &current)
{
    if (m_back.empty())
        return std::nullopt;
    Place target = m_back.back();
    m_back.pop_back();
    m_forward.push_back(current);
    return target;
}

std::optional<Place> JumpHistory::forward(const Place &current)
{
    if (m_forward.empty())
        return std::nullopt;
    Place target = m_forward.back();
    m_forward.pop_back();
    m_back.push_back(current);
    return target;
}

void JumpHistory::forget(const QString &path)
{
    const auto samePath = [&](const Place &place) { return place.path == path; };
    std::erase_if(m_back, samePath);
    std::erase_if(m_forward, samePath);
}
