#include "documentwindow.h"

#include "citation.h"
#include "dialogs.h"
#include "documenttext.h"
#include "elidedtooltipdelegate.h"
#include "fontsettings.h"
#include "fontstyle.h"
#include "inifile.h"
#include "palettecolours.h"
#include "requirementwords.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString ProgramCaption = QStringLiteral("Folivane");
const QString HighlightCaption = QStringLiteral("Highlight");
const QString SelectTextFirst = QStringLiteral("Please select some text firstly.");
const QString NoSections = QStringLiteral("(no numbered sections)");

constexpr int SlotRole = Qt::UserRole;

QTextCharFormat emphasisFormat()
{
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    return format;
}

// The parts of spans (ascending, bounds gives each one's start and end) that
// fall inside range.
template<typename Spans, typename Bounds>
std::vector<TextView::Span> clipped(const Spans &spans, TextView::Span range, Bounds bounds)
{
    std::vector<TextView::Span> inside;
    const qint32 rangeEnd = range.start + range.length;
    for (const auto &span : spans) {
        const auto [start, end] = bounds(span);
        if (end <= range.start)
            continue;
        if (start >= rangeEnd)
            break;
        const qint32 from = std::max(start, range.start);
        inside.push_back({from, std::min(end, rangeEnd) - from});
    }
    return inside;
}

} // namespace

DocumentWindow::DocumentWindow(Dialogs &dialogs, const StateStore &stateStore, const FontSettings &fonts,
                               QWidget *parent)
    : QMdiSubWindow(parent)
    , m_dialogs(dialogs)
    , m_stateStore(stateStore)
    , m_fonts(fonts)
    , m_splitter(new QSplitter(Qt::Horizontal))
    , m_panelTabs(new QTabWidget)
    , m_indexTree(new QTreeWidget)
    , m_bookmarkList(new QListWidget)
    , m_textView(new TextView)
    , m_noticeBar(new QWidget)
    , m_notice(new QLabel)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("MDI Child"));
    QFont panelFont(QStringLiteral("Courier New"));
    panelFont.setStyleHint(QFont::TypeWriter);
    panelFont.setPixelSize(12);

    m_indexTree->setHeaderHidden(true);
    m_indexTree->setIndentation(19);
    m_indexTree->setFont(panelFont);
    m_indexTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_indexTree->setItemDelegate(new ElidedToolTipDelegate(m_indexTree));
    m_bookmarkList->setFont(panelFont);

    m_panelTabs->setTabPosition(QTabWidget::South);
    m_panelTabs->addTab(m_indexTree, QStringLiteral(" Index "));
    m_panelTabs->addTab(m_bookmarkList, QStringLiteral(" Bookmarks "));

    auto *closeNotice = new QToolButton;
    closeNotice->setText(QStringLiteral("\u2715"));
    closeNotice->setAutoRaise(true);
    closeNotice->setToolTip(QStringLiteral("Close this bar"));
    connect(closeNotice, &QToolButton::clicked, this, [this] {
        m_noticeClosed = true;
        m_noticeBar->hide();
    });
    m_notice->setTextFormat(Qt::RichText);
    m_notice->setWordWrap(true);
    connect(m_notice, &QLabel::linkActivated, this, &DocumentWindow::noticeLinkActivated);
    auto *noticeLayout = new QHBoxLayout(m_noticeBar);
    noticeLayout->setContentsMargins(6, 2, 2, 2);
    noticeLayout->addWidget(m_notice, 1);
    noticeLayout->addWidget(closeNotice);
    m_noticeBar->setAutoFillBackground(true);
    m_noticeBar->setBackgroundRole(QPalette::AlternateBase);
    m_noticeBar->hide();
    auto *textSide = new QWidget;
    auto *textLayout = new QVBoxLayout(textSide);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->setSpacing(0);
    textLayout->addWidget(m_noticeBar);
    textLayout->addWidget(m_textView, 1);

    m_splitter->addWidget(m_panelTabs);
    m_splitter->addWidget(textSide);
    m_splitter->setHandleWidth(5);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(1, 1);
    setWidget(m_splitter);
    resize(674, 418);
    setPanelWidth(ViewState::DefaultPanelWidth);

    // A click jumps even to the selected entry; Enter (activation) jumps too.
    connect(m_indexTree, &QTreeWidget::itemClicked, this, &DocumentWindow::jumpToHeading);
    connect(m_indexTree, &QTreeWidget::itemActivated, this, &DocumentWindow::jumpToHeading);
    connect(m_textView->verticalScrollBar(), &QScrollBar::valueChanged, this, &DocumentWindow::followTopLine);
    // Only a drag sets the width kept: a narrow window squeezes the panel for a while.
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] { m_panelWidth = m_splitter->sizes().value(0); });
    connect(m_bookmarkList, &QListWidget::itemDoubleClicked, this, &DocumentWindow::jumpToSelectedBookmark);
    // Select All moves the caret without a position change of its own.
    connect(m_textView, &QPlainTextEdit::cursorPositionChanged, this, &DocumentWindow::caretMoved);
    connect(m_textView, &QPlainTextEdit::selectionChanged, this, &DocumentWindow::caretMoved);
    connect(m_textView, &TextView::linkActivated, this, &DocumentWindow::followLink);
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates oldState, Qt::WindowStates newState) {
                if (!(oldState & Qt::WindowActive) && (newState & Qt::WindowActive)) {
                    emit activated();
                    reportCaretLine();
                }
            });
}

DocumentWindow::~DocumentWindow() = default;

void DocumentWindow::setPanelWidth(int width)
{
    m_panelWidth = width;
    const int total = std::max(m_splitter->width(), width + 1);
    m_splitter->setSizes({width, total - width});
}

bool DocumentWindow::load(const QString &path, QString *error)
{
    QElapsedTimer clock;
    clock.start();
    DocumentText text = DocumentText::read(path);
    m_timings.readFile = clock.nsecsElapsed();
    if (!text.ok()) {
        // Nothing of the document was shown, so nothing of its state is touched.
        if (error)
            *error = text.errorString();
        return false;
    }
    clock.restart();
    m_record = DocumentRecord();
    m_record.path = path;
    m_stateFiles.emplace(m_stateStore.filesFor(path));
    m_stateCut = !m_stateFiles->readBookmarks(m_record);
    m_record.outline = parseOutline(text);
    buildIndexTree();
    m_timings.buildIndex = clock.nsecsElapsed();

    clock.restart();
    DocumentLinks found = findDocumentLinks(text.text());
    m_links = std::move(found.links);
    m_references = std::move(found.references);
    m_timings.findLinks = clock.nsecsElapsed();

    m_storedView = m_stateFiles->readView();
    m_text = text.takeText();
    return true;
}

void DocumentWindow::showText()
{
    QElapsedTimer clock;
    clock.start();
    applyFont();
    m_textView->setDocumentText(std::exchange(m_text, QString()));
    m_textShown = true;
    m_textView->setLinks(std::exchange(m_links, {}));
    m_timings.loadText = clock.nsecsElapsed();

    clock.restart();
    styleRange({0, m_textView->textLength()});
    m_textView->setSelectionStart(0);
    m_timings.styleHeadings = clock.nsecsElapsed();
    clock.restart();
    m_pageFolds = findPageFolds(m_textView->text());
    foldPages();
    m_timings.foldPages = clock.nsecsElapsed();
    clock.restart();
    restoreBookmarks();
    restoreHighlights();
    m_timings.restoreAnnotations = clock.nsecsElapsed();

    clock.restart();
    setPanelWidth(m_storedView.panelWidth);
    showLine(m_storedView.topLine);
    // The section of the top line, even when the caret already stood there.
    selectHeadingAtLine(m_textView->firstVisibleLine());
    m_timings.restoreView = clock.nsecsElapsed();
}

void DocumentWindow::setNotice(const QString &html)
{
    m_noticeHtml = html;
    showNotice();
    m_noticeBar->setVisible(!html.isEmpty() && !m_noticeClosed);
}

// The toolkit colours links once, when the text is set, and not from the
// theme: each link is given the palette's link colour, again at every restyle.
void DocumentWindow::showNotice()
{
    QString html = m_noticeHtml;
    html.replace(QStringLiteral("<a href="), QStringLiteral("<a style=\"color:%1\" href=")
                                                 .arg(QApplication::palette(m_notice).color(QPalette::Link).name()));
    m_notice->setText(html);
}

void DocumentWindow::jumpToLine(int line)
{
    emit jumping({m_record.path, topLine()});
    showLine(line);
}

void DocumentWindow::showLine(int line)
{
    const int target = std::clamp(line, 1, std::max(m_textView->lineCount(), 1));
    m_textView->setSelectionStart(m_textView->lineStart(target - 1));
    m_textView->scrollToLine(target);
}

int DocumentWindow::lineOfSection(QStringView number) const
{
    const int heading = m_record.outline.findSection(number);
    return heading < 0 ? -1 : m_record.outline.headings[size_t(heading)].line;
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
        for (const ReferenceEntry &entry : m_references) {
            if (entry.tag == target.reference) {
                const QTextBlock line = m_textView->document()->findBlock(int(entry.position));
                jumpToLine(line.blockNumber() + 1);
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

void DocumentWindow::buildIndexTree()
{
    const std::vector<Heading> &headings = m_record.outline.headings;
    m_headingItems.clear();
    m_headingItems.reserve(headings.size());
    // Top-level items go to the tree in one go: inserting them one by one into
    // the live tree costs a model update each.
    QList<QTreeWidgetItem *> topLevel;
    for (size_t index = 0; index < headings.size(); ++index) {
        const Heading &heading = headings[index];
        auto *item = new QTreeWidgetItem(QStringList(heading.text));
        item->setData(0, SlotRole, qulonglong(index));
        if (heading.parent >= 0)
            m_headingItems[size_t(heading.parent)]->addChild(item);
        else
            topLevel.append(item);
        m_headingItems.push_back(item);
    }
    if (topLevel.isEmpty()) {
        // Greyed and inert: it is no heading.
        auto *placeholder = new QTreeWidgetItem(QStringList(NoSections));
        placeholder->setFlags(Qt::NoItemFlags);
        topLevel.append(placeholder);
    }
    m_indexTree->addTopLevelItems(topLevel);
}

void DocumentWindow::setViewSettings(const ViewSettings &settings)
{
    const ViewSettings previous = std::exchange(m_view, settings);
    if (!m_textShown)
        return;
    if (settings.zoom != previous.zoom || settings.emphasiseRequirementWords != previous.emphasiseRequirementWords)
        restyle();
    if (settings.hidePageBreaks != previous.hidePageBreaks)
        foldPages();
}

void DocumentWindow::restyle()
{
    showNotice();
    if (!m_textShown)
        return;
    applyFont();
    styleRange({0, m_textView->textLength()});
}

void DocumentWindow::applyFont()
{
    m_textView->setFont(FontStyle::toFont(m_fonts.text, m_textView->font(), m_view.zoom));
    m_textView->applyPalette(FontStyle::color(m_fonts.text, QApplication::palette(m_textView)));
}

void DocumentWindow::styleRange(TextView::Span range)
{
    m_textView->clearFormat(range);
    const QPalette palette = m_textView->palette();
    const auto headingBounds = [](const Heading &heading) {
        return std::pair{heading.position, heading.position + heading.length};
    };
    m_textView->mergeFormat(clipped(m_record.outline.headings, range, headingBounds),
                            FontStyle::headingFormat(m_fonts.header, palette, m_view.zoom));
    if (m_view.emphasiseRequirementWords) {
        const auto wordBounds = [](const TextView::Span &word) {
            return std::pair{word.start, word.start + word.length};
        };
        m_textView->mergeFormat(clipped(requirementWords(), range, wordBounds), emphasisFormat());
    }
    const auto highlightBounds = [](const TextRange &highlight) { return std::pair{highlight.start, highlight.end}; };
    m_textView->mergeFormat(clipped(m_record.highlights.ranges(), range, highlightBounds),
                            PaletteColours::highlightFormat(palette));
}

const std::vector<TextView::Span> &DocumentWindow::requirementWords()
{
    if (!m_requirementWords) {
        m_requirementWords.emplace();
        const QString &text = m_textView->text();
        if (citesRequirementLevels(text)) {
            for (const TextSpan &word : findRequirementWords(text)) {
                const qint32 start = m_textView->toViewPosition(word.start);
                m_requirementWords->push_back({start, m_textView->toViewPosition(word.start + word.length) - start});
            }
        }
    }
    return *m_requirementWords;
}

void DocumentWindow::foldPages()
{
    m_textView->setPageFolds(m_view.hidePageBreaks ? m_pageFolds : std::vector<PageFold>());
}

void DocumentWindow::restoreBookmarks()
{
    if (m_stateCut)
        m_dialogs.information(this,
                              QStringLiteral("The state of %1 holds more than %2 entries a section; only the first "
                                             "are read and kept")
                                  .arg(m_record.path)
                                  .arg(IniContents::MaxSectionEntries),
                              ProgramCaption);
    int listed = 0;
    for (int slot = 0; slot < DocumentRecord::BookmarkSlots && listed < m_record.bookmarkCount; ++slot) {
        if (m_record.bookmarks[size_t(slot)].isFree())
            continue;
        appendBookmarkEntry(slot);
        ++listed;
    }
}

void DocumentWindow::restoreHighlights()
{
    const std::optional<std::vector<TextRange>> stored = m_stateFiles->readHighlights();
    // Written over at close, an unread file would lose every highlight in it.
    m_highlightFileUnread = !stored;
    if (!stored) {
        m_dialogs.error(this,
                        QStringLiteral("Highlights of %1 could not be read; they are kept unchanged")
                            .arg(m_record.path),
                        ProgramCaption);
        return;
    }
    const qint32 end = m_textView->textLength();
    bool damaged = false;
    std::vector<TextRange> ranges;
    for (const TextRange &range : *stored) {
        // A damaged file, or a document that changed since: ranges merge as
        // the Highlight command merges them, and stop at the end of the text.
        const TextRange cut{range.start, std::min(range.end, end)};
        if (cut.start < 0 || cut.start >= cut.end) {
            damaged = true;
            continue;
        }
        ranges.push_back(cut);
    }
    m_record.highlights = RangeSet::fromRanges(std::move(ranges));
    std::vector<TextView::Span> spans;
    for (const TextRange &range : m_record.highlights.ranges())
        spans.push_back({range.start, range.end - range.start});
    m_textView->mergeFormat(spans, PaletteColours::highlightFormat(m_textView->palette()));
    if (damaged)
        m_dialogs.information(this,
                              QStringLiteral("Some highlights of %1 were damaged or lay past the end of the text; "
                                             "the others are shown")
                                  .arg(m_record.path),
                              HighlightCaption);
    m_highlightsChanged = false;
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    QString error;
    // Nothing is lost silently: the window stays unless the user lets it go.
    if (!saveState(&error)
        && !m_dialogs.errorWithDiscard(this, error, ProgramCaption, QStringLiteral("Close without saving"))) {
        event->ignore();
        return;
    }
    emit closing();
    QMdiSubWindow::closeEvent(event);
}

bool DocumentWindow::saveState(QString *error)
{
    // Highlights are written once: a later failure of the close must not
    // write them again. Bookmarks go last, so that a failure keeps them open.
    bool saved = m_stateFiles->writeView({m_panelWidth, m_textView->firstVisibleLine() + 1}, error);
    if (saved && m_highlightsChanged && !m_highlightFileUnread) {
        saved = m_stateFiles->writeHighlights(m_record.highlights, error);
        m_highlightsChanged = !saved;
    }
    return saved && m_stateFiles->writeBookmarks(m_record, error);
}

void DocumentWindow::jumpToHeading(QTreeWidgetItem *entry)
{
    const QVariant slot = entry->data(0, SlotRole);
    if (!slot.isValid())
        return;
    m_followTopLine = false;
    jumpToLine(m_record.outline.headings[slot.toULongLong()].line);
    m_followTopLine = true;
}

void DocumentWindow::followTopLine()
{
    if (m_followTopLine)
        selectHeadingAtLine(m_textView->firstVisibleLine());
}

void DocumentWindow::selectHeadingAtLine(int line)
{
    const int heading = m_record.outline.headingAtLine(line + 1);
    if (heading < 0) {
        m_indexTree->clearSelection();
        m_indexTree->setCurrentItem(nullptr);
        return;
    }
    m_indexTree->setCurrentItem(m_headingItems[size_t(heading)]);
}

void DocumentWindow::caretMoved()
{
    selectHeadingAtLine(m_textView->caretLine());
    reportCaretLine();
}

void DocumentWindow::reportCaretLine()
{
    emit caretLineChanged(m_textView->caretLine(), m_record.outline.lineCount);
}

void DocumentWindow::appendBookmarkEntry(int slot)
{
    auto *entry = new QListWidgetItem(m_record.bookmarks[size_t(slot)].name, m_bookmarkList);
    entry->setData(SlotRole, slot);
}

void DocumentWindow::addBookmark(const QString &name)
{
    if (name.isEmpty())
        return;
    const int slot = m_record.addBookmark(m_textView->caretLine(), name);
    if (slot >= 0)
        appendBookmarkEntry(slot);
}

void DocumentWindow::deleteBookmark()
{
    const QString caption = QStringLiteral("Delete bookmark");
    if (m_record.bookmarkCount <= 0) {
        m_dialogs.information(this, QStringLiteral("There isn't a bookmark now."), caption);
        return;
    }
    QListWidgetItem *entry = m_bookmarkList->currentItem();
    if (!entry || !entry->isSelected()) {
        m_dialogs.information(this, QStringLiteral("Please select a bookmark firstly."), caption);
        return;
    }
    m_record.deleteBookmark(entry->data(SlotRole).toInt());
    delete entry;
    // The list would select the next entry: a second Delete must not take it unseen.
    m_bookmarkList->setCurrentItem(nullptr);
    m_bookmarkList->clearSelection();
}

void DocumentWindow::jumpToSelectedBookmark()
{
    const QListWidgetItem *entry = m_bookmarkList->currentItem();
    if (!entry || !entry->isSelected())
        return;
    // Bookmarks count lines from 0; the line above stays in sight.
    const int line = m_record.bookmarks[size_t(entry->data(SlotRole).toInt())].line;
    emit jumping({m_record.path, topLine()});
    m_textView->setSelectionStart(m_textView->lineStart(std::clamp(line, 0, std::max(m_textView->lineCount() - 1, 0))));
    m_textView->scrollToLine(line);
}

// The file is written over at close: a change now would either be lost or
// destroy the highlights that could not be read.
bool DocumentWindow::refuseHighlightChange()
{
    if (!m_highlightFileUnread)
        return false;
    m_dialogs.error(this,
                    QStringLiteral("Highlights of %1 cannot be changed: its highlight file %2 could not be read. "
                                   "Make the file readable or remove it, then open the document again")
                        .arg(m_record.path, m_stateFiles->highlightPath()),
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
    m_textView->mergeFormat({&selection, 1}, PaletteColours::highlightFormat(m_textView->palette()));
    m_record.highlights.add(m_textView->selectionStart(),
                            m_textView->selectionStart() + m_textView->selectionLength());
    m_highlightsChanged = true;
}

void DocumentWindow::unhighlightSelection()
{
    if (refuseHighlightChange())
        return;
    if (m_textView->selectionLength() <= 0)
        return;
    m_record.highlights.remove(m_textView->selectionStart(),
                               m_textView->selectionStart() + m_textView->selectionLength());
    styleRange({m_textView->selectionStart(), m_textView->selectionLength()});
    m_highlightsChanged = true;
}

void DocumentWindow::search(const QString &text, SearchOptions options)
{
    if (text != m_lastFindText && !text.isEmpty()) {
        m_findHit = false;
        m_lastFindText = text;
        m_lastFindOptions = options;
    }
    const qint32 selected = m_textView->selectionLength();
    const qint32 total = m_textView->textLength();
    const qint32 findStart = (selected > 0 && total > selected) ? m_textView->selectionStart() + selected : 0;

    qint32 found = m_textView->findText(text, findStart, total - findStart, options);
    if (found < 0 && m_findHit)
        found = m_textView->findText(text, 0, total, options);
    if (found < 0)
        return;
    m_textView->setFocus();
    m_textView->setSelectionStart(found);
    m_textView->setSelectionLength(qint32(text.size()));
    m_findHit = true;
}

void DocumentWindow::searchAgain()
{
    if (m_findHit)
        search(m_lastFindText, m_lastFindOptions);
}

bool DocumentWindow::goToPage(int page)
{
    // A final line end starts no line of its own.
    const int lines = m_textView->lineCount() - int(m_textView->text().endsWith(u'\n'));
    const int line = firstLineOfPage(m_pageFolds, lines, page);
    if (line < 0)
        return false;
    jumpToLine(line + 1);
    // Reading goes on from the page with the keys.
    m_textView->setFocus();
    return true;
}

QString DocumentWindow::reference() const
{
    const int index = m_record.outline.headingAtLine(m_textView->caretLine() + 1);
    const QString section = index >= 0 ? m_record.outline.headings[size_t(index)].number : QString();
    const QString cited = citation(m_record.path, section);
    const QString selected = m_textView->selectedText();
    return selected.isEmpty() ? cited : quotedCitation(cited, selected);
}

DocumentWindow::MatchResult DocumentWindow::findMatch(const QString &text, SearchOptions options, qint32 from,
                                                      bool forward)
{
    const std::vector<qint32> &matches = m_textView->matches(text, options);
    MatchResult result;
    result.count = int(matches.size());
    if (matches.empty())
        return result;
    auto at = std::lower_bound(matches.begin(), matches.end(), from);
    if (forward) {
        result.wrapped = at == matches.end();
        if (result.wrapped)
            at = matches.begin();
    } else {
        result.wrapped = at == matches.begin();
        at = result.wrapped ? std::prev(matches.end()) : std::prev(at);
    }
    result.index = int(at - matches.begin());
    m_textView->setSelectionStart(*at);
    m_textView->setSelectionLength(qint32(text.size()));
    return result;
}

void DocumentWindow::markMatches(const QString &text, SearchOptions options)
{
    m_textView->markMatches(text, options);
}
