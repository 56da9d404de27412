#include "citationcontroller.h"

#include "citationindex.h"
#include "citedbypanel.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "librarysearch.h"
#include "navigationcontroller.h"
#include "textview.h"

#include <QFutureWatcher>
#include <QtConcurrent>

namespace {

constexpr auto NoticeSource = "citations";
constexpr int PatienceMs = 2000;

// "Cited by 4 documents in the library (3 normatively)", linked to the tab.
QString noticeOf(const CitedByPanel &panel)
{
    const int documents = panel.citingDocuments();
    if (documents == 0)
        return {};
    return QStringLiteral("<a href=\"cited-by:\">Cited by %1 %2 in the library (%3 normatively)</a>")
        .arg(documents)
        .arg(documents == 1 ? QStringLiteral("document") : QStringLiteral("documents"))
        .arg(panel.normativeDocuments());
}

} // namespace

CitationController::CitationController(QString indexPath, DocumentManager &documents,
                                       NavigationController &navigation, LibrarySearch *search, QObject *parent)
    : QObject(parent)
    , m_indexPath(std::move(indexPath))
    , m_documents(documents)
    , m_navigation(navigation)
{
    if (m_indexPath.isEmpty())
        return;
    connect(&documents, &DocumentManager::opened, this, &CitationController::addPanel);
    if (search)
        connect(search, &LibrarySearch::indexIdle, this, [this] {
            for (auto it = m_panels.cbegin(); it != m_panels.cend(); ++it)
                refresh(it.key());
        });
}

void CitationController::addPanel(DocumentWindow *window)
{
    const std::optional<DocumentName> &name = window->documentName();
    if (!name || name->kind() != DocumentName::Kind::Rfc)
        return;
    auto *panel = new CitedByPanel;
    window->addSideTab(panel, QStringLiteral(" Referenced by "), QStringLiteral("cited-by:"));
    m_panels.insert(window, panel);
    connect(panel, &CitedByPanel::placeChosen, this, &CitationController::openPlace);
    connect(window, &QObject::destroyed, this, [this, window] { m_panels.remove(window); });
    refresh(window);
}

void CitationController::refresh(DocumentWindow *window)
{
    const QString key = citationKey(*window->documentName());
    auto *watcher = new QFutureWatcher<std::vector<CitingPlace>>(this);
    connect(watcher, &QFutureWatcher<std::vector<CitingPlace>>::finished, this,
            [this, watcher, window = QPointer<DocumentWindow>(window)] {
                watcher->deleteLater();
                CitedByPanel *panel = window ? m_panels.value(window) : nullptr;
                if (!panel || watcher->future().resultCount() == 0)
                    return;
                panel->setPlaces(watcher->result());
                window->setNotice(QLatin1String(NoticeSource), noticeOf(*panel));
            });
    watcher->setFuture(QtConcurrent::run([path = m_indexPath, key] {
        return CitationIndex(path, nullptr, PatienceMs).citedBy(key);
    }));
}

void CitationController::openPlace(const QString &path, int line)
{
    m_navigation.leavingCurrentPlace();
    // The jump is recorded here, from where the reader was.
    m_documents.open(path, [line](DocumentWindow &document) {
        document.showLine(line);
        document.textView()->flashLine(document.textView()->caretLine());
    });
}
