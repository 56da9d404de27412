// Dumps what the section index makes of a file: the line count, then one
// tab-separated row per heading (slot, position, line, length, level, tree
// depth, heading text). It runs the reader's own reading and parsing code and
// needs no display.

#include "documenttext.h"
#include "headingparser.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
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

    const Outline outline = parseOutline(text);
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    out << "line_count\t" << outline.lineCount << '\n';
    for (size_t slot = 0; slot < outline.headings.size(); ++slot) {
        const Heading &heading = outline.headings[slot];
        out << slot << '\t' << heading.position << '\t' << heading.line << '\t' << heading.length << '\t'
            << heading.level << '\t' << outline.depthOf(int(slot)) << '\t' << heading.text << '\n';
    }
    out.flush();
    return 0;
}
