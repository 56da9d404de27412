#include "statestore.h"

#include "documentrecord.h"
#include "highlightfile.h"
#include "inifile.h"

#include <QCryptographicHash>

#include <algorithm>

namespace {

const QString BookmarkSection = QStringLiteral("bookmark");
const QString BookmarkNameSection = QStringLiteral("bookmark_name");
const QString CountKey = QStringLiteral("count");
const QString CurrLineKey = QStringLiteral("curr_line");
const QString WinSection = QStringLiteral("win");
const QString LeftKey = QStringLiteral("left");
const QString HighlightSuffix = QStringLiteral("_hl");

// Common Linux file systems take names of at most 255 bytes.
constexpr qsizetype MaxNameBytes = 255;
constexpr qsizetype KeptNameBytes = 200;
constexpr qsizetype HashDigits = 16;

bool failed(const QString &path, QString *error)
{
    if (error)
        *error = QStringLiteral("Unable to write to %1").arg(path);
    return false;
}

// A name too long for its highlight file keeps its first bytes, cut back to a
// whole character, and a hash of the whole name that tells such names apart.
QString fittingName(const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    if (utf8.size() + HighlightSuffix.size() <= MaxNameBytes)
        return name;
    qsizetype cut = KeptNameBytes;
    while (cut > 0 && (uchar(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    const QByteArray hash = QCryptographicHash::hash(utf8, QCryptographicHash::Sha256).toHex().left(HashDigits);
    return QString::fromUtf8(utf8.left(cut)) + u'_' + QString::fromLatin1(hash);
}

} // namespace

DocumentStateFiles::DocumentStateFiles(QString iniPath, QString highlightPath)
    : m_iniPath(std::move(iniPath))
    , m_highlightPath(std::move(highlightPath))
{
}

void DocumentStateFiles::readBookmarks(DocumentRecord &record) const
{
    const IniFile ini(m_iniPath);
    // A count above the table's size stays the count; a negative one would
    // keep every later bookmark from being saved.
    record.bookmarkCount = std::max(0, ini.readInteger(BookmarkSection, CountKey, 0));
    qint32 stored = 0;
    for (Bookmark &slot : record.bookmarks) {
        if (stored >= record.bookmarkCount)
            break;
        const QString key = QString::number(stored);
        slot.line = ini.readInteger(BookmarkSection, key, 0);
        slot.name = ini.readString(BookmarkNameSection, key, QString());
        ++stored;
    }
}

ViewState DocumentStateFiles::readView() const
{
    const IniFile ini(m_iniPath);
    ViewState view;
    view.panelWidth = ini.readInteger(WinSection, LeftKey, ViewState::DefaultPanelWidth);
    view.topLine = ini.readInteger(BookmarkSection, CurrLineKey, 1);
    return view;
}

std::optional<std::vector<TextRange>> DocumentStateFiles::readHighlights() const
{
    return HighlightFile::read(m_highlightPath);
}

bool DocumentStateFiles::writeBookmarks(const DocumentRecord &record, QString *error) const
{
    IniFile ini(m_iniPath);
    if (!ini.writeInteger(BookmarkSection, CountKey, record.bookmarkCount))
        return failed(m_iniPath, error);
    qint32 stored = 0;
    for (const Bookmark &slot : record.bookmarks) {
        if (stored >= record.bookmarkCount)
            break;
        if (slot.isFree())
            continue;
        const QString key = QString::number(stored);
        if (!ini.writeInteger(BookmarkSection, key, slot.line)
            || !ini.writeString(BookmarkNameSection, key, slot.name))
            return failed(m_iniPath, error);
        ++stored;
    }
    return true;
}

bool DocumentStateFiles::writeView(const ViewState &view, QString *error) const
{
    IniFile ini(m_iniPath);
    if (!ini.writeInteger(WinSection, LeftKey, view.panelWidth)
        || !ini.writeInteger(BookmarkSection, CurrLineKey, view.topLine))
        return failed(m_iniPath, error);
    return true;
}

bool DocumentStateFiles::writeHighlights(const RangeSet &highlights, QString *error) const
{
    const bool written = highlights.isEmpty() ? HighlightFile::remove(m_highlightPath)
                                              : HighlightFile::write(m_highlightPath, highlights.ranges());
    return written || failed(m_highlightPath, error);
}

StateStore::StateStore(QString folder)
    : m_folder(std::move(folder))
{
}

DocumentStateFiles StateStore::filesFor(const QString &documentPath) const
{
    QString name = documentPath;
    for (QChar &c : name) {
        // "/" too: left alone it would put the file into folders that do not exist.
        if (c == u'\\' || c == u'/' || c == u':' || c == u'.')
            c = u'_';
    }
    const QString iniPath = m_folder + fittingName(name);
    return DocumentStateFiles(iniPath, iniPath + HighlightSuffix);
}
