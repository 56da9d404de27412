#include "searchcontroller.h"

#include "commandset.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "librarycontroller.h"
#include "librarysearch.h"
#include "navigationcontroller.h"
#include "rfclibrary.h"
#include "searchpanel.h"
#include "statusprogress.h"
#include "textview.h"

#include <QApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QPointer>
#include <QStatusBar>

SearchController::SearchController(const QString &indexPath, CommandSet &commands, DocumentManager &documents,
                                   LibraryController &library, NavigationController &navigation,
                                   QMainWindow &window)
    : QObject(&window)
    , m_documents(documents)
    , m_library(library)
    , m_navigation(navigation)
{
    if (indexPath.isEmpty()) {
        commands.action(Command::SearchLibrary)->setEnabled(false);
        return;
    }
    m_search = new LibrarySearch(indexPath, this);
    m_panel = new SearchPanel(&window);
    window.addDockWidget(Qt::RightDockWidgetArea, m_panel);
    m_panel->hide();
    commands.onTriggered(Command::SearchLibrary, this, &SearchController::showPanel);
    connect(m_panel, &SearchPanel::searchRequested, this, [this](const QString &query, SearchPanel::Scope scope) {
        run(query, scope == SearchPanel::Scope::OpenDocuments);
    });
    connect(m_panel, &SearchPanel::hitChosen, this, &SearchController::openHit);
    connect(m_search, &LibrarySearch::hitsFound, m_panel, &SearchPanel::showHits);
    connect(m_search, &LibrarySearch::searchRejected, m_panel, &SearchPanel::showRejection);
    connect(m_search, &LibrarySearch::message, this, [this](const QString &text) { emit message(text, 15000); });
    connect(&documents, &DocumentManager::opened, this,
            [this](DocumentWindow *document) { m_search->addDocuments({document->documentPath()}); });

    m_progress = new StatusProgress;
    window.statusBar()->addWidget(m_progress);
    connect(m_search, &LibrarySearch::indexProgress, m_progress, [this](int done, int total) {
        m_progress->show(QStringLiteral("Indexing the library: %1 of %2 documents").arg(done).arg(total), done,
                         total);
    });
    connect(m_search, &LibrarySearch::indexIdle, m_progress, &QWidget::hide);
    m_search->updateFolders(m_library.folders());
}

void SearchController::showPanel()
{
    // Titles for the hits, from the RFC index kept in the library.
    m_library.library().loadStoredIndex();
    m_search->updateFolders(m_library.folders());
    m_panel->activate();
}

void SearchController::run(const QString &query, bool openDocumentsOnly)
{
    SearchRequest request;
    request.query = query;
    if (openDocumentsOnly) {
        QStringList paths;
        for (DocumentWindow *window : m_documents.documents())
            paths << window->documentPath();
        request.documents = paths;
    }
    // A copy of the RFC index: the search names documents on its own thread.
    request.label = [index = m_library.library().index()](const QString &path) {
        const int rfc = RfcLibrary::rfcNumberOf(path);
        const RfcEntry *entry = rfc ? index.entry(rfc) : nullptr;
        return DocumentLabel{rfc, entry ? entry->title : QString()};
    };
    m_search->search(request);
}

void SearchController::openHit(const SearchHit &hit)
{
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const bool fromPanel = focus && m_panel->isAncestorOf(focus);
    m_navigation.leavingCurrentPlace();
    m_documents.open(hit.path, [hit, focus, fromPanel](DocumentWindow &document) {
        document.showLine(hit.line);
        TextView *view = document.textView();
        view->setSelectionStart(view->lineStart(hit.line - 1) + hit.column);
        view->setSelectionLength(hit.length);
        // Down and Return go on to the next hit.
        if (fromPanel && focus)
            focus->setFocus();
    });
}
