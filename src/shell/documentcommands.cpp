#include "documentcommands.h"

#include "commandset.h"
#include "dialogs.h"
#include "documentaddress.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "textview.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMenuBar>

namespace {

constexpr int BookmarkNameLimit = 255;

} // namespace

DocumentCommands::DocumentCommands(CommandSet &commands, DocumentManager &documents, Dialogs &dialogs,
                                   QWidget &window)
    : QObject(&window)
    , m_commands(commands)
    , m_documents(documents)
    , m_dialogs(dialogs)
    , m_window(window)
{
    const auto onDocument = [this](Command command, void (DocumentWindow::*handler)()) {
        m_commands.onTriggered(command, this, [this, handler] {
            if (DocumentWindow *document = m_documents.active())
                (document->*handler)();
        });
    };
    commands.onTriggered(Command::EditCopy, this, [this] {
        if (m_copySource)
            m_copySource->copy();
    });
    commands.onTriggered(Command::EditCopyReference, this, [this] {
        if (SearchableText *text = m_documents.activeText())
            QApplication::clipboard()->setText(text->reference());
    });
    commands.onTriggered(Command::EditCopyLink, this, &DocumentCommands::copyLink);
    commands.onTriggered(Command::EditAddBookmark, this, &DocumentCommands::addBookmark);
    onDocument(Command::EditDeleteBookmark, &DocumentWindow::deleteBookmark);
    onDocument(Command::EditHighlight, &DocumentWindow::highlightSelection);
    onDocument(Command::EditCancelHighlight, &DocumentWindow::unhighlightSelection);
    connect(&documents, &DocumentManager::opened, this, [this](DocumentWindow *document) {
        connect(document->textView(), &QPlainTextEdit::copyAvailable, this, &DocumentCommands::updateActions);
    });
    connect(qApp, &QApplication::focusChanged, this, &DocumentCommands::focusMoved);
}

void DocumentCommands::updateActions()
{
    m_commands.action(Command::EditCopy)->setEnabled(m_copySource && m_copySource->selectionLength() > 0);
}

void DocumentCommands::addBookmark()
{
    if (!m_documents.active())
        return;
    const QString name = m_dialogs.inputBox(&m_window, QStringLiteral("Bookmark"),
                                            QStringLiteral("Please input bookmark name:"), QString(),
                                            BookmarkNameLimit);
    if (!name.isEmpty())
        if (DocumentWindow *document = m_documents.active())
            document->addBookmark(name);
}

void DocumentCommands::copyLink()
{
    DocumentWindow *document = m_documents.active();
    if (!document)
        return;
    const std::optional<DocumentName> &name = document->documentName();
    const QString address = name ? documentAddressUrl(*name, document->caretSection()) : QString();
    if (address.isEmpty()) {
        m_dialogs.information(&m_window,
                              QStringLiteral("%1 has no web address: only an RFC or a draft with its revision has one.")
                                  .arg(QFileInfo(document->documentPath()).fileName()),
                              QStringLiteral("Copy Link"));
        return;
    }
    QApplication::clipboard()->setText(address);
}

void DocumentCommands::focusMoved(QWidget *, QWidget *now)
{
    // The menu bar takes the focus while it is worked from the keyboard
    // (Alt+E): Copy still copies from the text that had it.
    if (!qobject_cast<QMenuBar *>(now))
        m_copySource = qobject_cast<TextView *>(now);
    updateActions();
}
