// Dumps what the section index makes of a file: the line count, then one
// tab-separated row per heading (slot, position, line, length, level, tree
// depth, heading text). With --links, one row per link instead: the line where
// it starts (from 1), its column (from 0, in UTF-16 units) and its target.
// It runs the reader's own reading and parsing code and needs no display.

#include "documenttext.h"
#include "headingparser.h"
#include "linkfinder.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

void printLinks(QTextStream &out, const QString &text)
{
    int line = 1;
    qsizetype lineStart = 0;
    qsizetype scanned = 0;
    for (const Link &link : findLinks(text)) {
        for (; scanned < link.start; ++scanned) {
            if (text.at(scanned) == u'\n') {
                ++line;
                lineStart = scanned + 1;
            }
        }
        out << line << '\t' << (link.start - lineStart) << '\t' << link.target.normalForm() << '\n';
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool links = args.removeAll(QStringLiteral("--links")) > 0;
    if (args.size() != 1) {
        err << "usage: folivane-index [--links] FILE\n";
        return 2;
    }
    const QString path = args.at(0);
    const DocumentText text = DocumentText::read(path);
    if (!text.ok()) {
        err << "folivane-index: cannot read " << path << ": " << text.errorString() << '\n';
        return 1;
    }

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    if (links) {
        printLinks(out, text.text());
        return 0;
    }
    const Outline outline = parseOutline(text);
    out << "line_count\t" << outline.lineCount << '\n';
    for (size_t slot = 0; slot < outline.headings.size(); ++slot) {
        const Heading &heading = outline.headings[slot];
        out << slot << '\t' << heading.position << '\t' << heading.line << '\t' << heading.length << '\t'
            << heading.level << '\t' << outline.depthOf(int(slot)) << '\t' << heading.text << '\n';
    }
    out.flush();
    return 0;
}
