#include "sectionindex.h"

#include "documenttext.h"
#include "rfcdoc.h"

#include <QTreeWidget>

#include <utility>

namespace {

constexpr qsizetype MaxWordLength = 255;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Places the node of a heading of the given level after the previous one.
class TreePlacer
{
public:
    // Top-level nodes are handed to the tree in one go: inserting them one
    // by one into the live tree costs a model update each.
    QList<QTreeWidgetItem *> takeTopLevelNodes() { return std::exchange(m_topLevel, {}); }

    QTreeWidgetItem *place(int level, const QString &text)
    {
        QTreeWidgetItem *parent = nullptr;
        if (level == 1 || !m_current) {
            parent = nullptr;
        } else if (level > m_previousLevel) {
            parent = m_current;
        } else {
            // Climb one step per level, not per tree depth; past the top
            // level the node goes to the top level.
            QTreeWidgetItem *sibling = m_current;
            for (int step = level; step < m_previousLevel && sibling; ++step)
                sibling = sibling->parent();
            parent = sibling ? sibling->parent() : nullptr;
        }
        auto *node = new QTreeWidgetItem(QStringList(text));
        if (parent)
            parent->addChild(node);
        else
            m_topLevel.append(node);
        m_current = node;
        m_previousLevel = level;
        return node;
    }

private:
    QList<QTreeWidgetItem *> m_topLevel;
    QTreeWidgetItem *m_current = nullptr;
    int m_previousLevel = 0;
};

} // namespace

int heading_level(QStringView word)
{
    const qsizetype n = word.size();
    if (n == 0 || n > MaxWordLength || !isDigit(word[0]))
        return 0;
    int count = 0;
    for (qsizetype i = 1; i < n; ++i) {
        const QChar c = word[i];
        if (!isDigit(c) && c != u'.')
            return count;
        if (c == u'.' && i + 1 < n && isDigit(word[i + 1]))
            ++count;
    }
    return count + 1;
}

void BuildIndex(const DocumentText &text, Crfc_doc &doc, QTreeWidget *tree)
{
    TreePlacer placer;
    qint64 position = 0;
    text.forEachLine([&](QStringView line, bool hasLineEnd) {
        // A last line without a line end is neither counted nor examined.
        if (!hasLineEnd)
            return;
        ++doc.line_count;
        const qsizetype blank = line.indexOf(u' ');
        if (blank > 0) {
            const int level = heading_level(line.first(std::min(blank, MaxWordLength)));
            if (level > 0) {
                Theading_info heading;
                heading.position = qint32(position);
                heading.line = doc.line_count;
                heading.length = qint32(line.size());
                heading.node = placer.place(level, line.toString());
                heading.node->setData(0, Qt::UserRole, qulonglong(doc.headings.size()));
                doc.headings.push_back(heading);
            }
        }
        position += line.size() + 2;
    });
    tree->addTopLevelItems(placer.takeTopLevelNodes());
}
