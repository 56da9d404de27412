#include "childwin.h"

#include "dialogs.h"
#include "documenthost.h"
#include "fontinfo.h"
#include "highlight_file.h"
#include "highlight_link.h"
#include "inifile.h"
#include "sectionindex.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMdiArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTextCharFormat>
#include <QTreeWidget>

#include <algorithm>

namespace {

const QString WinSection = QStringLiteral("win");
const QString LeftKey = QStringLiteral("left");
const QString BookmarkSection = QStringLiteral("bookmark");
const QString CurrLineKey = QStringLiteral("curr_line");

const QString HighlightCaption = QStringLiteral("Highlight");
const QString SelectTextFirst = QStringLiteral("Please select some text firstly.");

constexpr int SlotRole = Qt::UserRole;

int slotOf(const QTreeWidgetItem *node)
{
    return node->data(0, SlotRole).toInt();
}

// AddRange, with a short cut for a range at or past the table's end: AddRange
// walks every range first, and the stored ranges come in ascending order, so
// restoring n of them took n*n/2 steps.
void appendRange(Chighlight_link &table, qint32 start, qint32 end)
{
    const auto *last = static_cast<const Chighlight_node *>(table.Last());
    if (start >= end || (last && start < last->range.end)) {
        table.AddRange(start, end);
        return;
    }
    table.PushBack(std::make_unique<Chighlight_node>(start, end));
}

} // namespace

TMDIChild::TMDIChild(DocumentHost *owner, QMdiArea *area, const QString &path)
    : m_owner(owner)
    , Splitter1(new QSplitter(Qt::Horizontal))
    , PageControl1(new QTabWidget)
    , TreeView1(new QTreeWidget)
    , ListBox1(new QListWidget)
    , RichEdit1(new TextView)
    , file_name(path)
    , highlights(std::make_unique<Chighlight_link>())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("MDI Child"));
    QFont panelFont(QStringLiteral("Courier New"));
    panelFont.setStyleHint(QFont::TypeWriter);
    panelFont.setPixelSize(12);

    TreeView1->setHeaderHidden(true);
    TreeView1->setIndentation(19);
    TreeView1->setFont(panelFont);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->viewport()->installEventFilter(this);
    ListBox1->setFont(panelFont);

    PageControl1->setTabPosition(QTabWidget::South);
    PageControl1->addTab(TreeView1, QStringLiteral(" Index "));
    PageControl1->addTab(ListBox1, QStringLiteral(" Bookmarks "));

    Splitter1->addWidget(PageControl1);
    Splitter1->addWidget(RichEdit1);
    Splitter1->setHandleWidth(5);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setStretchFactor(1, 1);
    setWidget(Splitter1);
    resize(674, 418);
    setPanelWidth(DefaultPanelWidth);

    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TMDIChild::ListBox1DblClick);
    connect(RichEdit1, &TextView::keyReleased, this, &TMDIChild::CaretMoved);
    connect(RichEdit1, &TextView::mouseReleased, this, &TMDIChild::CaretMoved);
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates oldState, Qt::WindowStates newState) {
                if (m_created && !(oldState & Qt::WindowActive) && (newState & Qt::WindowActive))
                    FormActivate();
            });

    area->addSubWindow(this);
    showMaximized();
    FormShow();
    // Reported once loaded, so that the first line notice carries the line count.
    m_created = true;
    if (area->activeSubWindow() == this)
        FormActivate();
}

TMDIChild::~TMDIChild() = default;

int TMDIChild::panelWidth() const
{
    return Splitter1->sizes().value(0);
}

void TMDIChild::setPanelWidth(int width)
{
    const int total = std::max(Splitter1->width(), width + 1);
    Splitter1->setSizes({width, total - width});
}

void TMDIChild::notifyOwner(DocEvent event)
{
    m_owner->dispatchDocMessage(WM_DOC_NOTIFY, qint32(event), 0, this);
}

void TMDIChild::FormShow()
{
    LoadDocument(file_name);
}

void TMDIChild::FormActivate()
{
    notifyOwner(DocEvent::Activated);
    ReportCaretLine();
}

void TMDIChild::LoadDocument(const QString &path)
{
    QElapsedTimer clock;
    clock.start();
    DocumentText text = DocumentText::read(path);
    m_timings.readFile = clock.nsecsElapsed();
    if (!text.ok()) {
        // Nothing of the document was shown, so nothing of its state is touched.
        m_error = text.errorString();
        return;
    }
    clock.restart();
    doc.Init(path);
    BuildIndex(text, doc, TreeView1);
    m_timings.buildIndex = clock.nsecsElapsed();

    clock.restart();
    QFont font = RichEdit1->font();
    text_font.apply_to(font);
    RichEdit1->setFont(font);
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Text, text_font.qtColor(palette));
    RichEdit1->setPalette(palette);
    RichEdit1->setDocumentText(text.takeText());
    m_timings.loadText = clock.nsecsElapsed();

    clock.restart();
    ApplyHeadingFont();
    m_timings.styleHeadings = clock.nsecsElapsed();
    clock.restart();
    RestoreAnnotations();
    m_timings.restoreAnnotations = clock.nsecsElapsed();

    clock.restart();
    const IniFile ini(doc.IniPath());
    setPanelWidth(ini.ReadInteger(WinSection, LeftKey, DefaultPanelWidth));
    scroll_to_line(RichEdit1, ini.ReadInteger(BookmarkSection, CurrLineKey, 1));
    m_timings.restoreView = clock.nsecsElapsed();
    m_loaded = true;
}

void TMDIChild::ApplyHeadingFont()
{
    QTextCharFormat format;
    format.setForeground(header_font.qtColor(RichEdit1->palette()));
    format.setFontFamilies({header_font.name});
    format.setFontStyleHint(QFont::TypeWriter);
    if (header_font.size > 0)
        format.setFontPointSize(header_font.size);
    format.setFontWeight(header_font.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(header_font.italic);
    format.setFontUnderline(header_font.underline);
    format.setFontStrikeOut(header_font.strike_out);

    std::vector<TextView::Span> lines;
    lines.reserve(doc.headings.size());
    for (const Theading_info &heading : doc.headings)
        lines.push_back({heading.position, heading.length});
    RichEdit1->mergeFormat(lines, format);
    RichEdit1->setSelStart(0);
}

void TMDIChild::RestoreAnnotations()
{
    int listed = 0;
    for (int slot = 0; slot < Crfc_doc::BookmarkSlots && listed < doc.bookmark_count; ++slot) {
        if (doc.bookmarks[slot].isFree())
            continue;
        appendBookmarkEntry(slot);
        ++listed;
    }
    RestoreHighlights();
}

void TMDIChild::RestoreHighlights()
{
    const std::vector<Ctext_section> stored = ReadHighlightFile(doc.HlPath());
    const qint32 end = RichEdit1->textLength();
    std::vector<TextView::Span> sound;
    bool damaged = false;
    qint32 previousEnd = 0;
    for (const Ctext_section &range : stored) {
        // A damaged file, or a document that changed since: keep what fits.
        if (range.start < previousEnd || range.start >= range.end || range.end > end) {
            damaged = true;
            continue;
        }
        appendRange(*highlights, range.start, range.end);
        sound.push_back({range.start, range.end - range.start});
        previousEnd = range.end;
    }
    RichEdit1->mergeFormat(sound, [] {
        QTextCharFormat format;
        format.setBackground(QColor(255, 255, 0));
        return format;
    }());
    if (!sound.empty()) {
        RichEdit1->setSelStart(sound.back().start);
        RichEdit1->setSelLength(sound.back().length);
    }
    if (damaged)
        m_owner->dialogs().information(this, SelectTextFirst, HighlightCaption);
    highlights_changed = false;
}

void TMDIChild::closeEvent(QCloseEvent *event)
{
    if (!FormClose()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

bool TMDIChild::FormClose()
{
    notifyOwner(DocEvent::Closing);
    if (!m_loaded)
        return true;
    try {
        IniFile ini(doc.IniPath());
        ini.WriteInteger(WinSection, LeftKey, panelWidth());
        ini.WriteInteger(BookmarkSection, CurrLineKey, RichEdit1->firstVisibleLine() + 1);
        if (!SaveHighlights())
            throw IniWriteError(doc.HlPath());
        // Saved here rather than when the record goes, so that a failure
        // keeps the window, and the bookmarks, open.
        doc.SaveBookmarks();
    } catch (const IniWriteError &error) {
        m_owner->dialogs().error(this, QStringLiteral("Unable to write to %1").arg(error.path()),
                                 QStringLiteral("Folivane"));
        return false;
    }
    ClearHighlights();
    return true;
}

bool TMDIChild::SaveHighlights()
{
    if (!highlights_changed)
        return true;
    const std::vector<Ctext_section> ranges = highlights->Ranges();
    const bool saved = ranges.empty() ? DeleteHighlightFile(doc.HlPath())
                                      : WriteHighlightFile(doc.HlPath(), ranges);
    // Written once: a later failure of the close must not write it again.
    if (saved)
        highlights_changed = false;
    return saved;
}

void TMDIChild::ClearHighlights()
{
    while (highlights->PopFront()) {
    }
}

bool TMDIChild::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TreeView1->viewport() && event->type() == QEvent::MouseButtonRelease)
        TreeView1Click();
    return QMdiSubWindow::eventFilter(watched, event);
}

void TMDIChild::TreeView1Click()
{
    const QList<QTreeWidgetItem *> selected = TreeView1->selectedItems();
    if (selected.isEmpty() || selected.first() == last_index_node)
        return;
    last_index_node = selected.first();
    scroll_to_line(RichEdit1, doc.headings[slotOf(last_index_node)].line);
}

void TMDIChild::SyncIndexToCaret(int caretLine)
{
    // The last heading whose line (counted from 0) is at or above the caret.
    const auto after = std::upper_bound(doc.headings.begin(), doc.headings.end(), caretLine,
                                        [](int caret, const Theading_info &heading) {
                                            return caret < heading.line - 1;
                                        });
    if (after == doc.headings.begin()) {
        TreeView1->clearSelection();
        TreeView1->setCurrentItem(nullptr);
        return;
    }
    TreeView1->setCurrentItem(std::prev(after)->node);
}

void TMDIChild::CaretMoved()
{
    SyncIndexToCaret(RichEdit1->caretLine());
    ReportCaretLine();
}

void TMDIChild::ReportCaretLine()
{
    m_owner->dispatchDocMessage(WM_DOC_LINE, RichEdit1->caretLine(), doc.line_count, this);
}

void TMDIChild::appendBookmarkEntry(int slot)
{
    auto *entry = new QListWidgetItem(doc.bookmarks[slot].name, ListBox1);
    entry->setData(SlotRole, slot);
}

void TMDIChild::AddBookmark(const QString &name)
{
    if (name.isEmpty())
        return;
    const int line = RichEdit1->caretLine();
    const auto freeSlot = std::find_if(doc.bookmarks.begin(), doc.bookmarks.end(),
                                       [](const Tbookmark_info &slot) { return slot.isFree(); });
    if (freeSlot == doc.bookmarks.end())
        return;
    freeSlot->line = line;
    freeSlot->name = name;
    appendBookmarkEntry(int(freeSlot - doc.bookmarks.begin()));
    ++doc.bookmark_count;
}

void TMDIChild::DeleteBookmark()
{
    const QString caption = QStringLiteral("Delete bookmark");
    if (doc.bookmark_count <= 0) {
        m_owner->dialogs().information(this, QStringLiteral("There isn't a bookmark now."), caption);
        return;
    }
    QListWidgetItem *entry = ListBox1->currentItem();
    if (!entry || !entry->isSelected()) {
        m_owner->dialogs().information(this, QStringLiteral("Please select a bookmark firstly."), caption);
        return;
    }
    doc.bookmarks[entry->data(SlotRole).toInt()].line = -1;
    --doc.bookmark_count;
    delete entry;
}

void TMDIChild::ListBox1DblClick()
{
    const QListWidgetItem *entry = ListBox1->currentItem();
    if (entry && entry->isSelected())
        scroll_to_line(RichEdit1, doc.bookmarks[entry->data(SlotRole).toInt()].line);
}

void TMDIChild::ColourSelection(const QColor &background)
{
    QTextCharFormat format;
    format.setBackground(background);
    const TextView::Span selection{RichEdit1->SelStart(), RichEdit1->SelLength()};
    RichEdit1->mergeFormat({&selection, 1}, format);
}

void TMDIChild::HighlightSelection()
{
    if (RichEdit1->SelLength() <= 0) {
        m_owner->dialogs().information(this, SelectTextFirst, HighlightCaption);
        return;
    }
    ColourSelection(QColor(255, 255, 0));
    highlights->AddRange(RichEdit1->SelStart(), RichEdit1->SelStart() + RichEdit1->SelLength());
    highlights_changed = true;
}

void TMDIChild::UnhighlightSelection()
{
    if (RichEdit1->SelLength() <= 0)
        return;
    ColourSelection(RichEdit1->palette().color(QPalette::Base));
    highlights->RemoveRange(RichEdit1->SelStart(), RichEdit1->SelStart() + RichEdit1->SelLength());
    highlights_changed = true;
}

void TMDIChild::SearchDocument(const QString &text, SearchOptions options)
{
    if (text != last_find_text && !text.isEmpty()) {
        find_hit = false;
        last_find_text = text;
        last_find_options = options;
    }
    const qint32 selected = RichEdit1->SelLength();
    const qint32 total = RichEdit1->textLength();
    find_start = (selected > 0 && total > selected) ? RichEdit1->SelStart() + selected : 0;

    const TextView::FindOptions findOptions{options.wholeWord, options.matchCase};
    qint32 found = RichEdit1->FindText(text, find_start, total - find_start, findOptions);
    if (found < 0 && find_hit) {
        find_start = 0;
        found = RichEdit1->FindText(text, 0, total, findOptions);
    }
    if (found < 0)
        return;
    RichEdit1->setFocus();
    RichEdit1->setSelStart(found);
    RichEdit1->setSelLength(qint32(text.size()));
    find_hit = true;
}

void TMDIChild::SearchAgain()
{
    if (find_hit)
        SearchDocument(last_find_text, last_find_options);
}
