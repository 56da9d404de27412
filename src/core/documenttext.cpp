#include "documenttext.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace {

// Windows-1252 from 0x80 to 0x9F, where old documents keep curly quotes and
// dashes; the five bytes it leaves undefined stay as in Latin-1.
constexpr char16_t Windows1252High[32] = {
    0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008d, 0x017d, 0x008f, 0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178,
};

// One UTF-16 unit per byte, as Latin-1: positions stay those of the bytes.
QString fromWindows1252(const QByteArray &bytes)
{
    QString text = QString::fromLatin1(bytes);
    for (QChar &c : text) {
        if (c.unicode() >= 0x80 && c.unicode() < 0xa0)
            c = QChar(Windows1252High[c.unicode() - 0x80]);
    }
    return text;
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return fromWindows1252(bytes);
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

// Bytes below a blank that no text uses: NUL and the other control codes
// but tab, line feed, vertical tab, form feed and carriage return.
qsizetype controlBytes(const QByteArray &bytes)
{
    return std::count_if(bytes.begin(), bytes.end(), [](char byte) {
        const auto c = static_cast<unsigned char>(byte);
        return c < 0x20 && (c < '\t' || c > '\r');
    });
}

// A stray control byte or two is damage in a text; where they are common
// (one byte in twenty), the file is binary.
bool isBinary(const QByteArray &bytes)
{
    const qsizetype controls = controlBytes(bytes);
    return controls > 8 && controls * 20 > bytes.size();
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
    // Straight into one buffer of the size the file had, grown only if the
    // file grew meanwhile: a new piece for each read would touch the memory twice.
    QByteArray bytes(std::min(info.size(), MaxFileSize) + 1, Qt::Uninitialized);
    qint64 filled = 0;
    while (filled <= MaxFileSize) {
        if (filled == bytes.size())
            bytes.resize(std::min(bytes.size() * 2, MaxFileSize + 1));
        const qint64 got = file.read(bytes.data() + filled, bytes.size() - filled);
        if (got <= 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    if (file.error() != QFileDevice::NoError) {
        result.m_error = file.errorString();
        return result;
    }
    if (bytes.size() > MaxFileSize) {
        result.m_error = QStringLiteral("The file is too large.");
        return result;
    }
    if (isBinary(bytes)) {
        result.m_error = QStringLiteral("It is not a text file (it is full of NUL and other control bytes).");
        return result;
    }
    result.m_text = decode(bytes);
    // A NUL would end the text for much of the toolkit: it shows as the
    // symbol for NUL, one character for one, so positions stay.
    result.m_text.replace(QChar(u'\0'), QChar(NulPlaceholder));
    if (result.m_text.contains(u'\r'))
        dropCarriageReturnsBeforeLineFeeds(result.m_text);
    return result;
}
