#include "comparisonwindow.h"

#include "citation.h"
#include "comparedrevisions.h"
#include "textview.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTextCharFormat>
#include <QTreeWidget>

#include <map>
#include <set>

namespace {

// See-through, so that they read on light and dark themes alike.
const QColor RemovedLine(230, 60, 60, 50);
const QColor AddedLine(60, 180, 60, 50);
const QColor ChangedLine(230, 170, 0, 60);
const QColor RemovedWords(230, 60, 60, 130);
const QColor AddedWords(40, 170, 40, 130);

// Where a change stands in the newer text: its first line, or where its
// removed lines would have been.
int newLineOf(const TextChange &change)
{
    return change.newLines.empty() ? change.newAt : change.newLines.front();
}

TextView *readOnlyView(const QString &text)
{
    auto *view = new TextView;
    view->setDocumentText(text);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    return view;
}

void markWords(TextView *view, const std::vector<LineMark> &marks, const QColor &colour,
               const std::vector<int> *lineMap = nullptr)
{
    std::vector<TextView::Span> spans;
    spans.reserve(marks.size());
    for (const LineMark &mark : marks) {
        const int line = lineMap ? (*lineMap)[size_t(mark.line)] : mark.line;
        if (line >= 0)
            spans.push_back({view->lineStart(line) + mark.column, mark.length});
    }
    QTextCharFormat format;
    format.setBackground(colour);
    view->mergeFormat(spans, format);
}

// The number of the section that holds a line (from 0), or empty.
QString sectionAt(const Outline &outline, int line)
{
    const int heading = outline.headingAtLine(line + 1);
    return heading >= 0 ? outline.headings[size_t(heading)].number : QString();
}

} // namespace

ComparisonWindow::ComparisonWindow(std::shared_ptr<const ComparedRevisions> revisions, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_revisions(std::move(revisions))
    , m_oldView(readOnlyView(m_revisions->oldText.text()))
    , m_newView(readOnlyView(m_revisions->newText.text()))
    , m_inlineView(readOnlyView(QString()))
    , m_index(new QTreeWidget)
    , m_position(new QLabel)
    , m_oneColumn(new QCheckBox(QStringLiteral("One &column")))
    , m_searched(m_newView)
    , m_oldFind(*m_oldView)
    , m_newFind(*m_newView)
    , m_inlineFind(*m_inlineView)
{
    setAttribute(Qt::WA_DeleteOnClose);
    const QString oldName = QFileInfo(m_revisions->oldPath).fileName();
    const QString newName = QFileInfo(m_revisions->newPath).fileName();
    setWindowTitle(QStringLiteral("%1 \u2192 %2").arg(oldName, newName));

    auto *previous = new QPushButton(QStringLiteral("&Previous Change"));
    auto *next = new QPushButton(QStringLiteral("&Next Change"));
    auto *copyDiff = new QPushButton(QStringLiteral("Copy &Unified Diff"));
    auto *copyListing = new QPushButton(QStringLiteral("Copy &OLD/NEW"));
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    bar->addWidget(previous);
    bar->addWidget(next);
    bar->addWidget(m_position);
    bar->addStretch(1);
    bar->addWidget(m_oneColumn);
    bar->addWidget(copyDiff);
    bar->addWidget(copyListing);

    m_inlineView->hide();
    m_index->setHeaderHidden(true);
    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_index);
    splitter->addWidget(m_oldView);
    splitter->addWidget(m_newView);
    splitter->addWidget(m_inlineView);
    splitter->setChildrenCollapsible(false);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 1);
    splitter->setStretchFactor(3, 2);
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);
    setWidget(content);
    resize(1000, 560);

    tintSides();
    fillIndex();
    showPosition();

    connect(previous, &QPushButton::clicked, this, &ComparisonWindow::previousChange);
    connect(next, &QPushButton::clicked, this, &ComparisonWindow::nextChange);
    connect(m_oneColumn, &QCheckBox::toggled, this, &ComparisonWindow::setOneColumn);
    connect(copyDiff, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(unifiedDiff()); });
    connect(copyListing, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(oldNewListing()); });
    connect(m_oldView->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { followScroll(m_oldView, m_newView, true); });
    connect(m_newView->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { followScroll(m_newView, m_oldView, false); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        for (TextView *view : {m_oldView, m_newView, m_inlineView})
            if (now == view)
                m_searched = view;
    });
    connect(m_index, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        const int line = item->data(0, Qt::UserRole).toInt();
        TextView *view = isOneColumn() ? m_inlineView : m_newView;
        const int shown = isOneColumn() ? m_inlineLineOfNew[size_t(line)] : line;
        view->scrollToLine(shown + 1);
        view->setSelectionStart(view->lineStart(shown));
    });
}

ComparisonWindow::~ComparisonWindow() = default;

void ComparisonWindow::setTextFont(const QFont &font)
{
    for (TextView *view : {m_oldView, m_newView, m_inlineView})
        view->setFont(font);
}

int ComparisonWindow::changeCount() const
{
    return int(m_revisions->comparison->changes().size());
}

void ComparisonWindow::goToChange(int index)
{
    if (index < 0 || index >= changeCount())
        return;
    m_current = index;
    const TextChange &change = m_revisions->comparison->changes()[size_t(index)];
    // A few lines of what comes before stay in sight.
    constexpr int Lead = 3;
    if (isOneColumn()) {
        const int line = change.oldLines.empty() ? m_inlineLineOfNew[size_t(newLineOf(change))]
                                                 : m_inlineLineOfNew[size_t(newLineOf(change))] - int(change.oldLines.size());
        m_inlineView->scrollToLine(std::max(1, line + 1 - Lead));
        m_inlineView->setSelectionStart(m_inlineView->lineStart(line));
    } else {
        // Each side at its own lines of the change, not in proportion.
        m_following = true;
        const int line = std::min(newLineOf(change), m_newView->lineCount() - 1);
        m_newView->scrollToLine(std::max(1, line + 1 - Lead));
        m_newView->setSelectionStart(m_newView->lineStart(std::max(0, line)));
        const int oldLine = change.oldLines.empty() ? change.oldAt : change.oldLines.front();
        m_oldView->scrollToLine(std::max(1, oldLine + 1 - Lead));
        m_following = false;
    }
    showPosition();
}

void ComparisonWindow::nextChange()
{
    goToChange(std::min(m_current + 1, changeCount() - 1));
}

void ComparisonWindow::previousChange()
{
    goToChange(std::max(m_current - 1, 0));
}

void ComparisonWindow::setOneColumn(bool oneColumn)
{
    if (oneColumn && m_inlineLineOfNew.empty())
        fillInline();
    m_oneColumn->setChecked(oneColumn);
    m_oldView->setVisible(!oneColumn);
    m_newView->setVisible(!oneColumn);
    m_inlineView->setVisible(oneColumn);
    // Find searches a side that shows.
    if (oneColumn)
        m_searched = m_inlineView;
    else if (m_searched == m_inlineView)
        m_searched = m_newView;
    if (m_current >= 0)
        goToChange(m_current);
}

bool ComparisonWindow::isOneColumn() const
{
    return m_oneColumn->isChecked();
}

QString ComparisonWindow::unifiedDiff() const
{
    return ::unifiedDiff(*m_revisions->comparison, QFileInfo(m_revisions->oldPath).fileName(),
                         QFileInfo(m_revisions->newPath).fileName());
}

QString ComparisonWindow::oldNewListing() const
{
    return ::oldNewListing(*m_revisions->comparison, [this](int line) { return sectionAt(m_revisions->newOutline, line); });
}

void ComparisonWindow::tintSides()
{
    const RevisionComparison &comparison = *m_revisions->comparison;
    std::vector<TextView::LineTint> oldTints;
    std::vector<TextView::LineTint> newTints;
    for (const TextChange &change : comparison.changes()) {
        const bool changed = !change.oldLines.empty() && !change.newLines.empty();
        for (int line : change.oldLines)
            oldTints.push_back({line, changed ? ChangedLine : RemovedLine});
        for (int line : change.newLines)
            newTints.push_back({line, changed ? ChangedLine : AddedLine});
    }
    m_oldView->setLineTints(std::move(oldTints));
    m_newView->setLineTints(std::move(newTints));
    markWords(m_oldView, comparison.oldWords(), RemovedWords);
    markWords(m_newView, comparison.newWords(), AddedWords);
}

void ComparisonWindow::fillIndex()
{
    const Outline &outline = m_revisions->newOutline;
    // A change counts once for every section it touches and for the
    // sections around them.
    std::map<int, int> changesPerHeading;
    for (const TextChange &change : m_revisions->comparison->changes()) {
        std::set<int> touched;
        const std::vector<int> lines = change.newLines.empty() ? std::vector<int>{change.newAt} : change.newLines;
        for (int line : lines)
            for (int heading = outline.headingAtLine(line + 1); heading >= 0;
                 heading = outline.headings[size_t(heading)].parent)
                touched.insert(heading);
        for (int heading : touched)
            ++changesPerHeading[heading];
    }
    std::vector<QTreeWidgetItem *> items;
    QList<QTreeWidgetItem *> topLevel;
    for (size_t index = 0; index < outline.headings.size(); ++index) {
        const Heading &heading = outline.headings[index];
        auto *item = new QTreeWidgetItem(QStringList(heading.text));
        item->setData(0, Qt::UserRole, heading.line - 1);
        if (const auto found = changesPerHeading.find(int(index)); found != changesPerHeading.end()) {
            QFont font = item->font(0);
            font.setBold(true);
            item->setFont(0, font);
            item->setToolTip(0, found->second == 1 ? QStringLiteral("1 change")
                                                   : QStringLiteral("%1 changes").arg(found->second));
        }
        if (heading.parent >= 0)
            items[size_t(heading.parent)]->addChild(item);
        else
            topLevel.append(item);
        items.push_back(item);
    }
    m_index->addTopLevelItems(topLevel);
}

void ComparisonWindow::fillInline()
{
    const RevisionComparison &comparison = *m_revisions->comparison;
    const std::vector<TextChange> &changes = comparison.changes();
    QString text;
    std::vector<TextView::LineTint> tints;
    std::vector<int> inlineLineOfOld(size_t(comparison.oldLineCount()), -1);
    m_inlineLineOfNew.assign(size_t(comparison.newLineCount()) + 1, -1);
    std::vector<bool> added(size_t(comparison.newLineCount()), false);
    for (const TextChange &change : changes)
        for (int line : change.newLines)
            added[size_t(line)] = true;
    int out = 0;
    const auto append = [&](QStringView line) {
        text += line;
        text += u'\n';
        return out++;
    };
    size_t next = 0;
    for (int line = 0; line <= comparison.newLineCount(); ++line) {
        // Removed lines stand before the line that now follows them.
        for (; next < changes.size() && newLineOf(changes[next]) == line; ++next)
            for (int old : changes[next].oldLines) {
                inlineLineOfOld[size_t(old)] = out;
                tints.push_back({append(comparison.oldLine(old)), RemovedLine});
            }
        m_inlineLineOfNew[size_t(line)] = out;
        if (line == comparison.newLineCount())
            break;
        const int at = append(comparison.newLine(line));
        if (added[size_t(line)])
            tints.push_back({at, AddedLine});
    }
    m_inlineView->setDocumentText(text);
    m_inlineView->setLineTints(std::move(tints));
    markWords(m_inlineView, comparison.oldWords(), RemovedWords, &inlineLineOfOld);
    markWords(m_inlineView, comparison.newWords(), AddedWords, &m_inlineLineOfNew);
}

void ComparisonWindow::followScroll(TextView *from, TextView *to, bool fromOld)
{
    if (m_following)
        return;
    m_following = true;
    const int line = from->firstVisibleLine();
    const RevisionComparison &comparison = *m_revisions->comparison;
    to->scrollToLine((fromOld ? comparison.newLineFor(line) : comparison.oldLineFor(line)) + 1);
    m_following = false;
}

void ComparisonWindow::showPosition()
{
    const int count = changeCount();
    if (count == 0)
        m_position->setText(QStringLiteral("No changes"));
    else if (m_current < 0)
        m_position->setText(count == 1 ? QStringLiteral("1 change") : QStringLiteral("%1 changes").arg(count));
    else
        m_position->setText(QStringLiteral("Change %1 of %2").arg(m_current + 1).arg(count));
}


DocumentFind &ComparisonWindow::findOf(TextView *view)
{
    return view == m_oldView ? m_oldFind : view == m_inlineView ? m_inlineFind : m_newFind;
}

void ComparisonWindow::search(const QString &text, SearchOptions options)
{
    findOf(m_searched).search(text, options);
}

void ComparisonWindow::searchAgain()
{
    findOf(m_searched).searchAgain();
}

SearchableText::MatchResult ComparisonWindow::findMatch(const QString &text, SearchOptions options, qint32 from,
                                                       bool forward)
{
    return findOf(m_searched).findMatch(text, options, from, forward);
}

void ComparisonWindow::markMatches(const QString &text, SearchOptions options)
{
    m_searched->markMatches(text, options);
}

QString ComparisonWindow::reference() const
{
    const bool old = m_searched == m_oldView;
    int line = m_searched->caretLine();
    if (m_searched == m_inlineView) {
        // The new line at or before it: a removed line cites where it stood.
        const auto after = std::upper_bound(m_inlineLineOfNew.begin(), m_inlineLineOfNew.end(), line);
        line = std::max(0, int(after - m_inlineLineOfNew.begin()) - 1);
    }
    const QString cited = citation(old ? m_revisions->oldPath : m_revisions->newPath,
                                   sectionAt(old ? m_revisions->oldOutline : m_revisions->newOutline, line));
    const QString selected = m_searched->selectedText();
    return selected.isEmpty() ? cited : quotedCitation(cited, selected);
}
