#include "comparecontroller.h"

#include "commandset.h"
#include "comparedrevisions.h"
#include "comparisonwindow.h"
#include "dialogs.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "librarycontroller.h"
#include "rfclibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMdiArea>
#include <QSaveFile>
#include <QtConcurrent>

namespace {

const QString SaveFilter =
    QStringLiteral("Unified diff (*.diff)|*.diff|OLD/NEW listing (*.txt)|*.txt|All files (*)|*");

std::optional<DocumentName> nameOf(const QString &path)
{
    return DocumentName::ofFile(QFileInfo(path).fileName(), QString());
}

} // namespace

CompareController::CompareController(Dialogs &dialogs, CommandSet &commands, DocumentManager &documents,
                                     LibraryController &library, QMdiArea &area, QWidget &window)
    : QObject(&window)
    , m_dialogs(dialogs)
    , m_commands(commands)
    , m_documents(documents)
    , m_library(library)
    , m_area(area)
    , m_window(window)
{
    commands.onTriggered(Command::FileCompareWith, this, &CompareController::askAndCompare);
    commands.onTriggered(Command::FileCompareWithPrevious, this, &CompareController::compareWithPrevious);
    commands.onTriggered(Command::FileCompareWithFinalDraft, this, &CompareController::compareWithFinalDraft);
    commands.onTriggered(Command::FileSaveComparison, this, &CompareController::saveComparison);
    commands.onTriggered(Command::GoNextChange, this, [this] {
        if (ComparisonWindow *comparison = activeComparison())
            comparison->nextChange();
    });
    commands.onTriggered(Command::GoPreviousChange, this, [this] {
        if (ComparisonWindow *comparison = activeComparison())
            comparison->previousChange();
    });
    connect(&m_reading, &QFutureWatcher<std::shared_ptr<const ComparedRevisions>>::finished, this, [this] {
        if (m_reading.future().resultCount() > 0)
            show(m_reading.result());
    });
    connect(&library.library(), &RfcLibrary::fetched, this,
            [this](const QString &path, const QString &, RfcLibrary::AfterFetch after) {
                if (after != RfcLibrary::AfterFetch::Keep || !m_awaited
                    || QFileInfo(path).fileName() != m_awaited->older.downloadFileName())
                    return;
                const QString newPath = std::exchange(m_awaited, std::nullopt)->newPath;
                compare(path, newPath);
            });
    connect(&library.library(), &RfcLibrary::fetchFailed, this, [this] { m_awaited.reset(); });
    connect(&area, &QMdiArea::subWindowActivated, this, &CompareController::updateActions);
    updateActions();
}

CompareController::~CompareController()
{
    m_reading.waitForFinished();
}

void CompareController::compare(const QString &oldPath, const QString &newPath)
{
    emit message(QStringLiteral("Comparing %1 with %2").arg(QFileInfo(newPath).fileName(), QFileInfo(oldPath).fileName()),
                 5000);
    m_reading.setFuture(QtConcurrent::run(&ComparedRevisions::read, oldPath, newPath));
}

ComparisonWindow *CompareController::activeComparison() const
{
    return qobject_cast<ComparisonWindow *>(m_area.activeSubWindow());
}

void CompareController::askAndCompare()
{
    const DocumentWindow *active = m_documents.active();
    if (!active) {
        emit message(QStringLiteral("Open the document to compare first"), 5000);
        return;
    }
    const QString activePath = active->documentPath();
    QStringList completions;
    for (const DocumentWindow *document : m_documents.documents())
        if (document != active)
            completions << QFileInfo(document->documentPath()).fileName();
    const QString typed = m_dialogs.askWithCompletions(
        &m_window,
        {QStringLiteral("Compare With"), QStringLiteral("&Compare with:"),
         QStringLiteral("an open document, RFC 9110, draft-ietf-quic-transport-33 or a file's path"),
         QStringLiteral("&Compare")},
        completions);
    if (typed.isEmpty())
        return;
    if (const QString other = pathOfTyped(typed, activePath); !other.isEmpty()) {
        // Two revisions of one draft compare older to newer, whichever is in front.
        const std::optional<DocumentName> otherName = nameOf(other);
        const std::optional<DocumentName> activeName = active->documentName();
        const bool otherIsNewer = otherName && activeName && otherName->kind() == DocumentName::Kind::Draft
                                  && otherName->draftName() == activeName->draftName()
                                  && otherName->revision() > activeName->revision();
        if (otherIsNewer)
            compare(activePath, other);
        else
            compare(other, activePath);
        return;
    }
    if (const std::optional<DocumentName> name = DocumentName::parse(typed); name && !name->downloadFileName().isEmpty()) {
        compareWithNamed(*name, activePath);
        return;
    }
    m_dialogs.error(&m_window, QStringLiteral("\"%1\" names no open document, file or document of the library.").arg(typed),
                    QStringLiteral("Compare With"));
}

QString CompareController::pathOfTyped(const QString &typed, const QString &activePath) const
{
    for (const DocumentWindow *document : m_documents.documents())
        if (QFileInfo(document->documentPath()).fileName() == typed)
            return document->documentPath();
    const QFileInfo file(QDir(QFileInfo(activePath).absolutePath()), typed);
    if (file.isFile())
        return file.absoluteFilePath();
    if (const std::optional<DocumentName> name = DocumentName::parse(typed))
        return m_library.library().find(*name, QFileInfo(activePath).absolutePath());
    return {};
}

void CompareController::compareWithPrevious()
{
    const DocumentWindow *active = m_documents.active();
    const std::optional<DocumentName> name = active ? active->documentName() : std::nullopt;
    if (!name || name->kind() != DocumentName::Kind::Draft || !name->hasRevision()) {
        emit message(QStringLiteral("Only a draft with a revision number has a previous revision"), 5000);
        return;
    }
    if (name->revision() == 0) {
        emit message(QStringLiteral("%1 is the first revision").arg(name->displayName()), 5000);
        return;
    }
    compareWithNamed(name->withRevision(name->revision() - 1), active->documentPath());
}

void CompareController::compareWithFinalDraft()
{
    const DocumentWindow *active = m_documents.active();
    const std::optional<DocumentName> name = active ? active->documentName() : std::nullopt;
    if (!name || name->kind() != DocumentName::Kind::Rfc) {
        emit message(QStringLiteral("Only an RFC has a final draft"), 5000);
        return;
    }
    m_library.library().loadStoredIndex();
    const RfcEntry *entry = m_library.library().index().entry(name->number());
    const std::optional<DocumentName> draft = entry ? DocumentName::parse(entry->draft) : std::nullopt;
    if (!draft || draft->kind() != DocumentName::Kind::Draft || !draft->hasRevision()) {
        emit message(QStringLiteral("The RFC index names no draft for %1").arg(name->displayName()), 5000);
        return;
    }
    compareWithNamed(*draft, active->documentPath());
}

void CompareController::compareWithNamed(const DocumentName &older, const QString &newPath)
{
    const QString local = m_library.library().find(older, QFileInfo(newPath).absolutePath());
    if (!local.isEmpty()) {
        compare(local, newPath);
        return;
    }
    m_awaited = Awaited{older, newPath};
    m_library.library().fetch(older, QString(), RfcLibrary::AfterFetch::Keep);
}

void CompareController::show(const std::shared_ptr<const ComparedRevisions> &revisions)
{
    if (!revisions->error.isEmpty()) {
        m_dialogs.error(&m_window, revisions->error, QStringLiteral("Compare"));
        return;
    }
    auto *window = new ComparisonWindow(revisions);
    const DocumentWindow *newer = m_documents.find(revisions->newPath);
    window->setTextFont(newer ? newer->textView()->font() : QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_area.addSubWindow(window);
    window->showMaximized();
    m_area.setActiveSubWindow(window);
    window->nextChange();
    emit comparisonShown(window);
}

void CompareController::saveComparison()
{
    ComparisonWindow *comparison = activeComparison();
    if (!comparison)
        return;
    const ComparedRevisions &revisions = comparison->revisions();
    const QString suggested = QFileInfo(revisions.newPath).absolutePath() + u'/'
                              + QFileInfo(revisions.oldPath).completeBaseName() + QStringLiteral("-to-")
                              + QFileInfo(revisions.newPath).completeBaseName() + QStringLiteral(".diff");
    const QString path = m_dialogs.saveFileName(&m_window, SaveFilter, suggested);
    if (path.isEmpty())
        return;
    const QString text = path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive) ? comparison->oldNewListing()
                                                                                    : comparison->unifiedDiff();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        m_dialogs.error(&m_window, QStringLiteral("The comparison could not be saved as %1: %2")
                                       .arg(QDir::toNativeSeparators(path), file.errorString()),
                        QStringLiteral("Save Comparison As"));
        return;
    }
    emit message(QStringLiteral("Saved %1").arg(QFileInfo(path).fileName()), 5000);
}

void CompareController::updateActions()
{
    const bool comparing = activeComparison() != nullptr;
    for (Command command : {Command::FileSaveComparison, Command::GoNextChange, Command::GoPreviousChange})
        m_commands.action(command)->setEnabled(comparing);
}
