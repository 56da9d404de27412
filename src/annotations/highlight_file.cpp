#include "highlight_file.h"

#include "cfile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr qint32 HeaderValue = 1;

qint32 DecodeLe32(const unsigned char (&b)[4])
{
    return qint32(quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24);
}

bool WriteLe32(Cfile &file, qint32 value)
{
    const quint32 v = quint32(value);
    const unsigned char b[4] = {
        static_cast<unsigned char>(v),
        static_cast<unsigned char>(v >> 8),
        static_cast<unsigned char>(v >> 16),
        static_cast<unsigned char>(v >> 24),
    };
    return file.Write(b, sizeof b) == 1;
}

} // namespace

std::vector<Ctext_section> ReadHighlightFile(const QString &path)
{
    std::vector<Ctext_section> ranges;
    Cfile file(path);
    if (file.Open("r+b") != 1)
        return ranges;
    unsigned char header[4];
    file.Read(header, sizeof header);
    while (!file.Eof()) {
        unsigned char start[4];
        unsigned char end[4];
        file.Read(start, sizeof start);
        if (file.Read(end, sizeof end) != 1)
            break;
        ranges.push_back({DecodeLe32(start), DecodeLe32(end)});
    }
    return ranges;
}

bool WriteHighlightFile(const QString &path, const std::vector<Ctext_section> &ranges)
{
    const QString tempPath = path + QStringLiteral(".tmp");
    Cfile file(tempPath);
    // Whatever stands at the temporary name and cannot be opened is not ours
    // to remove.
    if (file.Open("w+b") != 1)
        return false;
    bool ok = WriteLe32(file, HeaderValue);
    for (const Ctext_section &r : ranges)
        ok = ok && WriteLe32(file, r.start) && WriteLe32(file, r.end);
    ok = ok && file.Sync() == 1;
    const bool closed = file.Close() == 1;

    const QByteArray temp = QFile::encodeName(tempPath);
    if (ok && closed && std::rename(temp.constData(), QFile::encodeName(path).constData()) == 0)
        return true;
    ::unlink(temp.constData());
    return false;
}

bool DeleteHighlightFile(const QString &path)
{
    // unlink, not remove(): a directory standing at the path must stay.
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT;
}
