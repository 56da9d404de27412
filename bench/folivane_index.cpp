// Dumps what the section index makes of a file: the line count, then one
// tab-separated row per heading (slot, position, line, length, level, tree
// depth, heading text). It runs the reader's own reading and parsing code and
// needs no display.
//
// With --check-toc it judges the index against the document's own table of
// contents instead: one row per numbered entry (number, title, ok, missing or
// misplaced, and the heading's own title where it reads otherwise), then
// "toc N ok N missing N misplaced N stray N", where stray counts headings
// inside the table itself.
//
// With --links, one row per link: the line where it starts (from 1), its
// column (from 0, in UTF-16 units) and its target.
//
// With --diff OLD, the lines that changed from OLD to FILE, page furniture
// and blank lines left out: "-<TAB>line<TAB>text" for lines of OLD,
// "+<TAB>line<TAB>text" for lines of FILE (lines from 1), change by change.
//
// With --errata ERRATA.json (the RFC Editor's errata.json), one row per
// erratum of the RFC the file holds, in id order: id, status, type, the line
// it is placed at (0 when nowhere) and the section as written.

#include "contentscheck.h"
#include "documentname.h"
#include "documenttext.h"
#include "errata.h"
#include "erratumplacement.h"
#include "headingparser.h"
#include "linkfinder.h"
#include "revisioncomparison.h"
#include "tableofcontents.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
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

void dumpOutline(QTextStream &out, const Outline &outline)
{
    out << "line_count\t" << outline.lineCount << '\n';
    for (size_t slot = 0; slot < outline.headings.size(); ++slot) {
        const Heading &heading = outline.headings[slot];
        out << slot << '\t' << heading.position << '\t' << heading.line << '\t' << heading.length << '\t'
            << heading.level << '\t' << outline.depthOf(int(slot)) << '\t' << heading.text << '\n';
    }
}

void checkContents(QTextStream &out, const DocumentText &text, const Outline &outline)
{
    const std::vector<QStringView> lines = indexedLines(text);
    const TableOfContents contents = TableOfContents::read(lines);
    const ContentsCheck check = checkAgainstContents(outline, contents, lines);
    for (size_t index = 0; index < contents.entries().size(); ++index) {
        const ContentsEntry &entry = contents.entries()[index];
        const ContentsCheck::Verdict verdict = check.verdicts[index];
        out << entry.number << '\t' << entry.title << '\t'
            << (verdict == ContentsCheck::Verdict::Ok        ? "ok"
                : verdict == ContentsCheck::Verdict::Missing ? "missing"
                                                              : "misplaced");
        if (!check.bodyTitles[index].isEmpty())
            out << '\t' << check.bodyTitles[index];
        out << '\n';
    }
    out << "toc " << contents.entries().size() << " ok " << check.ok << " missing " << check.missing
        << " misplaced " << check.misplaced << " stray " << check.stray << '\n';
}

void placeErrata(QTextStream &out, const QList<Erratum> &errata, const QString &text, const Outline &outline)
{
    const ErrataPlacer placer(text, outline);
    for (const Erratum &erratum : errata) {
        const Placement placement = placer.place(erratum);
        // The section is free text: a line break there would split the row.
        out << erratum.id << '\t' << statusName(erratum.status) << '\t' << erratum.type << '\t'
            << (placement.kind == Placement::Kind::NotPlaced ? 0 : placement.line) << '\t'
            << erratum.section.simplified() << '\n';
    }
}

void printChanges(QTextStream &out, const RevisionComparison &comparison)
{
    for (const TextChange &change : comparison.changes()) {
        for (int line : change.oldLines)
            out << "-\t" << line + 1 << '\t' << comparison.oldLine(line) << '\n';
        for (int line : change.newLines)
            out << "+\t" << line + 1 << '\t' << comparison.newLine(line) << '\n';
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool checkToc = args.removeAll(QStringLiteral("--check-toc")) > 0;
    const bool links = args.removeAll(QStringLiteral("--links")) > 0;
    // An option and the value after it; false when the value is missing.
    const auto takeValue = [&args](const QString &option, QString &value) {
        const qsizetype at = args.indexOf(option);
        if (at < 0)
            return true;
        if (at + 1 >= args.size())
            return false;
        value = args.takeAt(at + 1);
        args.removeAt(at);
        return true;
    };
    QString errataPath;
    QString oldPath;
    const bool valuesGiven = takeValue(QStringLiteral("--errata"), errataPath) && takeValue(QStringLiteral("--diff"), oldPath);
    const bool withErrata = !errataPath.isEmpty();
    if (!valuesGiven || args.size() != 1 || int(checkToc) + int(links) + int(withErrata) + int(!oldPath.isEmpty()) > 1) {
        err << "usage: folivane-index [--check-toc | --links | --errata ERRATA.json | --diff OLD] FILE\n";
        return 2;
    }
    const QString path = args.at(0);
    const auto read = [&err](const QString &file) {
        DocumentText text = DocumentText::read(file);
        if (!text.ok())
            err << "folivane-index: cannot read " << file << ": " << text.errorString() << '\n';
        return text;
    };
    const DocumentText text = read(path);
    if (!text.ok())
        return 1;
    if (!oldPath.isEmpty()) {
        const DocumentText old = read(oldPath);
        if (!old.ok())
            return 1;
        QTextStream out(stdout);
        out.setEncoding(QStringConverter::Utf8);
        printChanges(out, RevisionComparison(old.text(), text.text()));
        return 0;
    }
    QList<Erratum> errata;
    if (withErrata) {
        QFile file(errataPath);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "folivane-index: cannot read " << errataPath << ": " << file.errorString() << '\n';
            return 1;
        }
        QString why;
        const ErrataList list = ErrataList::parse(file.readAll(), &why);
        if (!why.isEmpty()) {
            err << "folivane-index: " << errataPath << ": " << why << '\n';
            return 1;
        }
        const std::optional<DocumentName> name = DocumentName::ofFile(QFileInfo(path).fileName(), text.text());
        if (!name || name->kind() != DocumentName::Kind::Rfc) {
            err << "folivane-index: " << path << " is no RFC\n";
            return 1;
        }
        errata = list.errataOf(name->number());
    }

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    const Outline outline = parseOutline(text);
    if (withErrata)
        placeErrata(out, errata, text.text(), outline);
    else if (links)
        printLinks(out, text.text());
    else if (checkToc)
        checkContents(out, text, outline);
    else
        dumpOutline(out, outline);
    out.flush();
    return 0;
}
