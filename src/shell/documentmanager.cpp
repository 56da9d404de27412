#include "documentmanager.h"

#include "appcontext.h"
#include "dialogs.h"
#include "document.h"
#include "documentwindow.h"
#include "statestore.h"
#include "textview.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QMdiArea>
#include <QtConcurrent>

#include <algorithm>

namespace {

// The same file by any spelling of its path; a file that is gone is known
// by its absolute path.
QString identity(const QString &path)
{
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
}

// Smaller files open before progress would be seen.
constexpr qint64 ProgressFrom = 4'000'000;

} // namespace

// One read, shared by the requests for the same file that wait for it.
struct DocumentManager::Load
{
    // Once its result is taken, a future no longer says it finished.
    bool isDone() const { return taken || future.isFinished(); }
    void wait()
    {
        if (!taken)
            future.waitForFinished();
    }

    QFuture<Document> future;
    QFutureWatcher<Document> watcher;
    bool taken = false;
};

struct DocumentManager::Pending
{
    QString path;
    QString identity;
    std::optional<DocumentName> name; // as the file name gives it
    WhenShown whenShown;
    std::shared_ptr<Load> load; // none when the document was open already
    qint64 bytes = 0;
};

DocumentManager::DocumentManager(AppContext &context, QMdiArea &area, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_area(area)
{
    connect(&m_area, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow *window) { emit activeChanged(qobject_cast<DocumentWindow *>(window)); });
}

DocumentManager::~DocumentManager()
{
    for (const std::shared_ptr<Pending> &request : m_pending)
        if (request->load)
            request->load->wait();
    for (const std::shared_ptr<Load> &dropped : m_dropped)
        dropped->wait();
}

void DocumentManager::open(const QString &path, WhenShown whenShown)
{
    auto request = std::make_shared<Pending>(Pending{path, identity(path),
                                                     DocumentName::ofFile(QFileInfo(path).fileName(), {}),
                                                     std::move(whenShown), {}, QFileInfo(path).size()});
    if (!findOpen(*request)) {
        // Only regular files: a FIFO or a device named like a document is ignored.
        if (!QFileInfo(path).isFile())
            return;
        for (const std::shared_ptr<Pending> &earlier : m_pending)
            if (earlier->identity == request->identity && earlier->load)
                request->load = earlier->load;
        if (!request->load) {
            request->load = std::make_shared<Load>();
            const StateStore &store = m_context.stateStore;
            request->load->future = QtConcurrent::run([path, &store] { return Document::read(path, store); });
            connect(&request->load->watcher, &QFutureWatcher<Document>::finished, this, &DocumentManager::showReady);
            request->load->watcher.setFuture(request->load->future);
        }
    }
    m_pending.push_back(std::move(request));
    showReady();
    reportOpening();
}

void DocumentManager::open(const QStringList &paths)
{
    for (const QString &path : paths)
        open(path);
}

void DocumentManager::showReady()
{
    while (!m_pending.empty()) {
        const std::shared_ptr<Pending> request = m_pending.front();
        if (request->load && !request->load->isDone())
            break;
        m_pending.pop_front();
        show(*request);
    }
    reportOpening();
}

void DocumentManager::show(Pending &request)
{
    DocumentWindow *window = findOpen(request);
    // The first of the requests sharing a read takes its result.
    if (!window && request.load && !std::exchange(request.load->taken, true))
        window = addWindow(request);
    if (!window)
        return;
    // Another copy of an open document shows that one, and is not the one remembered.
    emit shown(window, identity(window->documentPath()) == request.identity ? request.path : window->documentPath());
    bringToFront(window);
    if (!request.whenShown)
        return;
    if (window->isTextComplete())
        request.whenShown(*window);
    else
        connect(window, &DocumentWindow::textCompleted, this,
                [window, whenShown = request.whenShown] { whenShown(*window); }, Qt::SingleShotConnection);
}

DocumentWindow *DocumentManager::addWindow(Pending &request)
{
    Document document = request.load->future.takeResult();
    // Only the first page said which document this is.
    if (document.name())
        if (DocumentWindow *open = find(*document.name()))
            return open;
    auto window = std::make_unique<DocumentWindow>(m_context.dialogs, m_context.stateStore, m_context.fonts);
    window->setViewSettings(m_view);
    QString reason;
    if (!window->setDocument(std::move(document), &reason)) {
        m_context.dialogs.error(m_area.window(), QStringLiteral("Cannot open %1:\n%2").arg(request.path, reason),
                                QStringLiteral("Open"));
        return nullptr;
    }
    DocumentWindow *added = window.release();
    connect(added, &DocumentWindow::closing, this, [this, added] { emit closing(added); });
    connect(added, &DocumentWindow::textProgress, this, &DocumentManager::reportOpening);
    connect(added, &DocumentWindow::textCompleted, this, &DocumentManager::reportOpening);
    connect(added, &QObject::destroyed, this, &DocumentManager::reportOpening, Qt::QueuedConnection);
    // "[*]" would mark the window as modified; "[*][*]" shows as it is.
    added->setWindowTitle(QString(request.path).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
    added->setWindowIcon(m_area.window()->windowIcon());
    // Before the text shows: it reports its caret line, and links and
    // notices need their listeners.
    emit opened(added);
    m_area.addSubWindow(added);
    added->showMaximized();
    added->showText();
    return added;
}

void DocumentManager::bringToFront(DocumentWindow *window)
{
    if (window->isMinimized())
        window->showNormal();
    activate(window);
    window->raise();
    // Keys go to the text at once, as after a click in it.
    window->textView()->setFocus();
}

DocumentWindow *DocumentManager::find(const QString &path) const
{
    const QString wanted = identity(path);
    for (DocumentWindow *window : documents())
        if (window->documentPath() == path || identity(window->documentPath()) == wanted)
            return window;
    return nullptr;
}

DocumentWindow *DocumentManager::find(const DocumentName &name) const
{
    for (DocumentWindow *window : documents())
        if (window->documentName() && name.reaches(*window->documentName()))
            return window;
    return nullptr;
}

DocumentWindow *DocumentManager::findOpen(const Pending &request) const
{
    if (DocumentWindow *window = find(request.path))
        return window;
    return request.name ? find(*request.name) : nullptr;
}

DocumentWindow *DocumentManager::active() const
{
    return qobject_cast<DocumentWindow *>(m_area.activeSubWindow());
}

SearchableText *DocumentManager::activeText() const
{
    return dynamic_cast<SearchableText *>(m_area.activeSubWindow());
}

QString DocumentManager::activeFolder() const
{
    const DocumentWindow *document = active();
    return document ? QFileInfo(document->documentPath()).absolutePath() : QString();
}

QList<DocumentWindow *> DocumentManager::documents() const
{
    QList<DocumentWindow *> result;
    for (QMdiSubWindow *window : m_area.subWindowList(QMdiArea::CreationOrder))
        if (auto *document = qobject_cast<DocumentWindow *>(window))
            result.append(document);
    return result;
}

void DocumentManager::activate(DocumentWindow *window)
{
    window->show();
    m_area.setActiveSubWindow(window);
}

bool DocumentManager::isLoading() const
{
    if (!m_pending.empty())
        return true;
    const QList<DocumentWindow *> windows = documents();
    return std::any_of(windows.begin(), windows.end(), [](DocumentWindow *window) { return window->isOpening(); });
}

void DocumentManager::cancelOpening()
{
    for (const std::shared_ptr<Pending> &request : std::exchange(m_pending, {}))
        if (request->load)
            m_dropped.push_back(request->load);
    for (DocumentWindow *window : documents())
        if (window->isOpening())
            window->discard();
    reportOpening();
}

void DocumentManager::reportOpening()
{
    // Found before it is said: a listener may cancel the open.
    QString opening;
    qint64 done = 0;
    qint64 total = 0;
    for (const std::shared_ptr<Pending> &request : m_pending)
        if (opening.isEmpty() && request->load && request->bytes >= ProgressFrom)
            opening = request->path;
    for (DocumentWindow *window : documents())
        if (opening.isEmpty() && window->isOpening()) {
            opening = window->documentPath();
            done = window->textView()->loadedLength();
            total = window->textView()->text().size();
        }
    if (!opening.isEmpty()) {
        m_reportedOpening = true;
        emit openingProgress(QFileInfo(opening).fileName(), done, total);
    } else if (std::exchange(m_reportedOpening, false)) {
        emit openingEnded();
    }
}

bool DocumentManager::closeAll()
{
    // Nothing opens behind the user's back once they asked to close.
    for (const std::shared_ptr<Pending> &request : std::exchange(m_pending, {}))
        if (request->load)
            m_dropped.push_back(request->load);
    for (DocumentWindow *window : documents())
        if (!window->close())
            return false;
    return true;
}

void DocumentManager::setViewSettings(const ViewSettings &settings)
{
    m_view = settings;
    for (DocumentWindow *window : documents())
        window->setViewSettings(settings);
}
