#pragma once

#include "documentname.h"

#include <QFutureWatcher>
#include <QObject>

#include <memory>
#include <optional>

struct ComparedRevisions;
class CommandSet;
class ComparisonWindow;
class Dialogs;
class DocumentManager;
class LibraryController;
class QMdiArea;
class QWidget;

// Compare With and Compare with Previous Revision: the document in front
// against another revision, read and compared off the user-interface thread
// and shown in a comparison window beside the documents; a revision missing
// from the library is fetched first. Also steps through the changes of the
// comparison in front and saves it.
class CompareController : public QObject
{
    Q_OBJECT

public:
    CompareController(Dialogs &dialogs, CommandSet &commands, DocumentManager &documents, LibraryController &library,
                      QMdiArea &area, QWidget &window);
    ~CompareController() override;

    // Compares the two files; the window shows when the comparison is ready.
    void compare(const QString &oldPath, const QString &newPath);
    ComparisonWindow *activeComparison() const;

signals:
    void message(const QString &text, int timeout);
    // A comparison window is shown, ready.
    void comparisonShown(ComparisonWindow *window);

private:
    void askAndCompare();
    void compareWithPrevious();
    void compareWithFinalDraft();
    void saveComparison();
    void show(const std::shared_ptr<const ComparedRevisions> &revisions);
    // Compares with the named revision, fetching it into the library first
    // when it is on this machine nowhere.
    void compareWithNamed(const DocumentName &older, const QString &newPath);
    // The other side a typed text names: an open document's file name, a
    // file, or a document of the library; empty when none.
    QString pathOfTyped(const QString &typed, const QString &activePath) const;
    void updateActions();

    Dialogs &m_dialogs;
    CommandSet &m_commands;
    DocumentManager &m_documents;
    LibraryController &m_library;
    QMdiArea &m_area;
    QWidget &m_window;
    QFutureWatcher<std::shared_ptr<const ComparedRevisions>> m_reading;
    // A revision being fetched, and the file it is to be compared with.
    struct Awaited
    {
        DocumentName older;
        QString newPath;
    };
    std::optional<Awaited> m_awaited;
};
