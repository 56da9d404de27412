#include "navigationcontroller.h"

#include "commandset.h"
#include "dialogs.h"
#include "documentaddress.h"
#include "documentmanager.h"
#include "documentname.h"
#include "documentwindow.h"
#include "librarycontroller.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPointer>
#include <QUrl>

namespace {

constexpr int PageNumberLimit = 6;
constexpr int MessageTimeout = 5000;

} // namespace

NavigationController::NavigationController(CommandSet &commands, DocumentManager &documents, LibraryController &library,
                                           Dialogs &dialogs, QWidget &window)
    : QObject(&window)
    , m_commands(commands)
    , m_documents(documents)
    , m_library(library)
    , m_dialogs(dialogs)
    , m_window(window)
{
    commands.onTriggered(Command::GoBack, this, [this] { goThroughHistory(&JumpHistory::back); });
    commands.onTriggered(Command::GoForward, this, [this] { goThroughHistory(&JumpHistory::forward); });
    commands.onTriggered(Command::GoPage, this, &NavigationController::goToPage);
    commands.onTriggered(Command::GoGoTo, this, &NavigationController::goTo);
    commands.onTriggered(Command::GoLinkCard, this, &NavigationController::showLinkCard);
    connect(&documents, &DocumentManager::opened, this, [this](DocumentWindow *document) {
        connect(document, &DocumentWindow::jumping, this, &NavigationController::recordJump);
        connect(document, &DocumentWindow::noticeLinkActivated, this, &NavigationController::openAddress);
        connect(document, &DocumentWindow::externalLinkActivated, this, &NavigationController::followLink);
    });
    // The mouse's back and forward buttons, wherever the pointer is.
    qApp->installEventFilter(this);
    updateActions();
}

void NavigationController::leavingCurrentPlace()
{
    if (const std::optional<Place> from = currentPlace())
        recordJump(*from);
}

void NavigationController::recordJump(const Place &from)
{
    m_history.recordJump(from);
    updateActions();
}

std::optional<Place> NavigationController::currentPlace() const
{
    if (DocumentWindow *document = m_documents.active())
        return Place{document->documentPath(), document->topLine()};
    return std::nullopt;
}

void NavigationController::goThroughHistory(std::optional<Place> (JumpHistory::*step)(const Place &))
{
    const Place current = currentPlace().value_or(Place());
    // Places in documents that are gone are passed over.
    std::optional<Place> target = (m_history.*step)(current);
    while (target && !QFileInfo(target->path).isFile()) {
        m_history.forget(target->path);
        target = (m_history.*step)(current);
    }
    if (target)
        m_documents.open(target->path, [line = target->topLine](DocumentWindow &document) { document.showLine(line); });
    updateActions();
}

void NavigationController::openAddress(const QString &address)
{
    if (address.startsWith(QStringLiteral("rfc:"))) {
        if (const std::optional<DocumentName> name = DocumentName::parse(QStringLiteral("RFC ") + address.mid(4)))
            m_library.openDocument(*name);
        return;
    }
    const QUrl url(address);
    // The RFC Editor's and the IETF's pages of a document open here.
    if (const std::optional<DocumentAddress> document = parseDocumentAddress(url)) {
        leavingCurrentPlace();
        m_library.openDocument(document->name, document->section, LibraryController::Reason::FollowingLink);
        return;
    }
    if ((url.scheme() == u"http" || url.scheme() == u"https")
        && m_dialogs.confirm(&m_window, QStringLiteral("Open %1 in the web browser?").arg(address),
                             QStringLiteral("Open Link")))
        m_dialogs.shellOpen(&m_window, url);
}

void NavigationController::followLink(const LinkTarget &target)
{
    if (target.kind == LinkTarget::Kind::Url) {
        openAddress(target.url);
        return;
    }
    const std::optional<DocumentName> name = DocumentName::parse(target.document);
    if (!name)
        return;
    leavingCurrentPlace();
    m_library.openDocument(*name, target.section, LibraryController::Reason::FollowingLink);
}

void NavigationController::goToPage()
{
    if (!m_documents.active())
        return;
    const QString caption = QStringLiteral("Go to page");
    const QString answer =
        m_dialogs.inputBox(&m_window, caption, QStringLiteral("Page number:"), QString(), PageNumberLimit).trimmed();
    if (answer.isEmpty())
        return;
    bool ok = false;
    const int page = answer.toInt(&ok);
    DocumentWindow *document = m_documents.active();
    if (document && !(ok && document->goToPage(page)))
        m_dialogs.information(&m_window, QStringLiteral("There is no page %1.").arg(answer), caption);
}

void NavigationController::goTo()
{
    // The dialog may outlive the document, and takes the focus from its window.
    const QPointer<DocumentWindow> document = m_documents.active();
    if (!document)
        return;
    const QString caption = QStringLiteral("Go To");
    const QString answer = m_dialogs.askWithCompletions(
        &m_window,
        {caption, QStringLiteral("&Line, section, page or bookmark:"),
         QStringLiteral("120, 3.8.1, A.2, p 20 or a bookmark's name"), QStringLiteral("&Go")},
        document->goToCompletions());
    if (answer.isEmpty())
        return;
    if (!document)
        return;
    const std::optional<GoToTarget> target = parseGoToTarget(answer, document->bookmarkNames());
    if (!target)
        m_dialogs.information(&m_window,
                              QStringLiteral("\"%1\" is no line number, section, page or bookmark.").arg(answer),
                              caption);
    else if (!document->goTo(*target))
        m_dialogs.information(&m_window, QStringLiteral("\"%1\" is not in this document.").arg(answer), caption);
}

void NavigationController::showLinkCard()
{
    if (DocumentWindow *document = m_documents.active(); document && !document->textView()->showLinkCardAtCaret())
        emit message(QStringLiteral("The caret is on no link"), MessageTimeout);
}

void NavigationController::updateActions()
{
    m_commands.action(Command::GoBack)->setEnabled(m_history.canGoBack());
    m_commands.action(Command::GoForward)->setEnabled(m_history.canGoForward());
}

bool NavigationController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && m_window.isAncestorOf(qobject_cast<QWidget *>(watched))) {
        const auto button = static_cast<QMouseEvent *>(event)->button();
        if (button == Qt::BackButton || button == Qt::ForwardButton) {
            m_commands.action(button == Qt::BackButton ? Command::GoBack : Command::GoForward)->trigger();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
