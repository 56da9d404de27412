#include "benchcompare.h"

#include "comparedrevisions.h"
#include "comparisonwindow.h"
#include "textview.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>
#include <random>
#include <set>
#include <stdexcept>

namespace bench {
namespace {

constexpr QSize WindowSize(1400, 900);

void writeText(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        throw std::runtime_error("cannot write " + path.toStdString());
}

QString readText(const QString &path)
{
    DocumentText text = DocumentText::read(path);
    if (!text.ok())
        throw std::runtime_error("cannot read " + path.toStdString());
    return text.takeText();
}

// About one line in a hundred edited: a third changed in a word, a third
// moved elsewhere, a third re-wrapped with the line after it.
QString editedCopy(const QString &text)
{
    QStringList lines = text.split(u'\n');
    std::mt19937 random(1);
    const auto pick = [&] {
        for (;;) {
            const qsizetype at = qsizetype(random() % quint32(lines.size() - 1));
            if (lines[at].trimmed().size() > 20 && lines[at + 1].trimmed().size() > 20)
                return at;
        }
    };
    const qsizetype edits = lines.size() / 100;
    for (qsizetype edit = 0; edit < edits; ++edit) {
        const qsizetype at = pick();
        switch (edit % 3) {
        case 0:
            lines[at].replace(lines[at].indexOf(u' ', 4), 1, QStringLiteral(" revised "));
            break;
        case 1: {
            const QString moved = lines.takeAt(at);
            lines.insert(pick(), moved);
            break;
        }
        default: {
            const QString indent = lines[at].left(lines[at].size() - lines[at].trimmed().size());
            const QStringList words = (lines[at].trimmed() + u' ' + lines[at + 1].trimmed()).split(u' ');
            const qsizetype half = words.size() / 2 + 1;
            lines[at] = indent + words.mid(0, half).join(u' ');
            lines[at + 1] = indent + words.mid(half).join(u' ');
        }
        }
    }
    return lines.join(u'\n');
}

Row timed(const QString &input, qint64 bytes, const QString &measure, std::vector<qint64> samples)
{
    Row row;
    row.input = input;
    row.bytes = bytes;
    row.measure = measure;
    row.stats = summarize(std::move(samples));
    return row;
}

// The lines of one side diff(1) marks, as indices into its input: "3,5c4",
// "7a8,9", "12d11".
void readNormalDiff(const QString &output, std::set<int> &removed, std::set<int> &added)
{
    static const QRegularExpression hunk(QStringLiteral("^(\\d+)(?:,(\\d+))?([acd])(\\d+)(?:,(\\d+))?$"),
                                         QRegularExpression::MultilineOption);
    for (auto match = hunk.globalMatch(output); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const QChar kind = found.captured(3).at(0);
        const auto range = [&](int first, int last, std::set<int> &into) {
            const int from = found.captured(first).toInt();
            const int to = found.captured(last).isEmpty() ? from : found.captured(last).toInt();
            for (int line = from; line <= to; ++line)
                into.insert(line - 1);
        };
        if (kind != u'a')
            range(1, 2, removed);
        if (kind != u'd')
            range(4, 5, added);
    }
}

// The compared lines of one side, one per line, as diff(1) gets them.
QString strippedText(const std::vector<int> &compared, QStringView (RevisionComparison::*line)(int) const,
                     const RevisionComparison &comparison)
{
    QString text;
    for (int at : compared) {
        QStringView shown = (comparison.*line)(at);
        while (!shown.isEmpty() && shown.back().isSpace())
            shown.chop(1);
        text += shown;
        text += u'\n';
    }
    return text;
}

// Indices into the compared lines of the changed file lines.
std::set<int> changedIndices(const std::vector<int> &compared, const std::vector<TextChange> &changes, bool old)
{
    std::set<int> indices;
    for (const TextChange &change : changes)
        for (int line : old ? change.oldLines : change.newLines)
            indices.insert(int(std::lower_bound(compared.begin(), compared.end(), line) - compared.begin()));
    return indices;
}

} // namespace

QList<Row> measureComparison(const QString &path, int repeat)
{
    QTemporaryDir folder;
    const QString oldPath = folder.filePath(QStringLiteral("old.txt"));
    const QString newPath = folder.filePath(QStringLiteral("new.txt"));
    const QString oldText = readText(path);
    const QString newText = editedCopy(oldText);
    writeText(oldPath, oldText);
    writeText(newPath, newText);
    const QString input = QFileInfo(path).fileName() + QStringLiteral("+1%");
    const qint64 bytes = QFileInfo(path).size();

    std::vector<qint64> floor, diff, firstScreen, whole;
    int changes = 0;
    for (int run = 0; run <= repeat; ++run) {
        QElapsedTimer clock;
        clock.start();
        {
            auto left = std::make_unique<QPlainTextEdit>();
            auto right = std::make_unique<QPlainTextEdit>();
            for (QPlainTextEdit *edit : {left.get(), right.get()}) {
                edit->setLineWrapMode(QPlainTextEdit::NoWrap);
                edit->resize(WindowSize.width() / 2, WindowSize.height());
                edit->setPlainText(edit == left.get() ? oldText : newText);
                edit->show();
                edit->viewport()->repaint();
            }
        }
        const qint64 floorNs = clock.nsecsElapsed();

        clock.restart();
        const RevisionComparison comparison(oldText, newText);
        const qint64 diffNs = clock.nsecsElapsed();
        changes = int(comparison.changes().size());

        clock.restart();
        {
            ComparisonWindow window(ComparedRevisions::read(oldPath, newPath));
            window.resize(WindowSize);
            window.show();
            window.goToChange(0);
            window.oldView()->viewport()->repaint();
            window.newView()->viewport()->repaint();
            const qint64 firstNs = clock.nsecsElapsed();
            window.goToChange(window.changeCount() - 1);
            window.newView()->viewport()->repaint();
            window.setOneColumn(true);
            window.inlineView()->viewport()->repaint();
            const qint64 wholeNs = clock.nsecsElapsed();
            if (run > 0) {
                floor.push_back(floorNs);
                diff.push_back(diffNs);
                firstScreen.push_back(firstNs);
                whole.push_back(wholeNs);
            }
        }
    }
    Row diffRow = timed(input, bytes, QStringLiteral("compare_diff"), diff);
    diffRow.extra << std::pair{QStringLiteral("changes"), double(changes)};
    return {timed(input, bytes, QStringLiteral("bare_setPlainText_both"), floor), diffRow,
            timed(input, bytes, QStringLiteral("compare_first_screen"), firstScreen),
            timed(input, bytes, QStringLiteral("compare_whole"), whole)};
}

QList<Row> measureDraftAgreement(const QString &folder)
{
    const QDir dir(folder);
    const QStringList files = dir.entryList({QStringLiteral("draft-*-[0-9][0-9].txt")}, QDir::Files, QDir::Name);
    QTemporaryDir scratch;
    QList<Row> rows;
    qint64 bothTotal = 0;
    qint64 eitherTotal = 0;
    for (qsizetype at = 1; at < files.size(); ++at) {
        if (files[at].chopped(7) != files[at - 1].chopped(7))
            continue;
        const QString oldText = readText(dir.filePath(files[at - 1]));
        const QString newText = readText(dir.filePath(files[at]));
        const RevisionComparison comparison(oldText, newText);
        const QString a = scratch.filePath(QStringLiteral("a"));
        const QString b = scratch.filePath(QStringLiteral("b"));
        writeText(a, strippedText(comparison.comparedOldLines(), &RevisionComparison::oldLine, comparison));
        writeText(b, strippedText(comparison.comparedNewLines(), &RevisionComparison::newLine, comparison));
        QProcess diffTool;
        diffTool.start(QStringLiteral("diff"), {a, b});
        if (!diffTool.waitForFinished(60000) || diffTool.exitCode() > 1)
            throw std::runtime_error("diff(1) did not run");
        std::set<int> removed, added;
        readNormalDiff(QString::fromUtf8(diffTool.readAllStandardOutput()), removed, added);
        const std::set<int> ourRemoved = changedIndices(comparison.comparedOldLines(), comparison.changes(), true);
        const std::set<int> ourAdded = changedIndices(comparison.comparedNewLines(), comparison.changes(), false);
        const auto overlap = [](const std::set<int> &x, const std::set<int> &y) {
            qint64 both = 0;
            for (int value : x)
                both += y.count(value);
            return both;
        };
        const qint64 both = overlap(removed, ourRemoved) + overlap(added, ourAdded);
        const qint64 either = qint64(removed.size() + ourRemoved.size() + added.size() + ourAdded.size()) - both;
        bothTotal += both;
        eitherTotal += either;
        Row row;
        row.input = files[at - 1].chopped(4) + QStringLiteral("..") + files[at].mid(files[at].size() - 6, 2);
        row.measure = QStringLiteral("agreement");
        row.extra << std::pair{QStringLiteral("agreement_percent"), either ? 100.0 * double(both) / double(either) : 100.0}
                  << std::pair{QStringLiteral("changed_lines"), double(ourRemoved.size() + ourAdded.size())};
        rows << row;
    }
    Row total;
    total.input = QStringLiteral("all-pairs");
    total.measure = QStringLiteral("agreement");
    total.extra << std::pair{QStringLiteral("agreement_percent"),
                             eitherTotal ? 100.0 * double(bothTotal) / double(eitherTotal) : 100.0};
    rows << total;
    return rows;
}

} // namespace bench
