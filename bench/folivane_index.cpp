// Dumps what the section index makes of a file: the line count, then one
// tab-separated row per heading (slot, position, line, length, level, tree
// depth, node text). It runs the reader's own reading and indexing code.

#include "documenttext.h"
#include "rfcdoc.h"
#include "sectionindex.h"

#include <QApplication>
#include <QTextStream>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr qsizetype MaxWordLength = 255;

// The first word as the index sees it: the text before the first blank,
// cut to the longest word it examines.
QStringView firstWord(QStringView line)
{
    qsizetype blank = line.indexOf(u' ');
    if (blank < 0)
        blank = line.size();
    return line.first(std::min(blank, MaxWordLength));
}

int depthOf(const QTreeWidgetItem *node)
{
    int depth = 0;
    for (const QTreeWidgetItem *up = node->parent(); up; up = up->parent())
        ++depth;
    return depth;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        err << "usage: folivane-index FILE\n";
        return 2;
    }
    const QString path = args.at(1);
    const DocumentText text = DocumentText::read(path);
    if (!text.ok()) {
        err << "folivane-index: cannot read " << path << ": " << text.errorString() << '\n';
        return 1;
    }

    Crfc_doc doc;
    QTreeWidget tree;
    BuildIndex(text, doc, &tree);

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    out << "line_count\t" << doc.line_count << '\n';
    for (size_t slot = 0; slot < doc.headings.size(); ++slot) {
        const Theading_info &heading = doc.headings[slot];
        const QString nodeText = heading.node->text(0);
        out << slot << '\t' << heading.position << '\t' << heading.line << '\t' << heading.length << '\t'
            << heading_level(firstWord(nodeText)) << '\t' << depthOf(heading.node) << '\t' << nodeText
            << '\n';
    }
    out.flush();
    return 0;
}
