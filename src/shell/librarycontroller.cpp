#include "librarycontroller.h"

#include "appcontext.h"
#include "commandset.h"
#include "dialogs.h"
#include "documentmanager.h"
#include "documentaddress.h"
#include "documentname.h"
#include "documentwindow.h"
#include "filetabs.h"
#include "plaintooltip.h"
#include "rfclibrary.h"
#include "statusprogress.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QShortcut>
#include <QStatusBar>
#include <QUrl>

const QString LibraryController::FetchSource = QStringLiteral("fetch");

LibraryController::LibraryController(AppContext &context, CommandSet &commands, DocumentManager &documents,
                                     FileTabs &tabs, QWidget &window, QStatusBar &statusBar)
    : QObject(&window)
    , m_context(context)
    , m_documents(documents)
    , m_tabs(tabs)
    , m_window(window)
    , m_library(new RfcLibrary(LibrarySettings::read(context.settings), this))
{
    commands.onTriggered(Command::FileOpenRfc, this, &LibraryController::askAndOpen);
    connect(m_library, &RfcLibrary::documentRequested, this,
            [this](const DocumentName &name) { openDocument(name); });
    connect(m_library, &RfcLibrary::fetched, this,
            [this](const QString &path, const QString &section, RfcLibrary::AfterFetch after) {
                if (after == RfcLibrary::AfterFetch::Open)
                    openFile(path, section);
            });
    connect(m_library, &RfcLibrary::message, this, [this](const QString &text) { emit message(text, 15000); });
    connect(m_library, &RfcLibrary::fetchFailed, this, [this](const QString &text) { emit problem(FetchSource, text); });
    connect(m_library, &RfcLibrary::fetched, this, [this] { emit problemSolved(FetchSource); });
    connect(m_library, &RfcLibrary::indexChanged, this, [this] {
        for (DocumentWindow *document : m_documents.documents())
            showIndexFacts(document);
    });
    connect(&documents, &DocumentManager::opened, this, [this](DocumentWindow *document) {
        document->setOtherDocumentCard([this](const LinkTarget &target) { return linkCard(target); });
        showIndexFacts(document);
        if (isInLibrary(document->documentPath()))
            m_library->refreshIndex();
    });
    createFetchProgress(window, statusBar);
}

void LibraryController::askAndOpen()
{
    m_library->refreshIndex();
    const QString text = m_context.dialogs.askWithCompletions(
        &m_window,
        {QStringLiteral("Open RFC"), QStringLiteral("&Document:"),
         QStringLiteral("9293, RFC 9293, BCP 14, draft-ietf-quic-transport-34 or words of a title"),
         QStringLiteral("&Open")},
        m_library->completions());
    if (!text.isEmpty())
        openTyped(text);
}

void LibraryController::openTyped(const QString &text)
{
    m_library->open(text);
}

void LibraryController::createFetchProgress(QWidget &window, QStatusBar &statusBar)
{
    m_fetchProgress = new StatusProgress(QStringLiteral("Stop fetching (Escape)"));
    statusBar.addWidget(m_fetchProgress);
    connect(m_fetchProgress, &StatusProgress::cancelRequested, m_library, &RfcLibrary::cancelFetch);
    connect(m_library, &RfcLibrary::fetchStarted, m_fetchProgress,
            [this](const QString &name) { m_fetchProgress->show(QStringLiteral("Fetching %1").arg(name)); });
    connect(m_library, &RfcLibrary::fetchProgress, m_fetchProgress, &StatusProgress::setProgress);
    connect(m_library, &RfcLibrary::fetchEnded, m_fetchProgress, &QWidget::hide);

    // Escape stops a fetch, unless the user is typing somewhere; it is
    // only taken while a fetch runs, so that it still closes bars and boxes.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    escape->setEnabled(false);
    connect(escape, &QShortcut::activated, this, [this] {
        if (!qobject_cast<QLineEdit *>(QApplication::focusWidget()))
            m_library->cancelFetch();
    });
    connect(m_library, &RfcLibrary::fetchStarted, escape, [escape] { escape->setEnabled(true); });
    connect(m_library, &RfcLibrary::fetchEnded, escape, [escape] { escape->setEnabled(false); });
}

void LibraryController::openArguments(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (QFileInfo(argument).isFile())
            m_documents.open(argument);
        else
            m_library->open(argument);
    }
}

QString LibraryController::localCopy(const DocumentName &name) const
{
    if (DocumentWindow *open = m_documents.find(name))
        return open->documentPath();
    return m_library->find(name, m_documents.activeFolder());
}

QString LibraryController::linkCard(const LinkTarget &target) const
{
    std::optional<DocumentAddress> address;
    if (target.kind == LinkTarget::Kind::Url)
        address = parseDocumentAddress(QUrl(target.url));
    else if (const std::optional<DocumentName> name = DocumentName::parse(target.document))
        address = DocumentAddress{*name, target.section};
    if (!address)
        return target.kind == LinkTarget::Kind::Url ? QStringLiteral("%1\nOpens in the web browser").arg(target.url)
                                                    : QString();
    // The facts come from the RFC index, fetched at most once a day.
    if (m_library->index().isEmpty())
        m_library->refreshIndex();
    return m_library->card(address->name, address->section, localCopy(address->name));
}

void LibraryController::openDocument(const DocumentName &name, const QString &section, Reason reason)
{
    if (const QString path = localCopy(name); !path.isEmpty()) {
        openFile(path, section);
        return;
    }
    if (reason == Reason::FollowingLink && !m_library->settings().fetchOnFollow) {
        emit message(QStringLiteral("%1 is not in %2; Open RFC (Ctrl+Shift+O) fetches it")
                         .arg(name.displayName(),
                              (folders() + QStringList{m_documents.activeFolder()}).join(QStringLiteral(", "))),
                     15000);
        return;
    }
    m_library->fetch(name, section);
}

void LibraryController::openFile(const QString &path, const QString &section)
{
    if (section.isEmpty()) {
        m_documents.open(path);
        return;
    }
    m_documents.open(path, [this, section](DocumentWindow &document) {
        if (const int line = document.lineOfSection(section); line > 0) {
            document.showLine(line);
            return;
        }
        const std::optional<DocumentName> &name = document.documentName();
        const QString shown = name ? name->displayName() : QFileInfo(document.documentPath()).fileName();
        emit message(QStringLiteral("%1 has no section %2").arg(shown, section), 10000);
    });
}

QStringList LibraryController::folders() const
{
    const LibrarySettings &settings = m_library->settings();
    return QStringList{settings.folder} + settings.extraFolders;
}

bool LibraryController::isInLibrary(const QString &path) const
{
    const QString folder = QFileInfo(path).absolutePath();
    for (const QString &libraryFolder : folders()) {
        if (QDir(libraryFolder).absolutePath() == folder)
            return true;
    }
    return false;
}

void LibraryController::showIndexFacts(DocumentWindow *window)
{
    const RfcIndex &index = m_library->index();
    const int rfc = RfcLibrary::rfcNumberOf(window->documentPath());
    m_tabs.setToolTip(window, plainToolTip(rfc ? index.toolTip(rfc) : QString()));
    const RfcEntry *entry = rfc ? index.entry(rfc) : nullptr;
    if (!entry) {
        window->setNotice(QStringLiteral("index"), QString());
        return;
    }
    const auto links = [](const QList<int> &rfcs) {
        QStringList parts;
        for (int number : rfcs)
            parts << QStringLiteral("<a href=\"rfc:%1\">RFC %1</a>").arg(number);
        return parts.join(QStringLiteral(", "));
    };
    QStringList facts;
    if (!entry->obsoletedBy.isEmpty())
        facts << QStringLiteral("Obsoleted by ") + links(entry->obsoletedBy);
    // Where the chain of replacements ends, when it goes on past the first.
    if (const QList<QList<int>> steps = index.successors(rfc); steps.size() > 1) {
        QStringList chain{QStringLiteral("RFC %1").arg(rfc)};
        for (const QList<int> &step : steps)
            chain << rfcRanges(step);
        facts << chain.join(QStringLiteral(" \u2192 ")).toHtmlEscaped();
    }
    if (!entry->publicationStatus.isEmpty() && entry->publicationStatus.compare(entry->status, Qt::CaseInsensitive) != 0)
        facts << QStringLiteral("Published as %1, now %2")
                     .arg(statusInTitleCase(entry->publicationStatus), statusInTitleCase(entry->status))
                     .toHtmlEscaped();
    if (!entry->updatedBy.isEmpty())
        facts << QStringLiteral("Updated by ") + links(entry->updatedBy);
    if (!entry->errataUrl.isEmpty())
        facts << QStringLiteral("<a href=\"%1\">Errata exist</a>").arg(entry->errataUrl.toHtmlEscaped());
    window->setNotice(QStringLiteral("index"), facts.join(QStringLiteral(" &nbsp;\u00b7&nbsp; ")));
}
