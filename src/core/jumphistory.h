#pragma once

#include <QString>

#include <optional>
#include <vector>

// Where the reader was: a document and the line at the top of its view.
struct Place
{
    QString path;
    int topLine = 1; // counted from 1

    friend bool operator==(const Place &, const Place &) = default;
};

// The places left by jumps, for going back and forward as a browser does.
// A new jump drops the places ahead.
class JumpHistory
{
public:
    static constexpr std::size_t Capacity = 500;

    // Records the place a jump leaves.
    void recordJump(const Place &from);
    // The place to go back to, recording current as the way forward again;
    // nothing at the start of the history.
    std::optional<Place> back(const Place &current);
    std::optional<Place> forward(const Place &current);
    // Drops a place that can no longer be reached (a document that is gone).
    void forget(const QString &path);

    bool canGoBack() const { return !m_back.empty(); }
    bool canGoForward() const { return !m_forward.empty(); }

private:
    std::vector<Place> m_back;
    std::vector<Place> m_forward;
};
