#pragma once

#include "erratasource.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class CommandSet;
class DocumentManager;
class DocumentWindow;
class ErrataPanel;
class LibraryController;

// The errata of every open RFC, shown where they correct its text: a mark
// beside each corrected line, a mark on the index entries of sections with
// errata, their count in the bar above the text and an Errata tab listing
// them. The list comes from the RFC Editor, fetched into the library folder
// at most once a day.
class ErrataController : public QObject
{
    Q_OBJECT

public:
    ErrataController(CommandSet &commands, DocumentManager &documents, LibraryController &library,
                     QObject *parent = nullptr);
    ~ErrataController() override;

    ErrataSource &source() { return m_source; }
    // The Errata tab of an open RFC, or null.
    ErrataPanel *panelOf(DocumentWindow *window) const;

signals:
    // A one-line report for the status bar.
    void message(const QString &text, int timeout);

private:
    void addPanel(DocumentWindow *window);
    // Places the errata of the window's RFC and shows them, once its text is all there.
    void show(DocumentWindow *window);
    // Marks the lines and sections of the placed errata the switch lets through.
    void mark(DocumentWindow *window);
    void showInAll();
    void setShowAll(bool all);
    void showPanelOfActive();
    void goToNextErratum();

    DocumentManager &m_documents;
    LibraryController &m_library;
    ErrataSource m_source;
    QHash<DocumentWindow *, QPointer<ErrataPanel>> m_panels;
    bool m_showAll = false;
};
