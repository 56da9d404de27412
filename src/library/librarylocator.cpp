#include "librarylocator.h"

#include "documentname.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

constexpr QDir::Filters FileFilters = QDir::Files | QDir::Readable | QDir::Hidden;

// The files of folder whose name matches pattern in any letter case.
QStringList matchingFiles(const QString &folder, const QString &pattern)
{
    return QDir(folder).entryList({pattern}, FileFilters, QDir::Name);
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
        for (const QString &candidate : candidates) {
            // The exact name first: listing a large mirror costs more than a lookup.
            const QString exact = dir.filePath(candidate);
            if (QFileInfo(exact).isFile())
                return exact;
            const QStringList found = matchingFiles(folder, candidate);
            if (!found.isEmpty())
                return dir.filePath(found.first());
        }
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
