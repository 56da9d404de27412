#include "cfile.h"

#include <QFile>

#include <climits>
#include <unistd.h>

Cfile::Cfile(const QString &name) : m_name(QFile::encodeName(name))
{
}

Cfile::~Cfile()
{
    Close();
}

int Cfile::Open(const char *mode)
{
    Close();
    // PATH_MAX counts the terminating NUL; an embedded NUL would cut the name.
    if (!mode || m_name.size() >= PATH_MAX || m_name.contains('\0'))
        return -1;
    m_stream = std::fopen(m_name.constData(), mode);
    return m_stream ? 1 : -1;
}

int Cfile::Close()
{
    if (!m_stream)
        return -1;
    const int result = std::fclose(m_stream);
    m_stream = nullptr;
    return result == 0 ? 1 : 0;
}

bool Cfile::Eof() const
{
    return !m_stream || std::feof(m_stream);
}

int Cfile::Read(void *buffer, std::size_t n)
{
    if (!buffer || !m_stream)
        return -1;
    return std::fread(buffer, n, 1, m_stream) == 1 ? 1 : 0;
}

int Cfile::Write(const void *buffer, std::size_t n)
{
    if (!buffer || !m_stream)
        return -1;
    return std::fwrite(buffer, n, 1, m_stream) == 1 ? 1 : 0;
}

int Cfile::Sync()
{
    if (!m_stream)
        return -1;
    return std::fflush(m_stream) == 0 && ::fsync(::fileno(m_stream)) == 0 ? 1 : 0;
}
