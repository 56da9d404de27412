#include "highlightfile.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace HighlightFile {

namespace {

constexpr qint32 HeaderValue = 1;
constexpr qsizetype FieldSize = 4;

void appendLe32(QByteArray &bytes, qint32 value)
{
    char field[FieldSize];
    qToLittleEndian(value, field);
    bytes.append(field, FieldSize);
}

// A NUL would cut the name short at the system call: another file.
bool isUsableName(const QString &path)
{
    return !path.contains(QChar(0));
}

} // namespace

std::optional<std::vector<TextRange>> read(const QString &path)
{
    if (!isUsableName(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.exists() ? std::nullopt : std::optional(std::vector<TextRange>());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    std::vector<TextRange> ranges;
    for (qsizetype at = FieldSize; at + 2 * FieldSize <= bytes.size(); at += 2 * FieldSize) {
        ranges.push_back({qFromLittleEndian<qint32>(bytes.constData() + at),
                          qFromLittleEndian<qint32>(bytes.constData() + at + FieldSize)});
    }
    return ranges;
}

bool write(const QString &path, const std::vector<TextRange> &ranges)
{
    if (!isUsableName(path))
        return false;
    QByteArray bytes;
    bytes.reserve(qsizetype(FieldSize * (1 + 2 * ranges.size())));
    appendLe32(bytes, HeaderValue);
    for (const TextRange &range : ranges) {
        appendLe32(bytes, range.start);
        appendLe32(bytes, range.end);
    }

    const QString tempPath = path + QStringLiteral(".tmp");
    QFile file(tempPath);
    // Whatever stands at the temporary name and cannot be opened is not ours
    // to remove.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    const QByteArray temp = QFile::encodeName(tempPath);
    if (written && file.error() == QFileDevice::NoError
        && std::rename(temp.constData(), QFile::encodeName(path).constData()) == 0)
        return true;
    ::unlink(temp.constData());
    return false;
}

bool remove(const QString &path)
{
    if (!isUsableName(path))
        return false;
    // unlink, not QFile::remove(): a directory standing at the path must stay.
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT;
}

} // namespace HighlightFile
