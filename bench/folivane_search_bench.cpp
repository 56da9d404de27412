// Measures the library search on generated libraries: indexing speed, the
// index's size against the text's, and how long searches for a rare word, a
// phrase of rare words and common words take. See docs/performance.md.

#include "citationindex.h"
#include "documenttext.h"
#include "genlibrary.h"
#include "headingparser.h"
#include "librarysearch.h"
#include "measure.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace {

QTextStream out(stdout);

// What share of the paragraphs each word, and each pair of rare words side
// by side, occurs in; words as FTS5 cuts them, in lower case.
class WordShares
{
public:
    explicit WordShares(const std::vector<QStringList> &paragraphs) : m_paragraphs(qsizetype(paragraphs.size()))
    {
        std::vector<QStringList> tokens;
        for (const QStringList &paragraph : paragraphs) {
            tokens.push_back(paragraph.join(u' ').toLower().split(nonWord(), Qt::SkipEmptyParts));
            for (const QString &word : QSet<QString>(tokens.back().begin(), tokens.back().end()))
                ++m_words[word];
        }
        for (const QStringList &words : tokens) {
            QSet<QString> pairs;
            for (qsizetype i = 1; i < words.size(); ++i)
                if (isRare(words[i - 1]) && isRare(words[i]) && isPlain(words[i - 1]) && isPlain(words[i]))
                    pairs.insert(words[i - 1] + u' ' + words[i]);
            for (const QString &pair : std::as_const(pairs))
                ++m_pairs[pair];
        }
    }

    double share(const QString &words) const
    {
        const int count = words.contains(u' ') ? m_pairs.value(words) : m_words.value(words);
        return double(count) / double(m_paragraphs);
    }
    // The plain word whose share is the largest not above limit, or the
    // smallest above it.
    QString wordNear(double limit, bool above) const { return nearest(m_words, limit, above); }
    QString pairNear(double limit) const { return nearest(m_pairs, limit, false); }
    QString mostCommon() const { return nearest(m_words, 1.0, false); }

private:
    static const QRegularExpression &nonWord()
    {
        static const QRegularExpression pattern(QStringLiteral("[^\\p{L}\\p{N}]+"));
        return pattern;
    }
    static bool isPlain(const QString &word)
    {
        return word.size() >= 3 && std::all_of(word.begin(), word.end(), [](QChar c) { return c.isLetter(); });
    }
    bool isRare(const QString &word) const { return m_words.value(word) <= m_paragraphs / 100; }
    QString nearest(const QHash<QString, int> &counts, double limit, bool above) const
    {
        QString best;
        int bestCount = above ? std::numeric_limits<int>::max() : 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            const double share = double(it.value()) / double(m_paragraphs);
            // Ties go to the first in alphabetical order, so that every run takes the same.
            const bool better = above ? it.value() < bestCount : it.value() > bestCount;
            const bool tie = it.value() == bestCount && it.key() < best;
            const bool fits = (above ? share > limit : share <= limit) && (better || tie);
            if (fits && (it.key().contains(u' ') || isPlain(it.key()))) {
                best = it.key();
                bestCount = it.value();
            }
        }
        return best;
    }

    qsizetype m_paragraphs;
    QHash<QString, int> m_words;
    QHash<QString, int> m_pairs;
};

struct QueryTimes
{
    std::vector<qint64> first; // the first batch, up to 50 hits
    std::vector<qint64> all;
    int total = 0;
    int shown = 0;
    QString rejection;
};

QueryTimes timeQuery(LibrarySearch &search, const QString &query, int repeat)
{
    QueryTimes times;
    for (int run = 0; run <= repeat; ++run) {
        QEventLoop loop;
        QElapsedTimer clock;
        qint64 first = -1;
        const QMetaObject::Connection found = QObject::connect(
            &search, &LibrarySearch::hitsFound, &loop, [&](const QList<SearchHit> &hits, int total, bool complete) {
                if (first < 0)
                    first = clock.nsecsElapsed();
                if (!complete)
                    return;
                // The first run warms the caches up.
                if (run > 0) {
                    times.first.push_back(first);
                    times.all.push_back(clock.nsecsElapsed());
                }
                times.total = total;
                times.shown = int(hits.size());
                loop.quit();
            });
        const QMetaObject::Connection rejected =
            QObject::connect(&search, &LibrarySearch::searchRejected, &loop, [&](const QString &why) {
                times.rejection = why;
                loop.quit();
            });
        clock.start();
        search.search({query, std::nullopt, {}});
        loop.exec();
        QObject::disconnect(found);
        QObject::disconnect(rejected);
        if (!times.rejection.isEmpty())
            break;
    }
    return times;
}

QString ms(const bench::Stats &stats)
{
    return QStringLiteral("%1 ms (%2-%3)")
        .arg(stats.median, 0, 'f', 1)
        .arg(stats.min, 0, 'f', 1)
        .arg(stats.max, 0, 'f', 1);
}

qint64 fileSize(const QString &path)
{
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
}

struct Query
{
    QString label;
    QString text;
    double share;
    double targetMs;
};

struct Figures
{
    int documents = 0;
    double textMb = 0;
    double mbPerS = 0;
    double sizeRatio = 0;
    double stallMs = 0;
    QList<double> firstMs; // per query
    // Finding the citations of every document, over the whole indexing time.
    double citationShare = 0;
    double citedByMs = 0;
};

// The time documentCitations() takes over the library, as the indexer calls
// it: on text it has read and an outline it has parsed already.
double citationSeconds(const QString &library, qint64 *count)
{
    qint64 nanoseconds = 0;
    const QDir dir(library);
    for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        const DocumentText text = DocumentText::read(dir.filePath(name));
        const Outline outline = parseOutline(text);
        QElapsedTimer clock;
        clock.start();
        const std::vector<DocumentCitation> citations =
            documentCitations(text.text(), outline, DocumentName::ofFile(name, text.text()));
        nanoseconds += clock.nsecsElapsed();
        *count += qint64(citations.size());
    }
    return double(nanoseconds) / 1e9;
}

std::optional<Figures> measure(const std::vector<QStringList> &paragraphs, const QList<Query> &queries,
                               int documents, int passageLength, int repeat, const QString &workFolder)
{
    QTemporaryDir work(workFolder + QStringLiteral("/folivane-search-bench-XXXXXX"));
    const QString library = work.filePath(QStringLiteral("library"));
    const QString index = work.filePath(QStringLiteral("cache/search.sqlite"));
    QString error;
    QElapsedTimer clock;
    clock.start();
    if (!work.isValid() || !QDir().mkpath(library)) {
        out << "cannot make a folder in " << workFolder << "\n";
        return std::nullopt;
    }
    const qint64 bytes = genlibrary::writeLibrary(paragraphs, library, documents, &error);
    if (bytes < 0) {
        out << "cannot write the library: " << error << "\n";
        return std::nullopt;
    }
    Figures figures;
    figures.documents = documents;
    figures.textMb = double(bytes) / 1e6;
    out << QStringLiteral("\n== %1 documents, %2 MB of text (written in %3 s), passages of %4 characters ==\n")
               .arg(documents)
               .arg(figures.textMb, 0, 'f', 1)
               .arg(double(clock.elapsed()) / 1000, 0, 'f', 1)
               .arg(passageLength);

    LibrarySearch::Options options;
    options.passageLength = passageLength;
    {
        LibrarySearch search(index, options);
        // How late a 5 ms timer of this thread fires while the indexer works.
        QTimer tick;
        QElapsedTimer sinceTick;
        qint64 worstLate = 0;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            worstLate = std::max(worstLate, sinceTick.elapsed() - 5);
            sinceTick.restart();
        });
        QEventLoop loop;
        QObject::connect(&search, &LibrarySearch::indexIdle, &loop, &QEventLoop::quit);
        QObject::connect(&search, &LibrarySearch::message, [](const QString &text) { out << text << "\n"; });
        clock.restart();
        sinceTick.start();
        tick.start(5);
        search.updateFolders({library});
        loop.exec();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        figures.mbPerS = figures.textMb / seconds;
        figures.stallMs = double(worstLate);
        qint64 count = 0;
        const double citing = citationSeconds(library, &count);
        figures.citationShare = citing / seconds;
        out << QStringLiteral("finding the %1 citations: %2 s of it, %3%\n")
                   .arg(count)
                   .arg(citing, 0, 'f', 2)
                   .arg(figures.citationShare * 100, 0, 'f', 1);
        out << QStringLiteral("indexing: %1 s, %2 MB/s; a 5 ms timer of the main thread at most %3 ms late\n")
                   .arg(seconds, 0, 'f', 2)
                   .arg(figures.mbPerS, 0, 'f', 1)
                   .arg(worstLate);
    }
    figures.sizeRatio = double(fileSize(index)) / double(bytes);
    out << QStringLiteral("index: %1 MB, %2 of the text\n")
               .arg(double(fileSize(index)) / 1e6, 0, 'f', 1)
               .arg(figures.sizeRatio, 0, 'f', 3);

    {
        const CitationIndex citations(index, nullptr, 5000);
        std::vector<qint64> samples;
        size_t places = 0;
        for (int run = 0; run <= repeat; ++run) {
            QElapsedTimer query;
            query.start();
            places = citations.citedBy(QStringLiteral("RFC793")).size();
            if (run > 0)
                samples.push_back(query.nsecsElapsed());
        }
        figures.citedByMs = bench::summarize(samples).median;
        out << QStringLiteral("cited-by RFC 793: %1 places, %2 ms\n").arg(places).arg(figures.citedByMs, 0, 'f', 2);
    }

    LibrarySearch search(index, options);
    for (const Query &query : queries) {
        const QueryTimes times = timeQuery(search, query.text, repeat);
        if (!times.rejection.isEmpty()) {
            out << query.label << ": refused: " << times.rejection << "\n";
            figures.firstMs << -1;
            continue;
        }
        const bench::Stats first = bench::summarize(times.first);
        const bench::Stats all = bench::summarize(times.all);
        figures.firstMs << first.median;
        out << QStringLiteral("%1 %2 (%3% of paragraphs): %4 passages match; first hits %5, all %6 %7\n")
                   .arg(query.label, -13)
                   .arg(query.text, -28)
                   .arg(query.share * 100, 0, 'f', 2)
                   .arg(times.total, 7)
                   .arg(ms(first), -22)
                   .arg(times.shown)
                   .arg(ms(all));
    }
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures the library search on generated libraries."));
    parser.addHelpOption();
    const QCommandLineOption documentsOption(QStringLiteral("documents"),
                                             QStringLiteral("Library sizes, comma-separated (default 1000,10000)."),
                                             QStringLiteral("n,..."), QStringLiteral("1000,10000"));
    const QCommandLineOption passageOption(QStringLiteral("passage-length"),
                                           QStringLiteral("Characters after which a passage ends at a paragraph "
                                                          "(0: every paragraph on its own)."),
                                           QStringLiteral("n"), QString::number(LibrarySearch::Options().passageLength));
    const QCommandLineOption repeatOption(QStringLiteral("repeat"), QStringLiteral("Timed runs of each search."),
                                          QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption corpusOption(QStringLiteral("corpus"), QStringLiteral("Folder of RFC texts."),
                                          QStringLiteral("folder"), QStringLiteral(FOLIVANE_DEFAULT_CORPUS));
    const QCommandLineOption workOption(QStringLiteral("work"),
                                        QStringLiteral("Where the library is written, then deleted."),
                                        QStringLiteral("folder"), QDir::tempPath());
    const QCommandLineOption writeOption(QStringLiteral("write-library"),
                                         QStringLiteral("Only write a library of the first size into the folder."),
                                         QStringLiteral("folder"));
    parser.addOptions({documentsOption, passageOption, repeatOption, corpusOption, workOption, writeOption});
    parser.process(app);

    const std::vector<QStringList> paragraphs = genlibrary::readParagraphs(parser.value(corpusOption));
    if (paragraphs.empty()) {
        out << "no RFC texts in " << parser.value(corpusOption) << "\n";
        return 77;
    }
    if (parser.isSet(writeOption)) {
        QString error;
        const int count = parser.value(documentsOption).split(u',').first().toInt();
        const bool written = QDir().mkpath(parser.value(writeOption))
                             && genlibrary::writeLibrary(paragraphs, parser.value(writeOption), count, &error) >= 0;
        if (!written)
            out << "cannot write the library: " << error << "\n";
        return written ? 0 : 1;
    }
    const WordShares shares(paragraphs);
    const QString rare = shares.wordNear(0.01, false);
    const QString pair = shares.pairNear(0.01);
    const QString common = shares.wordNear(0.10, true);
    const QString commonest = shares.mostCommon();
    const QList<Query> queries = {
        {QStringLiteral("rare word"), rare, shares.share(rare), 50},
        {QStringLiteral("rare phrase"), u'"' + pair + u'"', shares.share(pair), 100},
        {QStringLiteral("common word"), common, shares.share(common), 100},
        {QStringLiteral("commonest"), commonest, shares.share(commonest), 100},
    };
    out << QStringLiteral("%1 paragraphs from %2\n").arg(paragraphs.size()).arg(parser.value(corpusOption));

    QList<Figures> all;
    for (const QString &count : parser.value(documentsOption).split(u',', Qt::SkipEmptyParts)) {
        const std::optional<Figures> figures =
            measure(paragraphs, queries, count.toInt(), parser.value(passageOption).toInt(),
                    parser.value(repeatOption).toInt(), parser.value(workOption));
        if (!figures)
            return 1;
        all << *figures;
    }

    out << "\n== checks (median of the first hits; targets for 10,000 documents) ==\n";
    for (const Figures &figures : std::as_const(all)) {
        out << QStringLiteral("%1 documents: indexing %2 MB/s (>= 20), index/text %3 (<= 0.6), citations %4% of "
                              "indexing (<= 10), cited-by %5 ms (<= 10)")
                   .arg(figures.documents, 6)
                   .arg(figures.mbPerS, 0, 'f', 1)
                   .arg(figures.sizeRatio, 0, 'f', 3)
                   .arg(figures.citationShare * 100, 0, 'f', 1)
                   .arg(figures.citedByMs, 0, 'f', 2);
        for (qsizetype i = 0; i < queries.size(); ++i)
            out << QStringLiteral(", %1 %2 ms (<= %3)")
                       .arg(queries[i].label)
                       .arg(figures.firstMs[i], 0, 'f', 1)
                       .arg(queries[i].targetMs);
        out << "\n";
    }
    if (all.size() > 1) {
        const Figures &small = all.first();
        const Figures &large = all.last();
        out << QStringLiteral("growth from %1 to %2 documents (text x%3):")
                   .arg(small.documents)
                   .arg(large.documents)
                   .arg(large.textMb / small.textMb, 0, 'f', 1);
        for (qsizetype i = 0; i < queries.size(); ++i)
            out << QStringLiteral(" %1 x%2").arg(queries[i].label).arg(large.firstMs[i] / small.firstMs[i], 0, 'f', 1);
        out << QStringLiteral(", MB/s x%1\n").arg(large.mbPerS / small.mbPerS, 0, 'f', 2);
    }
    return 0;
}
