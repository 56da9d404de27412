#include "erratacontroller.h"

#include "commandset.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "erratapanel.h"
#include "librarycontroller.h"
#include "rfclibrary.h"

#include <QPainter>
#include <QTreeWidget>
#include <QPixmap>

#include <map>

namespace {

constexpr auto NoticeSource = "errata";
const QColor MarkColour(0xd0, 0x60, 0x00);

int rfcOf(const DocumentWindow *window)
{
    const std::optional<DocumentName> &name = window->documentName();
    return name && name->kind() == DocumentName::Kind::Rfc ? name->number() : 0;
}

QIcon markIcon()
{
    QPixmap pixmap(10, 10);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(MarkColour);
    painter.drawEllipse(1, 1, 8, 8);
    return QIcon(pixmap);
}

QString countText(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// "3 verified errata, 1 held for document update", linked to the Errata tab.
QString noticeOf(const QList<PlacedErratum> &errata)
{
    int verified = 0;
    int held = 0;
    for (const PlacedErratum &placed : errata) {
        verified += placed.erratum.status == Erratum::Status::Verified;
        held += placed.erratum.status == Erratum::Status::HeldForDocumentUpdate;
    }
    QStringList parts;
    if (verified)
        parts << countText(verified, "verified erratum", "verified errata");
    if (held)
        parts << countText(held, "erratum held for document update", "errata held for document update");
    return parts.isEmpty() ? QString()
                           : QStringLiteral("<a href=\"errata:\">%1</a>").arg(parts.join(QStringLiteral(", ")));
}

} // namespace

ErrataController::ErrataController(CommandSet &commands, DocumentManager &documents, LibraryController &library,
                                   QObject *parent)
    : QObject(parent)
    , m_documents(documents)
    , m_library(library)
{
    m_source.setFolder(library.library().settings().folder);
    m_source.setUrl(library.library().settings().errataUrl);
    connect(&m_source, &ErrataSource::errataChanged, this, &ErrataController::showInAll);
    connect(&m_source, &ErrataSource::failed, this, [this](const QString &text) { emit message(text, 10000); });
    connect(&documents, &DocumentManager::opened, this, &ErrataController::addPanel);
    commands.onTriggered(Command::GoErrata, this, &ErrataController::showPanelOfActive);
    commands.onTriggered(Command::GoNextErratum, this, &ErrataController::goToNextErratum);
}

ErrataController::~ErrataController() = default;

ErrataPanel *ErrataController::panelOf(DocumentWindow *window) const
{
    return m_panels.value(window);
}

void ErrataController::addPanel(DocumentWindow *window)
{
    if (!rfcOf(window))
        return;
    auto *panel = new ErrataPanel;
    panel->setShowAll(m_showAll);
    window->addSideTab(panel, QStringLiteral(" Errata "), QStringLiteral("errata:"));
    m_panels.insert(window, panel);
    connect(panel, &ErrataPanel::lineChosen, window, &DocumentWindow::jumpToLine);
    connect(panel, &ErrataPanel::showAllChanged, this, &ErrataController::setShowAll);
    connect(window, &QObject::destroyed, this, [this, window] { m_panels.remove(window); });
    if (window->isTextComplete())
        show(window);
    else
        connect(window, &DocumentWindow::textCompleted, this, [this, window] { show(window); });
    // Fetched like the RFC index: for documents of the library only.
    if (m_library.isInLibrary(window->documentPath()))
        m_source.refresh();
    else
        m_source.loadStored();
}

void ErrataController::show(DocumentWindow *window)
{
    ErrataPanel *panel = m_panels.value(window);
    if (!panel || !window->isTextComplete())
        return;
    const Outline &outline = window->record().outline;
    const ErrataPlacer placer(window->textView()->text(), outline);
    QList<PlacedErratum> errata;
    for (const Erratum &erratum : m_source.errataOf(rfcOf(window)))
        errata.append({erratum, placer.place(erratum)});
    panel->setErrata(errata);
    window->setNotice(QLatin1String(NoticeSource), noticeOf(errata));
    mark(window);
}

void ErrataController::mark(DocumentWindow *window)
{
    const ErrataPanel *panel = m_panels.value(window);
    if (!panel)
        return;
    const Outline &outline = window->record().outline;
    std::vector<int> lines;
    std::map<int, int> perHeading;
    for (const PlacedErratum &placed : panel->errata()) {
        if (placed.placement.kind == Placement::Kind::NotPlaced
            || (!m_showAll && !ErrataPanel::isStanding(placed.erratum.status)))
            continue;
        lines.push_back(placed.placement.line - 1);
        // Counted on every enclosing section too: they show while folded.
        for (int heading = outline.headingAtLine(placed.placement.line); heading >= 0;
             heading = outline.headings[size_t(heading)].parent)
            ++perHeading[heading];
    }
    window->textView()->setLineMarks(std::move(lines), MarkColour);
    std::vector<std::pair<int, QString>> marked;
    for (const auto &[heading, count] : perHeading)
        marked.emplace_back(heading, countText(count, "erratum", "errata"));
    window->markHeadings(marked, markIcon());
}

void ErrataController::showInAll()
{
    for (DocumentWindow *window : m_documents.documents())
        show(window);
}

void ErrataController::setShowAll(bool all)
{
    if (m_showAll == all)
        return;
    m_showAll = all;
    // The errata stay where they were placed; only what is marked changes.
    for (auto it = m_panels.cbegin(); it != m_panels.cend(); ++it)
        if (it.value()) {
            it.value()->setShowAll(all);
            mark(it.key());
        }
}

void ErrataController::showPanelOfActive()
{
    DocumentWindow *window = m_documents.active();
    if (ErrataPanel *panel = window ? panelOf(window) : nullptr) {
        window->showSideTab(panel);
        panel->list()->setFocus();
    } else {
        emit message(QStringLiteral("Only RFCs have errata"), 5000);
    }
}

void ErrataController::goToNextErratum()
{
    DocumentWindow *window = m_documents.active();
    ErrataPanel *panel = window ? panelOf(window) : nullptr;
    if (!panel)
        return;
    const QList<PlacedErratum> listed = panel->listed();
    const int caret = window->textView()->caretLine() + 1;
    int next = -1;
    for (int row = 0; row < listed.size(); ++row) {
        const Placement &placement = listed[row].placement;
        if (placement.kind == Placement::Kind::NotPlaced || placement.line <= caret)
            continue;
        if (next < 0 || placement.line < listed[next].placement.line)
            next = row;
    }
    if (next < 0) {
        emit message(QStringLiteral("No erratum after this line"), 5000);
        return;
    }
    window->showSideTab(panel);
    panel->choose(next);
}
