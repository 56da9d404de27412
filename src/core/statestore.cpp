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

// The slots as the file stores them.
void readSlots(const IniContents &ini, DocumentRecord &record)
{
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

// The bookmarks in slot order, as many as the count says.
std::vector<Bookmark> stored(const DocumentRecord &record)
{
    std::vector<Bookmark> bookmarks;
    for (const Bookmark &slot : record.bookmarks) {
        if (qint32(bookmarks.size()) >= record.bookmarkCount)
            break;
        if (!slot.isFree())
            bookmarks.push_back(slot);
    }
    return bookmarks;
}

// Merge with another instance: the bookmarks on disk that were not there at
// our read are theirs, and join ours unless one of ours has the name.
void addTheirs(DocumentRecord &ours, const std::vector<Bookmark> &onDisk, const std::vector<Bookmark> &read)
{
    const auto named = [&ours](const QString &name) {
        return std::any_of(ours.bookmarks.begin(), ours.bookmarks.end(),
                           [&name](const Bookmark &slot) { return !slot.isFree() && slot.name == name; });
    };
    for (const Bookmark &theirs : onDisk) {
        if (std::find(read.begin(), read.end(), theirs) == read.end() && !named(theirs.name)
            && ours.addBookmark(theirs.line, theirs.name) < 0)
            break;
    }
}

bool startThenEnd(const TextRange &a, const TextRange &b)
{
    return std::pair(a.start, a.end) < std::pair(b.start, b.end);
}

std::vector<TextRange> sorted(std::vector<TextRange> ranges)
{
    std::sort(ranges.begin(), ranges.end(), startThenEnd);
    return ranges;
}

} // namespace

DocumentStateFiles::DocumentStateFiles(QString iniPath, QString highlightPath)
    : m_iniPath(std::move(iniPath))
    , m_highlightPath(std::move(highlightPath))
{
}

bool DocumentStateFiles::readBookmarks(DocumentRecord &record)
{
    const IniContents ini(m_iniPath);
    readSlots(ini, record);
    m_bookmarksOnDisk = stored(record);
    return !ini.isCut();
}

ViewState DocumentStateFiles::readView() const
{
    const IniContents ini(m_iniPath);
    ViewState view;
    if (const int width = ini.readInteger(WinSection, LeftKey, 0); width > 0)
        view.panelWidth = width;
    view.topLine = ini.readInteger(BookmarkSection, CurrLineKey, 1);
    return view;
}

std::optional<std::vector<TextRange>> DocumentStateFiles::readHighlights()
{
    std::optional<std::vector<TextRange>> ranges = HighlightFile::read(m_highlightPath);
    if (ranges)
        m_highlightsOnDisk = sorted(*ranges);
    return ranges;
}

bool DocumentStateFiles::writeBookmarks(const DocumentRecord &record, QString *error)
{
    IniContents ini(m_iniPath);
    DocumentRecord merged = record;
    if (m_bookmarksOnDisk) {
        DocumentRecord onDisk;
        readSlots(ini, onDisk);
        addTheirs(merged, stored(onDisk), *m_bookmarksOnDisk);
    }
    const std::vector<Bookmark> bookmarks = stored(merged);
    ini.writeInteger(BookmarkSection, CountKey, merged.bookmarkCount);
    for (size_t n = 0; n < bookmarks.size(); ++n) {
        const QString key = QString::number(n);
        ini.writeInteger(BookmarkSection, key, bookmarks[n].line);
        ini.writeString(BookmarkNameSection, key, bookmarks[n].name);
    }
    if (!ini.save())
        return failed(m_iniPath, error);
    m_bookmarksOnDisk = bookmarks;
    return true;
}

bool DocumentStateFiles::writeView(const ViewState &view, QString *error) const
{
    IniContents ini(m_iniPath);
    ini.writeInteger(WinSection, LeftKey, view.panelWidth.value_or(ViewState::DefaultPanelWidth));
    ini.writeInteger(BookmarkSection, CurrLineKey, view.topLine);
    return ini.save() || failed(m_iniPath, error);
}

bool DocumentStateFiles::writeHighlights(const RangeSet &highlights, QString *error)
{
    std::vector<TextRange> ranges = highlights.ranges();
    if (m_highlightsOnDisk) {
        // Theirs are the ranges on disk that were not there at our read.
        const std::optional<std::vector<TextRange>> onDisk = HighlightFile::read(m_highlightPath);
        for (const TextRange &range : onDisk.value_or(std::vector<TextRange>())) {
            if (!std::binary_search(m_highlightsOnDisk->begin(), m_highlightsOnDisk->end(), range, startThenEnd))
                ranges.push_back(range);
        }
        ranges = RangeSet::fromRanges(std::move(ranges)).ranges();
    }
    const bool written = ranges.empty() ? HighlightFile::remove(m_highlightPath)
                                        : HighlightFile::write(m_highlightPath, ranges);
    if (!written)
        return failed(m_highlightPath, error);
    m_highlightsOnDisk = std::move(ranges);
    return true;
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
