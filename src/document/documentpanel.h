#pragma once

#include <QTabWidget>

#include <utility>

#include <vector>

class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
struct Outline;

// The left side of a document window, on two tabs: the index of the
// document's sections, which follows the place read, and its bookmarks.
class DocumentPanel : public QTabWidget
{
    Q_OBJECT

public:
    explicit DocumentPanel(QWidget *parent = nullptr);

    // Fills the index; the outline must outlive the panel.
    void setOutline(const Outline &outline);
    // Selects the entry of the section that holds line (counted from 0).
    void selectHeadingAtLine(int line);

    void appendBookmark(int slot, const QString &name);
    // The slot of the selected bookmark, or -1.
    int selectedBookmark() const;
    // Takes the selected bookmark off the list, leaving none selected.
    void removeSelectedBookmark();

    // See DocumentWindow::markHeadings().
    void markHeadings(const std::vector<std::pair<int, QString>> &headings, const QIcon &icon);

    QTreeWidget *indexTree() const { return m_indexTree; }
    QListWidget *bookmarkList() const { return m_bookmarkList; }

signals:
    // A click on an index entry, even the selected one, or Enter on it; line
    // counted from 1.
    void headingActivated(int line);
    // A double click on the selected bookmark.
    void bookmarkActivated(int slot);

private:
    void activateHeading(QTreeWidgetItem *entry);

    QTreeWidget *m_indexTree;
    QListWidget *m_bookmarkList;
    const Outline *m_outline = nullptr;
    std::vector<QTreeWidgetItem *> m_headingItems;
};
