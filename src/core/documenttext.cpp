#include "documenttext.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace {

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

// Drops the carriage return of every CR LF pair, in place.
void dropCarriageReturnsBeforeLineFeeds(QString &text)
{
    QChar *out = text.data();
    const QChar *in = out;
    const QChar *const end = in + text.size();
    for (; in != end; ++in) {
        if (*in == u'\r' && in + 1 != end && in[1] == u'\n')
            continue;
        *out++ = *in;
    }
    text.truncate(out - text.constData());
}

} // namespace

DocumentText DocumentText::read(const QString &path)
{
    DocumentText result;
    const QFileInfo info(path);
    // Only regular files: a FIFO or a device would block or never end.
    if (!info.isFile()) {
        result.m_error = info.exists() ? QStringLiteral("It is not a regular file.")
                                       : QStringLiteral("The file does not exist.");
        return result;
    }
    if (info.size() > MaxFileSize) {
        result.m_error = QStringLiteral("The file is too large (%1 MB; at most %2 MB can be read).")
                             .arg(info.size() / (1024 * 1024))
                             .arg(MaxFileSize / (1024 * 1024));
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.m_error = file.errorString();
        return result;
    }
    // In pieces: read(n) allocates n bytes before reading, so asking for the
    // whole limit at once would take 512 MB for any file, however small.
    QByteArray bytes;
    bytes.reserve(std::min(info.size(), MaxFileSize) + 1);
    while (bytes.size() <= MaxFileSize) {
        const QByteArray piece = file.read(std::min(MaxFileSize + 1 - bytes.size(), qint64(1) << 20));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError) {
        result.m_error = file.errorString();
        return result;
    }
    if (bytes.size() > MaxFileSize) {
        result.m_error = QStringLiteral("The file is too large.");
        return result;
    }
    if (bytes.contains('\0')) {
        result.m_error = QStringLiteral("It is not a text file (it contains NUL bytes).");
        return result;
    }
    result.m_text = decode(bytes);
    if (result.m_text.contains(u'\r'))
        dropCarriageReturnsBeforeLineFeeds(result.m_text);
    return result;
}
