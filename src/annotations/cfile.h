#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdio>

// Owns one C stdio stream. Results: 1 done, 0 failed or short, -1 refused
// (no stream, null buffer, unusable name).
class Cfile
{
public:
    explicit Cfile(const QString &name);
    ~Cfile();
    Cfile(const Cfile &) = delete;
    Cfile &operator=(const Cfile &) = delete;

    // Closes any open stream first. A name too long for the system is
    // refused rather than cut short: a cut name is another file.
    int Open(const char *mode);
    // 0 when the system reports an error on closing; the stream is gone anyway.
    int Close();
    // True when there is no stream, or once a read has run into the end.
    bool Eof() const;
    // Each transfers one item of n bytes: 1 only when it went through whole.
    int Read(void *buffer, std::size_t n);
    int Write(const void *buffer, std::size_t n);
    // Pushes buffered data through to the disk.
    int Sync();

private:
    QByteArray m_name;
    std::FILE *m_stream = nullptr;
};
