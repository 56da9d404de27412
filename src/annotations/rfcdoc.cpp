#include "rfcdoc.h"

#include "inifile.h"
#include "statefolder.h"

namespace {
const QString BookmarkSection = QStringLiteral("bookmark");
const QString BookmarkNameSection = QStringLiteral("bookmark_name");
const QString CountKey = QStringLiteral("count");
} // namespace

void Crfc_doc::Init(const QString &path)
{
    *this = Crfc_doc();
    doc_path = path;
    ini_path = StateFileName(path);
    hl_path = ini_path + QStringLiteral("_hl");
    LoadBookmarks();
}

void Crfc_doc::LoadBookmarks()
{
    const IniFile ini(ini_path);
    // Taken as stored: a count above the table's size stays the count.
    bookmark_count = ini.ReadInteger(BookmarkSection, CountKey, 0);
    qint32 stored = 0;
    for (Tbookmark_info &slot : bookmarks) {
        if (stored >= bookmark_count)
            break;
        if (!slot.isFree())
            continue;
        const QString key = QString::number(stored);
        slot.line = ini.ReadInteger(BookmarkSection, key, 0);
        slot.name = ini.ReadString(BookmarkNameSection, key, QString());
        ++stored;
    }
}

void Crfc_doc::SaveBookmarks() const
{
    IniFile ini(ini_path);
    ini.WriteInteger(BookmarkSection, CountKey, bookmark_count);
    qint32 stored = 0;
    for (const Tbookmark_info &slot : bookmarks) {
        if (stored >= bookmark_count)
            break;
        if (slot.isFree())
            continue;
        const QString key = QString::number(stored);
        ini.WriteInteger(BookmarkSection, key, slot.line);
        ini.WriteString(BookmarkNameSection, key, slot.name);
        ++stored;
    }
}
