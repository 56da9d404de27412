#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, no file this process writes can grow past a few bytes: a
// full disk. Unlike permission bits, this stops root too.
class DiskFull
{
public:
    DiskFull()
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_active = getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        rlimit tiny = m_saved;
        tiny.rlim_cur = 4;
        m_active = m_active && setrlimit(RLIMIT_FSIZE, &tiny) == 0;
    }
    ~DiskFull()
    {
        if (m_active)
            setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    DiskFull(const DiskFull &) = delete;
    DiskFull &operator=(const DiskFull &) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    bool m_active = false;
    void (*m_oldHandler)(int) = nullptr;
};
