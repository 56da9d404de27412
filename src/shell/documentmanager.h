#pragma once

#include "viewsettings.h"

#include <QList>
#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

struct AppContext;
class DocumentName;
class DocumentWindow;
class SearchableText;
class QMdiArea;

// The one place that opens, finds, activates and closes documents. A
// document is its file, however the path is spelled: a symbolic link and
// "docs/./rfc791.txt" name the same document; and an RFC or a draft is one
// document in whichever file: opening another copy shows the open one. Files are read and parsed off
// the user-interface thread; requests are served in the order they came.
class DocumentManager : public QObject
{
    Q_OBJECT

public:
    // Runs once the document is shown and in front, with all of its text,
    // whether it was open already or not.
    using WhenShown = std::function<void(DocumentWindow &)>;

    DocumentManager(AppContext &context, QMdiArea &area, QObject *parent = nullptr);
    // Waits for the reads still running: they use the state store.
    ~DocumentManager() override;

    // A missing file or one that is not a regular file is ignored; one that
    // cannot be read is reported.
    void open(const QString &path, WhenShown whenShown = {});
    void open(const QStringList &paths);
    DocumentWindow *find(const QString &path) const;
    // The open document a link to name reaches, by its file name or its first page.
    DocumentWindow *find(const DocumentName &name) const;
    DocumentWindow *active() const;
    // The document or comparison in front, as Find and Copy Reference see it.
    SearchableText *activeText() const;
    // The folder of the document in front, where documents it cites are
    // looked for first; empty when none is.
    QString activeFolder() const;
    // In the order they were opened.
    QList<DocumentWindow *> documents() const;
    void activate(DocumentWindow *window);
    // Reads asked for and not yet shown, or texts still going into their view.
    bool isLoading() const;
    // Drops the reads still running and closes, writing no state, the
    // documents whose text is not complete yet.
    void cancelOpening();

    // Closes every document, stopping at the first that refuses (its state
    // could not be saved and the user kept it open); reads still running are
    // dropped. True when all closed.
    bool closeAll();

    // Given to every document, those to come included.
    void setViewSettings(const ViewSettings &settings);

signals:
    // A new document window, read and about to be shown.
    void opened(DocumentWindow *window);
    // Every request that reached its document, new or already open, by the
    // path it was asked for.
    void shown(DocumentWindow *window, const QString &path);
    // The document in front changed; null when none is.
    void activeChanged(DocumentWindow *window);
    // A document is about to go; its state is saved.
    void closing(DocumentWindow *window);
    // A large document is opening: its file name, and how far its text is
    // in (a total of 0 while the file is read).
    void openingProgress(const QString &name, qint64 done, qint64 total);
    // No large document is opening any more.
    void openingEnded();

private:
    struct Load;
    struct Pending;
    void showReady();
    void show(Pending &request);
    DocumentWindow *findOpen(const Pending &request) const;
    DocumentWindow *addWindow(Pending &request);
    void bringToFront(DocumentWindow *window);
    void reportOpening();

    AppContext &m_context;
    QMdiArea &m_area;
    ViewSettings m_view;
    std::deque<std::shared_ptr<Pending>> m_pending;
    // Reads of requests dropped by closeAll(), still to be waited for.
    std::vector<std::shared_ptr<Load>> m_dropped;
    bool m_reportedOpening = false;
};
