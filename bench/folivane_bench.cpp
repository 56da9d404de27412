// Times the stages of opening, searching and closing a document in the real
// main window, offscreen. See docs/performance.md for what it measures.

#include "benchcompare.h"
#include "benchrun.h"
#include "gendoc.h"
#include "measure.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cmath>
#include <stdexcept>

namespace {

using bench::Row;

// The offscreen platform says on every window that it cannot do what no
// bench needs; the rest still goes to stderr.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")) || message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    QTextStream(stderr) << qFormatLogMessage(type, context, message) << '\n';
}

QString cpuModel()
{
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray &line : info.readAll().split('\n'))
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    }
    return QStringLiteral("unknown");
}

QString loadAverage()
{
    QFile load(QStringLiteral("/proc/loadavg"));
    return load.open(QIODevice::ReadOnly) ? QString::fromLatin1(load.readAll().trimmed()) : QString();
}

QString sizeLabel(double mb)
{
    return QStringLiteral("gen-%1MB").arg(QString::number(mb));
}

QString longLineLabel(double mb)
{
    return QStringLiteral("long-line-%1MB").arg(QString::number(mb));
}

class Results
{
public:
    explicit Results(QTextStream &out, QFile *json) : m_out(out), m_json(json) {}

    void add(const QList<Row> &rows)
    {
        m_rows << rows;
        QString current;
        QList<Row> group;
        const auto flushGroup = [&] {
            if (group.isEmpty())
                return;
            m_out << "\n== " << current << " (" << group.first().bytes << " bytes) ==\n";
            bench::printTable(m_out, group);
            group.clear();
        };
        for (const Row &row : rows) {
            if (row.input != current)
                flushGroup();
            current = row.input;
            group << row;
        }
        flushGroup();
        for (const Row &row : rows)
            emitJson(bench::toJson(row));
    }

    const Row *find(const QString &input, const QString &measure) const
    {
        for (const Row &row : m_rows)
            if (row.input == input && row.measure == measure)
                return &row;
        return nullptr;
    }
    std::optional<double> median(const QString &input, const QString &measure) const
    {
        const Row *row = find(input, measure);
        if (!row || !row->stats)
            return std::nullopt;
        return row->stats->median;
    }
    QStringList inputs() const
    {
        QStringList names;
        for (const Row &row : m_rows)
            if (!names.contains(row.input))
                names << row.input;
        return names;
    }

    // One line of the summary, and its JSON twin.
    void check(const QString &name, const QString &input, double value, const QString &target,
               std::optional<bool> met)
    {
        m_out << QStringLiteral("%1 %2 %3  %4  %5\n")
                     .arg(name, -36)
                     .arg(input, -28)
                     .arg(QString::number(value, 'f', 3), 10)
                     .arg(target, -10)
                     .arg(!met ? QString() : *met ? QStringLiteral("met") : QStringLiteral("MISSED"));
        QString json = QStringLiteral("{\"check\":\"%1\",\"input\":\"%2\",\"value\":%3,\"target\":\"%4\"")
                           .arg(name, input, QString::number(value, 'g', 6), target);
        if (met)
            json += QStringLiteral(",\"met\":%1").arg(*met ? QStringLiteral("true") : QStringLiteral("false"));
        emitJson(json + u'}');
    }

    void flushJson()
    {
        for (const QString &line : m_pendingJson)
            m_out << line << '\n';
        m_pendingJson.clear();
        m_out.flush();
    }

private:
    void emitJson(const QString &line)
    {
        m_pendingJson << line;
        if (m_json) {
            m_json->write(line.toUtf8() + '\n');
            m_json->flush();
        }
    }

    QTextStream &m_out;
    QFile *m_json;
    QList<Row> m_rows;
    QStringList m_pendingJson;
};

void summarize(Results &results, const bench::Options &options, qint64 emptyRssKb)
{
    QTextStream out(stdout);
    out << "\n== checks ==\n";
    const QString hl = QStringLiteral("+%1hl").arg(options.highlights);
    const QStringList inputs = results.inputs();

    // Whole open against Qt's own floor, for every input.
    for (const QString &input : inputs) {
        const std::optional<double> bare = results.median(input, QStringLiteral("bare_setPlainText"));
        if (!bare || *bare <= 0)
            continue;
        for (const QString &series : {input, input + hl}) {
            const std::optional<double> open = results.median(series, QStringLiteral("open_total"));
            if (!open)
                continue;
            // With every reading aid on, the common documents cost little more than Qt alone.
            const bool target = series == sizeLabel(2.5) || series == QLatin1String("rfc5661.txt");
            results.check(QStringLiteral("open_total/bare"), series, *open / *bare,
                          target ? QStringLiteral("<= 1.15") : QString(),
                          target ? std::optional<bool>(*open / *bare <= 1.15) : std::nullopt);
        }
    }
    // Bold headings, folded page breaks and emphasis against none of them.
    for (const QString &input : inputs) {
        const auto aids = results.median(input + QStringLiteral(" aids"), QStringLiteral("open_total"));
        const auto plain = results.median(input + QStringLiteral(" plain"), QStringLiteral("open_total"));
        if (aids && plain && *plain > 0)
            results.check(QStringLiteral("open_total aids/plain"), input, *aids / *plain, QStringLiteral("<= 1.10"),
                          *aids / *plain <= 1.10);
    }
    for (const QString &input : inputs) {
        const Row *index = results.find(input, QStringLiteral("build_index"));
        if (index && index->mbPerS && !input.endsWith(hl))
            results.check(QStringLiteral("build_index MB/s"), input, *index->mbPerS, QStringLiteral(">= 200"),
                          *index->mbPerS >= 200);
    }
    // Links are found as the document opens: a small share of it.
    for (const QString &input : inputs) {
        const std::optional<double> links = results.median(input, QStringLiteral("find_links"));
        const std::optional<double> open = results.median(input, QStringLiteral("fully_open"));
        if (links && open && *open > 0)
            results.check(QStringLiteral("find_links/fully_open"), input, *links / *open, QStringLiteral("<= 0.05"),
                          *links / *open <= 0.05);
    }
    if (const std::optional<double> parse = results.median(QStringLiteral("rfc-index-10000"), QStringLiteral("rfc_index_parse")))
        results.check(QStringLiteral("rfc_index_parse ms"), QStringLiteral("rfc-index-10000"), *parse,
                      QStringLiteral("<= 300"), *parse <= 300);
    if (const std::optional<double> lookup = results.median(QStringLiteral("library-9000"), QStringLiteral("library_lookup")))
        results.check(QStringLiteral("library_lookup ms"), QStringLiteral("library-9000"), *lookup,
                      QStringLiteral("<= 10"), *lookup <= 10);
    // The find bar counts every match on each key: typing must not lag.
    for (const QString &input : inputs) {
        if (const std::optional<double> key = results.median(input, QStringLiteral("findbar_slowest_key")))
            results.check(QStringLiteral("findbar key ms"), input, *key, QStringLiteral("<= 10"), *key <= 10);
    }
    if (const std::optional<double> find = results.median(sizeLabel(2.5), QStringLiteral("find_one")))
        results.check(QStringLiteral("find_one ms"), sizeLabel(2.5), *find, QStringLiteral("<= 10"), *find <= 10);

    // Growth from 2.5 to 10 MB against linear: 1.0 is linear.
    const Row *small = results.find(sizeLabel(2.5), QStringLiteral("open_total"));
    const Row *large = results.find(sizeLabel(10), QStringLiteral("open_total"));
    if (small && large) {
        const double bytesRatio = double(large->bytes) / double(small->bytes);
        const QStringList stages = {QStringLiteral("read_decode"), QStringLiteral("bare_setPlainText"),
                                    QStringLiteral("build_index"), QStringLiteral("load_text"),
                                    QStringLiteral("style_headings"), QStringLiteral("restore_highlights"),
                                    QStringLiteral("restore_view"), QStringLiteral("open_total"),
                                    QStringLiteral("find_one"), QStringLiteral("find_walk"),
                                    QStringLiteral("close")};
        for (const QString &suffix : {QString(), hl}) {
            for (const QString &stage : stages) {
                const auto a = results.median(sizeLabel(2.5) + suffix, stage);
                const auto b = results.median(sizeLabel(10) + suffix, stage);
                if (!a || !b || *a <= 0)
                    continue;
                const double growth = (*b / *a) / bytesRatio;
                results.check(QStringLiteral("growth_2.5_10 ") + stage, sizeLabel(10) + suffix, growth,
                              QStringLiteral("<= 1.3"), growth <= 1.3);
            }
        }
    }
    for (const QString &input : inputs) {
        const Row *rss = results.find(input, QStringLiteral("rss_document"));
        if (!rss || !rss->peakRssKb || *rss->peakRssKb < 0 || emptyRssKb < 0)
            continue;
        const double aboveMb = double(*rss->peakRssKb - emptyRssKb) / 1024.0;
        const bool target = input.startsWith(sizeLabel(2.5));
        results.check(QStringLiteral("rss above empty MiB"), input, aboveMb,
                      target ? QStringLiteral("<= 40") : QString(),
                      target ? std::optional<bool>(aboveMb <= 40) : std::nullopt);
    }
    // Large documents: the first screen soon, the window answering throughout.
    for (const QString &input : inputs) {
        const bool huge = input.startsWith(sizeLabel(50));
        const bool longLine = input.startsWith(QLatin1String("long-line-"));
        if (const auto first = results.median(input, QStringLiteral("open_total")); first && (huge || longLine))
            results.check(QStringLiteral("first_screen s"), input, *first / 1000,
                          huge ? QStringLiteral("<= 0.5") : QStringLiteral("<= 1"),
                          *first / 1000 <= (huge ? 0.5 : 1.0));
        if (const auto full = results.median(input, QStringLiteral("fully_open")); full && longLine)
            results.check(QStringLiteral("fully_open s"), input, *full / 1000, QStringLiteral("<= 3"),
                          *full / 1000 <= 3);
        if (const auto late = results.median(input, QStringLiteral("worst_lateness")); late && (huge || longLine))
            results.check(QStringLiteral("worst_lateness ms"), input, *late, QStringLiteral("<= 100"), *late <= 100);
    }
    for (const QString &input : inputs) {
        const Row *rss = results.find(input, QStringLiteral("rss_document"));
        if (!rss || !rss->peakRssKb || *rss->peakRssKb < 0 || !input.startsWith(sizeLabel(50)))
            continue;
        const double times = double(*rss->peakRssKb) * 1024.0 / double(rss->bytes);
        results.check(QStringLiteral("rss_document / file size"), input, times, QStringLiteral("<= 6"), times <= 6);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Times opening, searching and closing documents."));
    parser.addHelpOption();
    const QCommandLineOption sizesOption(QStringLiteral("sizes"),
                                         QStringLiteral("Sizes in MB of the generated documents."),
                                         QStringLiteral("list"), QStringLiteral("0.1,1,2.5,10,50"));
    const QCommandLineOption highlightsOption(QStringLiteral("highlights"),
                                              QStringLiteral("Stored highlight ranges for the second series."),
                                              QStringLiteral("N"), QStringLiteral("2000"));
    const QCommandLineOption repeatOption(QStringLiteral("repeat"), QStringLiteral("Timed runs after a warm-up."),
                                          QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption jsonOption(QStringLiteral("json"), QStringLiteral("Also write the JSON lines here."),
                                        QStringLiteral("file"));
    const QCommandLineOption writeOption(QStringLiteral("write-generated"),
                                         QStringLiteral("Only write the generated documents into the folder."),
                                         QStringLiteral("folder"));
    const QCommandLineOption longLineOption(QStringLiteral("long-line"),
                                            QStringLiteral("Also a generated document of one line this many MB long."),
                                            QStringLiteral("MB"));
    const QCommandLineOption openOnlyOption(QStringLiteral("open-only"),
                                            QStringLiteral("Only open and close, for profiling the load."));
    const QCommandLineOption compareOption(QStringLiteral("compare"),
                                           QStringLiteral("Only compare the file with a copy edited in 1% of its lines."),
                                           QStringLiteral("file"));
    const QCommandLineOption compareDraftsOption(
        QStringLiteral("compare-drafts"),
        QStringLiteral("Only check consecutive draft revisions in the folder against diff(1)."), QStringLiteral("folder"));
    QCommandLineOption rssChildOption(QStringLiteral("rss-child"), QStringLiteral("internal"),
                                      QStringLiteral("file"));
    rssChildOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({sizesOption, highlightsOption, repeatOption, jsonOption, writeOption, longLineOption, openOnlyOption,
                       compareOption, compareDraftsOption, rssChildOption});
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Documents to measure instead (as well, with --sizes)."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app);

    bench::Options options;
    bool ok = true;
    options.highlights = parser.value(highlightsOption).toInt(&ok);
    if (!ok || options.highlights < 0)
        parser.showHelp(2);
    if (parser.isSet(rssChildOption))
        return bench::rssChildMain(parser.value(rssChildOption), options.highlights);
    options.repeat = parser.value(repeatOption).toInt(&ok);
    if (!ok || options.repeat < 1)
        parser.showHelp(2);
    options.sizesMb.clear();
    for (const QString &part : parser.value(sizesOption).split(u',', Qt::SkipEmptyParts)) {
        const double mb = part.toDouble(&ok);
        if (!ok || mb <= 0)
            parser.showHelp(2);
        options.sizesMb << mb;
    }
    options.files = parser.positionalArguments();
    options.openOnly = parser.isSet(openOnlyOption);

    if (parser.isSet(writeOption)) {
        for (double mb : options.sizesMb) {
            const QString path = parser.value(writeOption) + QStringLiteral("/rfc-gen-%1MB.txt").arg(QString::number(mb));
            const QString error = gendoc::write(path, qint64(std::llround(mb * 1e6)));
            QTextStream(error.isEmpty() ? stdout : stderr) << path << ' ' << (error.isEmpty() ? QStringLiteral("written") : error) << '\n';
            if (!error.isEmpty())
                return 1;
        }
        return 0;
    }

    QTextStream out(stdout);
    out << "folivane-bench: Qt " << qVersion() << ", platform " << QGuiApplication::platformName() << ", "
        << QThread::idealThreadCount() << " cpus (" << cpuModel() << "), load " << loadAverage()
        << ", repeat " << options.repeat << ", highlights " << options.highlights << '\n';

    std::unique_ptr<QFile> json;
    if (parser.isSet(jsonOption)) {
        json = std::make_unique<QFile>(parser.value(jsonOption));
        if (!json->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            QTextStream(stderr) << "cannot write " << json->fileName() << '\n';
            return 2;
        }
    }
    Results results(out, json.get());

    if (parser.isSet(compareOption) || parser.isSet(compareDraftsOption)) {
        try {
            if (parser.isSet(compareOption)) {
                results.add(bench::measureComparison(parser.value(compareOption), options.repeat));
                const QString input = QFileInfo(parser.value(compareOption)).fileName() + QStringLiteral("+1%");
                out << '\n';
                for (const auto &[measure, targetMs] : {std::pair{"compare_first_screen", 200.0}, {"compare_whole", 500.0}})
                    if (const std::optional<double> ms = results.median(input, QLatin1String(measure)))
                        results.check(QLatin1String(measure) + QStringLiteral("_ms"), input, *ms,
                                      QStringLiteral("<= %1").arg(targetMs), *ms <= targetMs);
            }
            if (parser.isSet(compareDraftsOption))
                results.add(bench::measureDraftAgreement(parser.value(compareDraftsOption)));
        } catch (const std::exception &error) {
            QTextStream(stderr) << "compare: " << error.what() << '\n';
            return 1;
        }
        results.flushJson();
        return 0;
    }

    Row empty;
    empty.input = QStringLiteral("empty-window");
    empty.measure = QStringLiteral("rss_empty");
    if (!options.openOnly) {
        empty.peakRssKb = bench::peakRssInChild(QString(), 0).value_or(-1);
        results.add({empty});
        results.flushJson();
    }

    QTemporaryDir generated;
    QList<bench::Input> inputs;
    // Generated documents unless files are named; both when sizes are named too.
    if (options.files.isEmpty() || parser.isSet(sizesOption)) {
        for (double mb : options.sizesMb) {
            const QString path = generated.filePath(QStringLiteral("rfc-gen-%1MB.txt").arg(QString::number(mb)));
            const QString error = gendoc::write(path, qint64(std::llround(mb * 1e6)));
            if (!error.isEmpty()) {
                QTextStream(stderr) << "cannot write " << path << ": " << error << '\n';
                return 1;
            }
            inputs << bench::Input{sizeLabel(mb), path, QFileInfo(path).size()};
        }
    }
    if (parser.isSet(longLineOption)) {
        const double mb = parser.value(longLineOption).toDouble(&ok);
        if (!ok || mb <= 0)
            parser.showHelp(2);
        const QString path = generated.filePath(QStringLiteral("long-line-%1MB.txt").arg(QString::number(mb)));
        const QString error = gendoc::writeLongLine(path, qint64(std::llround(mb * 1e6)));
        if (!error.isEmpty()) {
            QTextStream(stderr) << "cannot write " << path << ": " << error << '\n';
            return 1;
        }
        inputs << bench::Input{longLineLabel(mb), path, QFileInfo(path).size()};
    }
    for (const QString &path : options.files)
        inputs << bench::Input{QFileInfo(path).fileName(), path, QFileInfo(path).size()};

    int failures = 0;
    for (const bench::Input &input : inputs) {
        try {
            results.add(bench::measureInput(input, options));
        } catch (const std::exception &error) {
            QTextStream(stderr) << input.label << ": " << error.what() << '\n';
            ++failures;
        }
        results.flushJson();
        // The generated files are large; each is needed once.
        if (input.path.startsWith(generated.path()))
            QFile::remove(input.path);
    }
    if (!options.openOnly) {
        try {
            results.add(bench::measureLibrary(options));
        } catch (const std::exception &error) {
            QTextStream(stderr) << "library: " << error.what() << '\n';
            ++failures;
        }
    }
    summarize(results, options, empty.peakRssKb.value_or(-1));
    results.flushJson();
    out << "load at end " << loadAverage() << '\n';
    return failures ? 1 : 0;
}
