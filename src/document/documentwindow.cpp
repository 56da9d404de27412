#include "documentwindow.h"

#include "dialogs.h"
#include "documenttext.h"
#include "fontsettings.h"
#include "fontstyle.h"
#include "textview.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextCharFormat>
#include <QTreeWidget>

#include <algorithm>

namespace {

const QString ProgramCaption = QStringLiteral("Folivane");
const QString HighlightCaption = QStringLiteral("Highlight");
const QString SelectTextFirst = QStringLiteral("Please select some text firstly.");
const QColor HighlightColour(255, 255, 0);

constexpr int SlotRole = Qt::UserRole;

QTextCharFormat backgroundFormat(const QColor &colour)
{
    QTextCharFormat format;
    format.setBackground(colour);
    return format;
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
    m_indexTree->viewport()->installEventFilter(this);
    m_bookmarkList->setFont(panelFont);

    m_panelTabs->setTabPosition(QTabWidget::South);
    m_panelTabs->addTab(m_indexTree, QStringLiteral(" Index "));
    m_panelTabs->addTab(m_bookmarkList, QStringLiteral(" Bookmarks "));

    m_splitter->addWidget(m_panelTabs);
    m_splitter->addWidget(m_textView);
    m_splitter->setHandleWidth(5);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(1, 1);
    setWidget(m_splitter);
    resize(674, 418);
    setPanelWidth(ViewState::DefaultPanelWidth);

    // Only a drag sets the width kept: a narrow window squeezes the panel for a while.
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] { m_panelWidth = m_splitter->sizes().value(0); });
    connect(m_bookmarkList, &QListWidget::itemDoubleClicked, this, &DocumentWindow::jumpToSelectedBookmark);
    connect(m_textView, &TextView::keyReleased, this, &DocumentWindow::caretMoved);
    connect(m_textView, &TextView::mouseReleased, this, &DocumentWindow::caretMoved);
    connect(m_textView, &TextView::contextMenuClosed, this, &DocumentWindow::caretMoved);
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
    m_stateFiles->readBookmarks(m_record);
    m_record.outline = parseOutline(text);
    buildIndexTree();
    m_timings.buildIndex = clock.nsecsElapsed();

    clock.restart();
    m_textView->setFont(FontStyle::toFont(m_fonts.text, m_textView->font()));
    QPalette palette = m_textView->palette();
    palette.setColor(QPalette::Text, FontStyle::color(m_fonts.text, palette));
    m_textView->setPalette(palette);
    m_textView->setDocumentText(text.takeText());
    m_timings.loadText = clock.nsecsElapsed();

    clock.restart();
    styleHeadings();
    m_timings.styleHeadings = clock.nsecsElapsed();
    clock.restart();
    restoreBookmarks();
    restoreHighlights();
    m_timings.restoreAnnotations = clock.nsecsElapsed();
    m_storedView = m_stateFiles->readView();
    return true;
}

void DocumentWindow::restoreView()
{
    QElapsedTimer clock;
    clock.start();
    setPanelWidth(m_storedView.panelWidth);
    m_textView->scrollToLine(m_storedView.topLine);
    m_timings.restoreView = clock.nsecsElapsed();
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
    m_indexTree->addTopLevelItems(topLevel);
}

void DocumentWindow::styleHeadings()
{
    std::vector<TextView::Span> lines;
    lines.reserve(m_record.outline.headings.size());
    for (const Heading &heading : m_record.outline.headings)
        lines.push_back({heading.position, heading.length});
    m_textView->mergeFormat(lines, FontStyle::headingFormat(m_fonts.header, m_textView->palette()));
    m_textView->setSelectionStart(0);
}

void DocumentWindow::restoreBookmarks()
{
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
    TextRange last;
    for (const TextRange &range : *stored) {
        // A damaged file, or a document that changed since: ranges merge as
        // the Highlight command merges them, and stop at the end of the text.
        const TextRange cut{range.start, std::min(range.end, end)};
        if (cut.start < 0 || cut.start >= cut.end) {
            damaged = true;
            continue;
        }
        m_record.highlights.add(cut.start, cut.end);
        last = cut;
    }
    std::vector<TextView::Span> spans;
    for (const TextRange &range : m_record.highlights.ranges())
        spans.push_back({range.start, range.end - range.start});
    m_textView->mergeFormat(spans, backgroundFormat(HighlightColour));
    if (last.end > last.start) {
        m_textView->setSelectionStart(last.start);
        m_textView->setSelectionLength(last.end - last.start);
    }
    if (damaged)
        m_dialogs.information(this, SelectTextFirst, HighlightCaption);
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

bool DocumentWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_indexTree->viewport() && event->type() == QEvent::MouseButtonRelease)
        jumpToSelectedHeading();
    return QMdiSubWindow::eventFilter(watched, event);
}

void DocumentWindow::jumpToSelectedHeading()
{
    const QList<QTreeWidgetItem *> selected = m_indexTree->selectedItems();
    if (selected.isEmpty() || selected.first() == m_lastIndexItem)
        return;
    m_lastIndexItem = selected.first();
    const auto index = m_lastIndexItem->data(0, SlotRole).toULongLong();
    m_textView->scrollToLine(m_record.outline.headings[index].line);
}

void DocumentWindow::selectHeadingAtCaret()
{
    const int heading = m_record.outline.headingAtLine(m_textView->caretLine() + 1);
    if (heading < 0) {
        m_indexTree->clearSelection();
        m_indexTree->setCurrentItem(nullptr);
        return;
    }
    m_indexTree->setCurrentItem(m_headingItems[size_t(heading)]);
}

void DocumentWindow::caretMoved()
{
    selectHeadingAtCaret();
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
    if (entry && entry->isSelected())
        m_textView->scrollToLine(m_record.bookmarks[size_t(entry->data(SlotRole).toInt())].line);
}

void DocumentWindow::colourSelection(const QColor &background)
{
    const TextView::Span selection{m_textView->selectionStart(), m_textView->selectionLength()};
    m_textView->mergeFormat({&selection, 1}, backgroundFormat(background));
}

void DocumentWindow::highlightSelection()
{
    if (m_textView->selectionLength() <= 0) {
        m_dialogs.information(this, SelectTextFirst, HighlightCaption);
        return;
    }
    colourSelection(HighlightColour);
    m_record.highlights.add(m_textView->selectionStart(),
                            m_textView->selectionStart() + m_textView->selectionLength());
    m_highlightsChanged = true;
}

void DocumentWindow::unhighlightSelection()
{
    if (m_textView->selectionLength() <= 0)
        return;
    colourSelection(m_textView->palette().color(QPalette::Base));
    m_record.highlights.remove(m_textView->selectionStart(),
                               m_textView->selectionStart() + m_textView->selectionLength());
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

    const TextView::FindOptions findOptions{options.wholeWord, options.matchCase};
    qint32 found = m_textView->findText(text, findStart, total - findStart, findOptions);
    if (found < 0 && m_findHit)
        found = m_textView->findText(text, 0, total, findOptions);
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
