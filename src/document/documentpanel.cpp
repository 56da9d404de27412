#include "documentpanel.h"

#include "elidedtooltipdelegate.h"
#include "headingparser.h"

#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QTreeWidget>

namespace {

const QString NoSections = QStringLiteral("(no numbered sections)");

constexpr int SlotRole = Qt::UserRole;

} // namespace

DocumentPanel::DocumentPanel(QWidget *parent)
    : QTabWidget(parent)
    , m_indexTree(new QTreeWidget)
    , m_bookmarkList(new QListWidget)
{
    QFont panelFont(QStringLiteral("Courier New"));
    panelFont.setStyleHint(QFont::TypeWriter);
    panelFont.setPixelSize(12);

    m_indexTree->setHeaderHidden(true);
    m_indexTree->setIndentation(19);
    m_indexTree->setFont(panelFont);
    m_indexTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_indexTree->setItemDelegate(new ElidedToolTipDelegate(m_indexTree));
    m_bookmarkList->setFont(panelFont);

    setTabPosition(QTabWidget::South);
    addTab(m_indexTree, QStringLiteral(" Index "));
    addTab(m_bookmarkList, QStringLiteral(" Bookmarks "));

    // A click jumps even to the selected entry; Enter (activation) jumps too.
    connect(m_indexTree, &QTreeWidget::itemClicked, this, &DocumentPanel::activateHeading);
    connect(m_indexTree, &QTreeWidget::itemActivated, this, &DocumentPanel::activateHeading);
    connect(m_bookmarkList, &QListWidget::itemDoubleClicked, this, [this] {
        if (const int slot = selectedBookmark(); slot >= 0)
            emit bookmarkActivated(slot);
    });
}

void DocumentPanel::setOutline(const Outline &outline)
{
    m_outline = &outline;
    m_indexTree->clear();
    const std::vector<Heading> &headings = outline.headings;
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

void DocumentPanel::markHeadings(const std::vector<std::pair<int, QString>> &headings, const QIcon &icon)
{
    // While any entry has a mark, the others get a blank one of its size so
    // that the titles stay aligned.
    QIcon blank;
    if (!headings.empty()) {
        QPixmap pixmap(icon.availableSizes().value(0, QSize(16, 16)));
        pixmap.fill(Qt::transparent);
        blank = QIcon(pixmap);
    }
    for (QTreeWidgetItem *item : m_headingItems) {
        item->setIcon(0, blank);
        item->setData(0, Qt::ToolTipRole, QVariant());
    }
    for (const auto &[heading, tip] : headings) {
        if (heading < 0 || size_t(heading) >= m_headingItems.size())
            continue;
        QTreeWidgetItem *item = m_headingItems[size_t(heading)];
        item->setIcon(0, icon);
        item->setToolTip(0, tip);
    }
}

void DocumentPanel::selectHeadingAtLine(int line)
{
    const int heading = m_outline ? m_outline->headingAtLine(line + 1) : -1;
    if (heading < 0) {
        m_indexTree->clearSelection();
        m_indexTree->setCurrentItem(nullptr);
        return;
    }
    m_indexTree->setCurrentItem(m_headingItems[size_t(heading)]);
}

void DocumentPanel::activateHeading(QTreeWidgetItem *entry)
{
    const QVariant slot = entry->data(0, SlotRole);
    if (slot.isValid())
        emit headingActivated(m_outline->headings[slot.toULongLong()].line);
}

void DocumentPanel::appendBookmark(int slot, const QString &name)
{
    auto *entry = new QListWidgetItem(name, m_bookmarkList);
    entry->setData(SlotRole, slot);
}

int DocumentPanel::selectedBookmark() const
{
    const QListWidgetItem *entry = m_bookmarkList->currentItem();
    return entry && entry->isSelected() ? entry->data(SlotRole).toInt() : -1;
}

void DocumentPanel::removeSelectedBookmark()
{
    delete m_bookmarkList->currentItem();
    // The list would select the next entry: a second Delete must not take it unseen.
    m_bookmarkList->setCurrentItem(nullptr);
    m_bookmarkList->clearSelection();
}
