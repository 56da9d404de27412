#pragma once

#include <QObject>
#include <QStringList>

struct AppContext;
class CommandSet;
class DocumentManager;
class DocumentName;
class DocumentWindow;
class FileTabs;
class QStatusBar;
class QWidget;
class RfcLibrary;
class StatusProgress;
struct LinkTarget;

// The library of RFCs and drafts in the window: Open RFC, fetching with its
// progress and Cancel, and what the RFC index says of each open document
// (its tab's tool tip, the bar above its text and the cards over its links).
class LibraryController : public QObject
{
    Q_OBJECT

public:
    LibraryController(AppContext &context, CommandSet &commands, DocumentManager &documents, FileTabs &tabs,
                      QWidget &window, QStatusBar &statusBar);

    RfcLibrary &library() const { return *m_library; }
    // The library folder and the read-only ones.
    QStringList folders() const;
    // Whether the file is in one of folders(): what is fetched for a
    // document (the RFC index, the errata) is fetched only for those.
    bool isInLibrary(const QString &path) const;
    // Files, or documents of the RFC series by number or name.
    void openArguments(const QStringList &arguments);
    // What the user typed, as Open RFC takes it: a number, a name, words of a title.
    void openTyped(const QString &text);

    // Where problems() come from.
    static const QString FetchSource;

    enum class Reason { Asked, FollowingLink };
    // Shows the document at the section (when given): the open copy, else
    // the one in the library's folders, else the one beside the document in
    // front, else one fetched into the library; a link fetches only when the
    // settings let it.
    void openDocument(const DocumentName &name, const QString &section = {}, Reason reason = Reason::Asked);

signals:
    void message(const QString &text, int timeout);
    // An error that stands until the user dismisses it or the source reports again.
    void problem(const QString &source, const QString &text);
    void problemSolved(const QString &source);

private:
    void askAndOpen();
    void createFetchProgress(QWidget &window, QStatusBar &statusBar);
    void showIndexFacts(DocumentWindow *window);
    void openFile(const QString &path, const QString &section);
    // The open copy of a document, else the one the library finds.
    QString localCopy(const DocumentName &name) const;
    QString linkCard(const LinkTarget &target) const;

    AppContext &m_context;
    DocumentManager &m_documents;
    FileTabs &m_tabs;
    QWidget &m_window;
    RfcLibrary *m_library;
    StatusProgress *m_fetchProgress = nullptr;
};
