#include "librarylocator.h"

#include "documentname.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <utility>

namespace {

constexpr QDir::Filters FileFilters = QDir::Files | QDir::Readable | QDir::Hidden;

// The files of folder whose name matches pattern in any letter case.
QStringList matchingFiles(const QString &folder, const QString &pattern)
{
    return QDir(folder).entryList({pattern}, FileFilters, QDir::Name);
}

// The file of folder named like the first of names it has, in any letter
// case. One pass over the folder, unsorted: a mirror of the series holds
// thousands of files.
QString fileNamedIgnoringCase(const QString &folder, const QStringList &names)
{
    QString best;
    qsizetype bestRank = names.size();
    // Readable is left to the open: asking it of every entry costs a call each.
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden); it.hasNext();) {
        it.next();
        const QString file = it.fileName();
        for (qsizetype rank = 0; rank < bestRank; ++rank) {
            if (file.compare(names[rank], Qt::CaseInsensitive) == 0) {
                best = it.filePath();
                bestRank = rank;
                break;
            }
        }
    }
    return best;
}

} // namespace

LibraryLocator::LibraryLocator(QStringList folders) : m_folders(std::move(folders))
{
    m_folders.removeAll(QString());
}

QString LibraryLocator::find(const DocumentName &name) const
{
    if (name.kind() == DocumentName::Kind::Draft && !name.hasRevision())
        return findDraft(name);

    const QStringList candidates = name.localFileNames();
    for (const QString &folder : m_folders) {
        const QDir dir(folder);
        // The exact names first: listing a large mirror costs more than a lookup.
        for (const QString &candidate : candidates) {
            const QString exact = dir.filePath(candidate);
            if (QFileInfo(exact).isFile())
                return exact;
        }
        const QString found = fileNamedIgnoringCase(folder, candidates);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QString LibraryLocator::findDraft(const DocumentName &name) const
{
    QString best;
    int bestRevision = DocumentName::NoRevision;
    for (const QString &folder : m_folders) {
        for (const QString &file : matchingFiles(folder, name.draftName() + QStringLiteral("-[0-9][0-9].txt"))) {
            const std::optional<DocumentName> found = DocumentName::parse(file);
            if (found && found->draftName() == name.draftName() && found->revision() > bestRevision) {
                bestRevision = found->revision();
                best = QDir(folder).filePath(file);
            }
        }
    }
    return best;
}
