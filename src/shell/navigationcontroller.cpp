#include "navigationcontroller.h"

#include "commandset.h"
#include "dialogs.h"
#include "documentmanager.h"
#include "documentname.h"
#include "documentwindow.h"
#include "rfclibrary.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QUrl>

namespace {

constexpr int PageNumberLimit = 6;

} // namespace

NavigationController::NavigationController(CommandSet &commands, DocumentManager &documents, RfcLibrary &library,
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
        m_library.open(QStringLiteral("RFC ") + address.mid(4), m_documents.activeFolder());
        return;
    }
    const QUrl url(address);
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
    const QString folder = m_documents.activeFolder();
    const QString path = m_library.find(*name, folder);
    if (path.isEmpty()) {
        const LibrarySettings &library = m_library.settings();
        emit message(QStringLiteral("%1 is not in %2")
                         .arg(name->displayName(),
                              (QStringList{folder, library.folder} + library.extraFolders).join(QStringLiteral(", "))),
                     15000);
        return;
    }
    leavingCurrentPlace();
    m_documents.open(path, [this, section = target.section, shown = name->displayName()](DocumentWindow &document) {
        if (section.isEmpty())
            return;
        if (const int line = document.lineOfSection(section); line > 0)
            document.showLine(line);
        else
            emit message(QStringLiteral("%1 has no section %2").arg(shown, section), 10000);
    });
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
