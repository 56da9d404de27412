#include "documentwindow.h"

#include "citation.h"
#include "dialogs.h"
#include "documentpanel.h"
#include "inifile.h"
#include "linkcard.h"
#include "noticebar.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString ProgramCaption = QStringLiteral("Folivane");
const QString HighlightCaption = QStringLiteral("Highlight");
const QString SelectTextFirst = QStringLiteral("Please select some text firstly.");

} // namespace

DocumentWindow::DocumentWindow(Dialogs &dialogs, const StateStore &stateStore, const FontSettings &fonts,
                               QWidget *parent)
    : QMdiSubWindow(parent)
    , m_dialogs(dialogs)
    , m_stateStore(stateStore)
    , m_splitter(new QSplitter(Qt::Horizontal))
    , m_panel(new DocumentPanel)
    , m_textView(new TextView)
    , m_noticeBar(new NoticeBar)
    , m_style(*m_textView, fonts, m_document)
    , m_find(*m_textView)
{
    setAttribute(Qt::WA_DeleteOnClose);
    connect(m_noticeBar, &NoticeBar::linkActivated, this, &DocumentWindow::noticeLinkActivated);
    auto *textSide = new QWidget;
    auto *textLayout = new QVBoxLayout(textSide);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->setSpacing(0);
    textLayout->addWidget(m_noticeBar);
    textLayout->addWidget(m_textView, 1);

    m_splitter->addWidget(m_panel);
    m_splitter->addWidget(textSide);
    m_splitter->setHandleWidth(5);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(1, 1);
    setWidget(m_splitter);
    resize(674, 418);
    setPanelWidth(ViewState::DefaultPanelWidth);

    connect(m_panel, &DocumentPanel::headingActivated, this, [this](int line) {
        m_followTopLine = false;
        jumpToLine(line);
        m_followTopLine = true;
    });
    connect(m_panel, &DocumentPanel::bookmarkActivated, this, &DocumentWindow::jumpToBookmark);
    connect(m_textView->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (m_followTopLine)
            m_panel->selectHeadingAtLine(m_textView->firstVisibleLine());
    });
    // Only a drag sets the width kept: a narrow window squeezes the panel for a while.
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] { m_panelWidth = m_splitter->sizes().value(0); });
    const auto reportCaretLine = [this] {
        emit caretLineChanged(m_textView->caretLine(), m_document.record().outline.lineCount);
    };
    const auto caretMoved = [this, reportCaretLine] {
        m_panel->selectHeadingAtLine(m_textView->caretLine());
        reportCaretLine();
    };
    // Select All moves the caret without a position change of its own.
    connect(m_textView, &QPlainTextEdit::cursorPositionChanged, this, caretMoved);
    connect(m_textView, &QPlainTextEdit::selectionChanged, this, caretMoved);
    connect(m_textView, &TextView::linkActivated, this, &DocumentWindow::followLink);
    m_textView->setLinkCard([this](const LinkTarget &target) { return linkCard(target); });
    m_textView->setSeenStyler([this](TextView::Span seen) { m_style.styleRange(seen); });
    connect(m_textView, &TextView::textComplete, this, &DocumentWindow::finishText);
    connect(m_textView, &TextView::loadProgress, this, &DocumentWindow::textProgress);
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this, reportCaretLine](Qt::WindowStates oldState, Qt::WindowStates newState) {
                if (!(oldState & Qt::WindowActive) && (newState & Qt::WindowActive)) {
                    emit activated();
                    reportCaretLine();
                }
            });
}

DocumentWindow::~DocumentWindow() = default;

QLabel *DocumentWindow::notice() const
{
    return m_noticeBar->label();
}

QTreeWidget *DocumentWindow::indexTree() const
{
    return m_panel->indexTree();
}

QListWidget *DocumentWindow::bookmarkList() const
{
    return m_panel->bookmarkList();
}

void DocumentWindow::setPanelWidth(int width)
{
    m_panelWidth = width;
    const int total = std::max(m_splitter->width(), width + 1);
    m_splitter->setSizes({width, total - width});
}

bool DocumentWindow::load(const QString &path, QString *error)
{
    return setDocument(Document::read(path, m_stateStore), error);
}

bool DocumentWindow::setDocument(Document document, QString *error)
{
    if (!document.ok()) {
        if (error)
            *error = document.errorString();
        return false;
    }
    m_document = std::move(document);
    const Document::Timings &read = m_document.timings();
    m_timings.readFile = read.readFile;
    m_timings.findLinks = read.findLinks;
    QElapsedTimer clock;
    clock.start();
    m_panel->setOutline(m_document.record().outline);
    // The index as it always counted: the outline and its tree.
    m_timings.buildIndex = read.buildIndex + clock.nsecsElapsed();
    return true;
}

void DocumentWindow::showText()
{
    QElapsedTimer clock;
    clock.start();
    m_style.applyFont();
    m_textView->setDocumentText(m_document.takeText());
    m_textShown = true;
    m_textView->setLinks(m_document.takeLinks());
    m_timings.loadText = clock.nsecsElapsed();
    clock.restart();
    // Before the slices of a long text: each is folded as it comes.
    m_style.foldPages();
    m_timings.foldPages = m_document.timings().foldPages + clock.nsecsElapsed();
    if (!m_textView->isLoading())
        finishText();
}

void DocumentWindow::finishText()
{
    QElapsedTimer clock;
    clock.start();
    // Reading aids go on where the text is seen, as it is painted.
    m_textView->setSelectionStart(0);
    m_textView->styleSeen();
    m_timings.styleHeadings = clock.nsecsElapsed();
    clock.restart();
    restoreAnnotations();
    m_timings.restoreAnnotations = m_document.timings().readHighlights + clock.nsecsElapsed();

    clock.restart();
    // A quarter of the window shows typical titles whole.
    setPanelWidth(m_document.storedView().panelWidth.value_or(
        std::max(ViewState::DefaultPanelWidth, m_splitter->width() / 4)));
    showLine(m_document.storedView().topLine);
    // The section of the top line, even when the caret already stood there.
    m_panel->selectHeadingAtLine(m_textView->firstVisibleLine());
    m_timings.restoreView = clock.nsecsElapsed();
    m_textView->styleSeen();
    m_textComplete = true;
    emit textCompleted();
}

void DocumentWindow::addSideTab(QWidget *tab, const QString &title, const QString &noticeLink)
{
    m_panel->addTab(tab, title);
    if (!noticeLink.isEmpty())
        connect(this, &DocumentWindow::noticeLinkActivated, tab, [this, tab, noticeLink](const QString &link) {
            if (link == noticeLink)
                showSideTab(tab);
        });
}

void DocumentWindow::showSideTab(QWidget *tab)
{
    m_panel->show();
    m_panel->setCurrentWidget(tab);
}

void DocumentWindow::markHeadings(const std::vector<std::pair<int, QString>> &headings, const QIcon &icon)
{
    m_panel->markHeadings(headings, icon);
}

void DocumentWindow::setNotice(const QString &source, const QString &html)
{
    m_noticeBar->setNotice(source, html);
}

void DocumentWindow::jumpToLine(int line)
{
    emit jumping({documentPath(), topLine()});
    showLine(line);
    m_textView->flashLine(m_textView->caretLine());
}

void DocumentWindow::jumpToBookmark(int slot)
{
    // Bookmarks count lines from 0; the line above stays in sight.
    const int line = std::clamp(m_document.record().bookmarks[size_t(slot)].line, 0,
                                std::max(m_textView->lineCount() - 1, 0));
    emit jumping({documentPath(), topLine()});
    m_textView->setSelectionStart(m_textView->lineStart(line));
    m_textView->scrollToLine(line);
    m_textView->flashLine(line);
}

bool DocumentWindow::goTo(const GoToTarget &target)
{
    switch (target.kind) {
    case GoToTarget::Kind::Line:
        if (target.number < 1 || target.number > m_textView->lineCount())
            return false;
        jumpToLine(target.number);
        return true;
    case GoToTarget::Kind::Section:
        if (const int line = lineOfSection(target.section); line > 0) {
            jumpToLine(line);
            return true;
        }
        return false;
    case GoToTarget::Kind::Page:
        return goToPage(target.number);
    case GoToTarget::Kind::Bookmark:
        break;
    }
    const std::vector<int> used = usedBookmarkSlots();
    if (target.number < 0 || size_t(target.number) >= used.size())
        return false;
    jumpToBookmark(used[size_t(target.number)]);
    return true;
}

std::vector<int> DocumentWindow::usedBookmarkSlots() const
{
    std::vector<int> used;
    for (int slot = 0; slot < DocumentRecord::BookmarkSlots; ++slot)
        if (!m_document.record().bookmarks[size_t(slot)].isFree())
            used.push_back(slot);
    return used;
}

QStringList DocumentWindow::bookmarkNames() const
{
    QStringList names;
    for (int slot : usedBookmarkSlots())
        names.append(m_document.record().bookmarks[size_t(slot)].name);
    return names;
}

QStringList DocumentWindow::goToCompletions() const
{
    QStringList completions;
    for (const Heading &heading : m_document.record().outline.headings)
        completions.append(heading.text);
    return completions + bookmarkNames();
}

void DocumentWindow::setOtherDocumentCard(std::function<QString(const LinkTarget &)> card)
{
    m_otherDocumentCard = std::move(card);
}

QString DocumentWindow::linkCard(const LinkTarget &target) const
{
    const QString missing = QStringLiteral("%1 is not in this document").arg(target.description());
    switch (target.kind) {
    case LinkTarget::Kind::Section: {
        const QString heading = LinkCard::section(m_document.record().outline, target.section);
        return heading.isEmpty() ? missing : heading;
    }
    case LinkTarget::Kind::Reference:
        for (const ReferenceEntry &entry : m_document.references())
            if (entry.tag == target.reference)
                return LinkCard::referenceEntry(m_textView->text(), entry.position);
        return missing;
    default:
        return m_otherDocumentCard ? m_otherDocumentCard(target) : QString();
    }
}

void DocumentWindow::showLine(int line)
{
    const int target = std::clamp(line, 1, std::max(m_textView->lineCount(), 1));
    m_textView->setSelectionStart(m_textView->lineStart(target - 1));
    m_textView->scrollToLine(target);
}

int DocumentWindow::lineOfSection(QStringView number) const
{
    const Outline &outline = m_document.record().outline;
    const int heading = outline.findSection(number);
    return heading < 0 ? -1 : outline.headings[size_t(heading)].line;
}

void DocumentWindow::followLink(const LinkTarget &target)
{
    switch (target.kind) {
    case LinkTarget::Kind::Section:
        if (const int line = lineOfSection(target.section); line > 0)
            jumpToLine(line);
        else
            emit message(QStringLiteral("%1 is not in this document").arg(target.description()));
        return;
    case LinkTarget::Kind::Reference:
        for (const ReferenceEntry &entry : m_document.references()) {
            if (entry.tag == target.reference) {
                jumpToLine(m_textView->lineOfIndex(int(entry.position)) + 1);
                return;
            }
        }
        emit message(QStringLiteral("%1 is not in this document").arg(target.description()));
        return;
    default:
        emit externalLinkActivated(target);
    }
}

int DocumentWindow::topLine() const
{
    return m_textView->firstVisibleLine() + 1;
}

void DocumentWindow::setViewSettings(const ViewSettings &settings)
{
    const ViewSettings previous = m_style.settings();
    m_style.setSettings(settings);
    m_panel->setVisible(settings.showIndexPanel);
    if (!m_textShown)
        return;
    if (settings.zoom != previous.zoom || settings.emphasiseRequirementWords != previous.emphasiseRequirementWords
        || settings.underlineLinks != previous.underlineLinks)
        restyle();
    if (settings.hidePageBreaks != previous.hidePageBreaks)
        m_style.foldPages();
}

void DocumentWindow::restyle()
{
    m_noticeBar->restyle();
    if (!m_textShown)
        return;
    m_style.applyFont();
    m_style.markHighlights();
    m_textView->restyleSeen();
}

// What the document read of its state: the bookmarks into the list, the
// highlights onto the text, and a word on what could not be read.
void DocumentWindow::restoreAnnotations()
{
    const DocumentRecord &record = m_document.record();
    if (m_document.stateCut())
        emit stateProblem(QStringLiteral("The state of %1 holds more than %2 entries a section; only the first "
                                         "are read and kept")
                              .arg(record.path)
                              .arg(IniContents::MaxSectionEntries));
    int listed = 0;
    for (int slot = 0; slot < DocumentRecord::BookmarkSlots && listed < record.bookmarkCount; ++slot) {
        if (record.bookmarks[size_t(slot)].isFree())
            continue;
        m_panel->appendBookmark(slot, record.bookmarks[size_t(slot)].name);
        ++listed;
    }
    if (m_document.highlightFileUnread()) {
        emit stateProblem(QStringLiteral("Highlights of %1 could not be read; they are kept unchanged").arg(record.path));
        return;
    }
    m_style.markHighlights();
    if (m_document.highlightsDamaged())
        emit stateProblem(QStringLiteral("Some highlights of %1 were damaged or lay past the end of the text; "
                                         "the others are shown")
                              .arg(record.path));
}

void DocumentWindow::discard()
{
    m_textView->stopLoading();
    m_discarding = true;
    close();
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    QString error;
    // Until the text is complete the view is not yet where it was left: the stored one stays.
    const ViewState view = m_textComplete ? ViewState{m_panelWidth, topLine()} : m_document.storedView();
    // Nothing is lost silently: the window stays unless the user lets it go.
    if (!m_discarding && !m_document.saveState(view, &error)
        && !m_dialogs.errorWithDiscard(this, error, ProgramCaption, QStringLiteral("Close without saving"))) {
        event->ignore();
        return;
    }
    emit closing();
    QMdiSubWindow::closeEvent(event);
}

void DocumentWindow::addBookmark(const QString &name)
{
    if (name.isEmpty())
        return;
    const int slot = m_document.record().addBookmark(m_textView->caretLine(), name);
    if (slot >= 0)
        m_panel->appendBookmark(slot, name);
}

void DocumentWindow::deleteBookmark()
{
    const QString caption = QStringLiteral("Delete bookmark");
    if (m_document.record().bookmarkCount <= 0) {
        m_dialogs.information(this, QStringLiteral("There isn't a bookmark now."), caption);
        return;
    }
    const int slot = m_panel->selectedBookmark();
    if (slot < 0) {
        m_dialogs.information(this, QStringLiteral("Please select a bookmark firstly."), caption);
        return;
    }
    m_document.record().deleteBookmark(slot);
    m_panel->removeSelectedBookmark();
}

// The file is written over at close: a change now would either be lost or
// destroy the highlights that could not be read.
bool DocumentWindow::refuseHighlightChange()
{
    if (!m_document.highlightFileUnread())
        return false;
    m_dialogs.error(this,
                    QStringLiteral("Highlights of %1 cannot be changed: its highlight file %2 could not be read. "
                                   "Make the file readable or remove it, then open the document again")
                        .arg(documentPath(), m_document.highlightPath()),
                    HighlightCaption);
    return true;
}

void DocumentWindow::highlightSelection()
{
    if (refuseHighlightChange())
        return;
    if (m_textView->selectionLength() <= 0) {
        m_dialogs.information(this, SelectTextFirst, HighlightCaption);
        return;
    }
    const TextView::Span selection{m_textView->selectionStart(), m_textView->selectionLength()};
    m_style.markHighlight(selection);
    m_document.record().highlights.add(selection.start, selection.start + selection.length);
    m_document.markHighlightsChanged();
}

void DocumentWindow::unhighlightSelection()
{
    if (refuseHighlightChange())
        return;
    const TextView::Span selection{m_textView->selectionStart(), m_textView->selectionLength()};
    if (selection.length <= 0)
        return;
    m_document.record().highlights.remove(selection.start, selection.start + selection.length);
    m_style.styleRange(selection);
    m_document.markHighlightsChanged();
}

void DocumentWindow::search(const QString &text, SearchOptions options)
{
    m_find.search(text, options);
}

void DocumentWindow::searchAgain()
{
    m_find.searchAgain();
}

bool DocumentWindow::goToPage(int page)
{
    // A final line end starts no line of its own.
    const int lines = m_textView->lineCount() - int(m_textView->text().endsWith(u'\n'));
    const int line = firstLineOfPage(m_document.pageFolds(), lines, page);
    if (line < 0)
        return false;
    jumpToLine(line + 1);
    // Reading goes on from the page with the keys.
    m_textView->setFocus();
    return true;
}

QString DocumentWindow::caretSection() const
{
    const Outline &outline = m_document.record().outline;
    const int index = outline.headingAtLine(m_textView->caretLine() + 1);
    return index >= 0 ? outline.headings[size_t(index)].number : QString();
}

QString DocumentWindow::reference() const
{
    const QString cited = citation(documentPath(), caretSection());
    const QString selected = m_textView->selectedText();
    return selected.isEmpty() ? cited : quotedCitation(cited, selected);
}

DocumentWindow::MatchResult DocumentWindow::findMatch(const QString &text, SearchOptions options, qint32 from,
                                                      bool forward)
{
    return m_find.findMatch(text, options, from, forward);
}

void DocumentWindow::markMatches(const QString &text, SearchOptions options)
{
    m_textView->markMatches(text, options);
}
