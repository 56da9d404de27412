#include "benchrun.h"

#include "benchhost.h"
#include "documentwindow.h"
#include "documenttext.h"
#include "gendoc.h"
#include "genindex.h"
#include "documentname.h"
#include "librarylocator.h"
#include "rfcindex.h"
#include "appcontext.h"
#include "fontsettings.h"
#include "highlightfile.h"
#include "documentmanager.h"
#include "mainwindow.h"
#include "statefolder.h"
#include "statestore.h"
#include "textview.h"
#include "viewsettings.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QFuture>
#include <QElapsedTimer>
#include <QFont>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>

namespace bench {
namespace {

constexpr int WaitLimitMs = 300'000;

// Records which objects received a paint event since it was armed. Installed
// on the application, so it sees the viewport of a view that does not exist
// yet when the clock starts.
class PaintWatch : public QObject
{
public:
    PaintWatch() { qApp->installEventFilter(this); }
    ~PaintWatch() override { qApp->removeEventFilter(this); }

    void arm() { m_painted.clear(); }
    bool painted(const QObject *object) const { return m_painted.contains(object); }
    bool paintedAny() const { return !m_painted.isEmpty(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted.insert(watched);
        return false;
    }

private:
    QSet<const QObject *> m_painted;
};

void waitUntil(const std::function<bool()> &done, const char *what)
{
    QDeadlineTimer deadline(WaitLimitMs);
    while (!done()) {
        if (deadline.hasExpired())
            throw std::runtime_error(std::string("timed out waiting for ") + what);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

// How late a 10 ms timer fires at worst while it runs: the longest the
// event loop was kept from the user's input.
class LatenessWatch
{
public:
    static constexpr qint64 IntervalNs = 10'000'000;

    LatenessWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(int(IntervalNs / 1'000'000));
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_clock.start();
        m_timer.start();
    }
    qint64 worstNs() const { return std::max(m_worstNs, m_clock.nsecsElapsed() - m_lastNs - IntervalNs); }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_worstNs = std::max(m_worstNs, now - m_lastNs - IntervalNs);
        m_lastNs = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_worstNs = 0;
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The view's length: every line end counts two positions.
qint32 viewLength(const QString &text)
{
    return qint32(text.size() + text.count(u'\n'));
}

// `count` ranges spread evenly over the text, ascending and disjoint.
std::vector<TextRange> spreadRanges(qint32 length, int count)
{
    std::vector<TextRange> ranges;
    if (count <= 0 || length < 4)
        return ranges;
    count = std::min(count, length / 4);
    const qint64 step = length / count;
    const qint32 width = qint32(std::min<qint64>(40, step / 2));
    for (int i = 0; i < count; ++i) {
        const qint32 start = qint32(i * step + step / 4);
        ranges.push_back({start, start + width});
    }
    return ranges;
}

// Plain: headings in a stored font like the text's, every page break shown,
// no emphasis; what documents looked like before the reading aids.
enum class Look { ReadingAids, Plain };

// A main window on in-memory settings and silent dialogs, with its state
// folder in a temporary folder.
struct Session
{
    explicit Session(Look look = Look::ReadingAids)
    {
        if (!appDir.isValid())
            throw std::runtime_error("no temporary folder for the state files");
        if (look == Look::Plain) {
            ViewSettings view;
            view.hidePageBreaks = false;
            view.emphasiseRequirementWords = false;
            for (const auto &[name, value] : view.storedValues())
                settings.writeInteger(SettingsKeyPath, QLatin1String(name), value);
            // Any stored record but the defaults is used as stored, not in bold.
            settings.writeInteger(SettingsKeyPath + QStringLiteral("header"), QStringLiteral("charset"), 1);
        }
        QString error;
        stateStore = std::make_unique<StateStore>(prepareStateFolder(appDir.path(), &error));
        if (stateStore->folder().isEmpty())
            throw std::runtime_error(error.toStdString());
        fonts.read();
        context = std::make_unique<AppContext>(AppContext{settings, dialogs, fonts, *stateStore});
        form = std::make_unique<MainWindow>(*context);
        PaintWatch watch;
        form->show();
        waitUntil([&] { return watch.paintedAny(); }, "the main window");
        settle();
    }
    ~Session()
    {
        form->close();
        form.reset();
        settle();
    }

    // Clears what an earlier run left, then stores the ranges as the highlight file.
    void resetState(const QString &path, const std::vector<TextRange> &ranges)
    {
        const DocumentStateFiles files = stateStore->filesFor(path);
        QFile::remove(files.iniPath());
        QFile::remove(files.highlightPath());
        if (!ranges.empty() && !HighlightFile::write(files.highlightPath(), ranges))
            throw std::runtime_error("cannot write the highlight file");
    }

    struct Opened
    {
        DocumentWindow *window = nullptr;
        qint64 firstScreenNs = 0; // to the first paint of the text
        qint64 fullyOpenNs = 0;   // to the whole text in, highlights and top line restored
        qint64 worstLatenessNs = 0;
    };

    Opened open(const QString &path, PaintWatch &watch)
    {
        watch.arm();
        const LatenessWatch lateness;
        QElapsedTimer clock;
        clock.start();
        form->openDocument(path);
        const DocumentManager &documents = form->documentManager();
        waitUntil([&] { return documents.find(path) || !documents.isLoading(); }, "the document to be read");
        Opened opened;
        opened.window = documents.find(path);
        if (!opened.window)
            throw std::runtime_error("the document did not open: " + path.toStdString());
        const QWidget *viewport = opened.window->textView()->viewport();
        waitUntil([&] { return watch.painted(viewport); }, "the first paint of the text");
        opened.firstScreenNs = clock.nsecsElapsed();
        waitUntil([&] { return !documents.isLoading(); }, "the whole text");
        opened.fullyOpenNs = clock.nsecsElapsed();
        opened.worstLatenessNs = lateness.worstNs();
        return opened;
    }

    qint64 close(DocumentWindow *child)
    {
        QPointer<DocumentWindow> window(child);
        QElapsedTimer clock;
        clock.start();
        if (!child->close())
            throw std::runtime_error("the document window refused to close");
        waitUntil(
            [&] {
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                return window.isNull();
            },
            "the document window to go");
        const qint64 elapsed = clock.nsecsElapsed();
        settle();
        return elapsed;
    }

    QTemporaryDir appDir;
    BenchSettings settings;
    BenchDialogs dialogs;
    FontSettings fonts{settings};
    std::unique_ptr<StateStore> stateStore;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<MainWindow> form;
};

struct Samples
{
    std::vector<qint64> readFile, buildIndex, findLinks, loadText, styleHeadings, foldPages, restoreAnnotations,
        restoreView, openTotal, fullyOpen, worstLateness, findOne, findWalk, findBarOpen, findBarKey, close;
    int lines = 0;
    int headings = 0;
    int walkHits = 0;
    int restored = 0;
    int dialogs = 0;
    QSize viewSize;
    QFont viewFont;
};

// Walks every hit of the word: returns the number of stops before the search
// came back to the first hit.
int walkHits(DocumentWindow *child, const QString &word)
{
    TextView *view = child->textView();
    view->setSelectionStart(0);
    child->search(word, {});
    if (view->selectionLength() <= 0)
        return 0;
    const qint32 first = view->selectionStart();
    int hits = 1;
    for (;;) {
        child->searchAgain();
        if (view->selectionStart() == first)
            return hits;
        if (++hits > 50'000'000)
            throw std::runtime_error("the find walk does not come back to its first hit");
    }
}

// Opens a search as the find bar does, then types the text one key at a time
// (each key a new text to count, select and mark); returns the slowest key.
qint64 slowestFindBarKey(DocumentWindow *child, const QString &typed, qint64 *openNs)
{
    QElapsedTimer open;
    open.start();
    child->textView()->prepareSearch();
    *openNs = open.nsecsElapsed();
    qint64 slowest = 0;
    for (qsizetype length = 1; length <= typed.size(); ++length) {
        QElapsedTimer clock;
        clock.start();
        child->findMatch(typed.left(length), {}, 0, true);
        child->markMatches(typed.left(length), {});
        slowest = std::max(slowest, clock.nsecsElapsed());
    }
    child->markMatches(QString(), {});
    return slowest;
}

Samples runSeries(const Input &input, const Options &options, const std::vector<TextRange> &ranges,
                  bool withFind, const QString &commonWord)
{
    Samples samples;
    Session session;
    PaintWatch watch;
    for (int run = 0; run <= options.repeat; ++run) {
        const bool keep = run > 0; // the first run warms up
        session.resetState(input.path, ranges);
        const int dialogsBefore = session.dialogs.messages;
        const Session::Opened opened = session.open(input.path, watch);
        DocumentWindow *child = opened.window;
        const DocumentWindow::LoadTimings t = child->loadTimings();
        if (keep) {
            samples.readFile.push_back(t.readFile);
            samples.buildIndex.push_back(t.buildIndex);
            samples.findLinks.push_back(t.findLinks);
            samples.loadText.push_back(t.loadText);
            samples.styleHeadings.push_back(t.styleHeadings);
            samples.foldPages.push_back(t.foldPages);
            samples.restoreAnnotations.push_back(t.restoreAnnotations);
            samples.restoreView.push_back(t.restoreView);
            samples.openTotal.push_back(opened.firstScreenNs);
            samples.fullyOpen.push_back(opened.fullyOpenNs);
            samples.worstLateness.push_back(opened.worstLatenessNs);
        }
        samples.lines = child->record().outline.lineCount;
        samples.headings = int(child->record().outline.headings.size());
        samples.restored = int(child->record().highlights.ranges().size());
        samples.viewSize = child->textView()->size();
        samples.viewFont = child->textView()->font();

        if (withFind) {
            TextView *view = child->textView();
            view->setSelectionStart(0);
            QElapsedTimer clock;
            clock.start();
            child->search(gendoc::AbsentWord, {});
            const qint64 findNs = clock.nsecsElapsed();
            if (view->selectionLength() != 0)
                throw std::runtime_error("the word meant to be absent was found");
            clock.restart();
            samples.walkHits = walkHits(child, commonWord);
            const qint64 walkNs = clock.nsecsElapsed();
            qint64 barOpenNs = 0;
            const qint64 keyNs = slowestFindBarKey(child, QStringLiteral("must not"), &barOpenNs);
            if (keep) {
                samples.findOne.push_back(findNs);
                samples.findWalk.push_back(walkNs);
                samples.findBarKey.push_back(keyNs);
                samples.findBarOpen.push_back(barOpenNs);
            }
        }
        const qint64 closeNs = session.close(child);
        if (keep)
            samples.close.push_back(closeNs);
        samples.dialogs += session.dialogs.messages - dialogsBefore;
    }
    return samples;
}

struct LookSamples
{
    Samples aids;
    Samples plain;
};

// Opens with the reading aids and without, the runs taking turns so that a
// change in the machine's load falls on both alike.
LookSamples compareLooks(const Input &input, const Options &options)
{
    LookSamples samples;
    Session aids(Look::ReadingAids);
    Session plain(Look::Plain);
    PaintWatch watch;
    for (int run = 0; run <= options.repeat; ++run) {
        for (auto [session, into] : {std::pair{&aids, &samples.aids}, std::pair{&plain, &samples.plain}}) {
            session->resetState(input.path, {});
            const Session::Opened opened = session->open(input.path, watch);
            DocumentWindow *child = opened.window;
            if (run > 0) {
                into->styleHeadings.push_back(child->loadTimings().styleHeadings);
                into->foldPages.push_back(child->loadTimings().foldPages);
                into->openTotal.push_back(opened.firstScreenNs);
            }
            session->close(child);
        }
    }
    return samples;
}

// setPlainText on a plain view of the same size, up to its first paint. It
// gets the view's font and line-wrap mode, so that it lays out the same lines.
std::vector<qint64> bareSetPlainText(const QString &path, QSize size, const QFont &font, int repeat)
{
    const QString text = DocumentText::read(path).takeText();
    std::vector<qint64> samples;
    PaintWatch watch;
    for (int run = 0; run <= repeat; ++run) {
        auto edit = std::make_unique<QPlainTextEdit>();
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setFont(font);
        edit->resize(size);
        watch.arm();
        edit->show();
        waitUntil([&] { return watch.painted(edit->viewport()); }, "the plain view");
        settle();
        watch.arm();
        QElapsedTimer clock;
        clock.start();
        edit->setPlainText(text);
        waitUntil([&] { return watch.painted(edit->viewport()); }, "the first paint of the plain view");
        const qint64 elapsed = clock.nsecsElapsed();
        if (run > 0)
            samples.push_back(elapsed);
        edit.reset();
        settle();
    }
    return samples;
}

double mbPerS(qint64 bytes, const Stats &stats)
{
    return stats.median > 0 ? double(bytes) / 1e6 / (stats.median / 1e3) : 0;
}

} // namespace

std::optional<qint64> peakRssInChild(const QString &path, int highlights)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (env.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--rss-child"), path, QStringLiteral("--highlights"), QString::number(highlights)});
    if (!child.waitForFinished(WaitLimitMs) || child.exitCode() != 0)
        return std::nullopt;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("VmHWM_kb\t"))
            return line.mid(9).trimmed().toLongLong();
    }
    return std::nullopt;
}

int rssChildMain(const QString &path, int highlights)
{
    try {
        Session session;
        if (!path.isEmpty()) {
            // The bench's own copy of the text goes before the open: it is no part of the peak.
            const qint32 length = viewLength(DocumentText::read(path).text());
            session.resetState(path, spreadRanges(length, highlights));
            PaintWatch watch;
            session.open(path, watch);
        }
        settle();
        QTextStream(stdout) << "VmHWM_kb\t" << peakRssKb() << '\n';
    } catch (const std::exception &error) {
        QTextStream(stderr) << "rss child: " << error.what() << '\n';
        return 1;
    }
    return 0;
}

QList<Row> measureInput(const Input &input, const Options &options)
{
    QList<Row> rows;
    qint32 length = 0;
    {
        const DocumentText text = DocumentText::read(input.path);
        if (!text.ok())
            throw std::runtime_error(input.path.toStdString() + ": " + text.errorString().toStdString());
        length = viewLength(text.text());
    }
    const QString word = gendoc::CommonWord;
    const auto row = [&](const QString &label, const QString &measure, const std::vector<qint64> &ns) {
        Row r;
        r.input = label;
        r.bytes = input.bytes;
        r.measure = measure;
        r.stats = summarize(ns);
        return r;
    };

    const bool full = !options.openOnly;
    const Samples base = runSeries(input, options, {}, full, word);
    {
        Row read = row(input.label, QStringLiteral("read_decode"), base.readFile);
        read.mbPerS = mbPerS(input.bytes, *read.stats);
        rows << read;
        if (full)
            rows << row(input.label, QStringLiteral("bare_setPlainText"),
                        bareSetPlainText(input.path, base.viewSize, base.viewFont, options.repeat));
        Row index = row(input.label, QStringLiteral("build_index"), base.buildIndex);
        index.mbPerS = mbPerS(input.bytes, *index.stats);
        index.extra << std::pair{QStringLiteral("headings"), double(base.headings)};
        rows << index;
        Row links = row(input.label, QStringLiteral("find_links"), base.findLinks);
        links.mbPerS = mbPerS(input.bytes, *links.stats);
        rows << links;
        rows << row(input.label, QStringLiteral("load_text"), base.loadText);
        rows << row(input.label, QStringLiteral("style_headings"), base.styleHeadings);
        rows << row(input.label, QStringLiteral("fold_pages"), base.foldPages);
        Row restore = row(input.label, QStringLiteral("restore_highlights"), base.restoreAnnotations);
        restore.extra << std::pair{QStringLiteral("highlights"), double(base.restored)};
        rows << restore;
        rows << row(input.label, QStringLiteral("restore_view"), base.restoreView);
        Row open = row(input.label, QStringLiteral("open_total"), base.openTotal);
        open.extra << std::pair{QStringLiteral("lines"), double(base.lines)};
        rows << open;
        rows << row(input.label, QStringLiteral("fully_open"), base.fullyOpen);
        rows << row(input.label, QStringLiteral("worst_lateness"), base.worstLateness);
        if (full) {
            Row find = row(input.label, QStringLiteral("find_one"), base.findOne);
            find.mbPerS = mbPerS(input.bytes, *find.stats);
            rows << find;
            Row walk = row(input.label, QStringLiteral("find_walk"), base.findWalk);
            walk.extra << std::pair{QStringLiteral("hits"), double(base.walkHits)};
            rows << walk;
            rows << row(input.label, QStringLiteral("findbar_open"), base.findBarOpen);
            rows << row(input.label, QStringLiteral("findbar_slowest_key"), base.findBarKey);
        }
        rows << row(input.label, QStringLiteral("close"), base.close);
    }

    const LookSamples looks = compareLooks(input, options);
    for (const auto &[suffix, samples] : {std::pair{QStringLiteral(" aids"), &looks.aids},
                                          std::pair{QStringLiteral(" plain"), &looks.plain}}) {
        rows << row(input.label + suffix, QStringLiteral("style_headings"), samples->styleHeadings);
        rows << row(input.label + suffix, QStringLiteral("fold_pages"), samples->foldPages);
        rows << row(input.label + suffix, QStringLiteral("open_total"), samples->openTotal);
    }

    Row rss;
    rss.input = input.label;
    rss.bytes = input.bytes;
    rss.measure = QStringLiteral("rss_document");
    if (full) {
        rss.peakRssKb = peakRssInChild(input.path, 0).value_or(-1);
        rows << rss;
    }

    if (options.highlights > 0) {
        const std::vector<TextRange> ranges = spreadRanges(length, options.highlights);
        const Samples marked = runSeries(input, options, ranges, false, word);
        const QString label = input.label + QStringLiteral("+%1hl").arg(options.highlights);
        rows << row(label, QStringLiteral("read_decode"), marked.readFile);
        rows << row(label, QStringLiteral("build_index"), marked.buildIndex);
        rows << row(label, QStringLiteral("load_text"), marked.loadText);
        rows << row(label, QStringLiteral("style_headings"), marked.styleHeadings);
        rows << row(label, QStringLiteral("fold_pages"), marked.foldPages);
        Row restore = row(label, QStringLiteral("restore_highlights"), marked.restoreAnnotations);
        restore.extra << std::pair{QStringLiteral("highlights"), double(marked.restored)};
        if (marked.dialogs > 0)
            restore.extra << std::pair{QStringLiteral("dialogs"), double(marked.dialogs)};
        rows << restore;
        rows << row(label, QStringLiteral("restore_view"), marked.restoreView);
        rows << row(label, QStringLiteral("open_total"), marked.openTotal);
        rows << row(label, QStringLiteral("fully_open"), marked.fullyOpen);
        rows << row(label, QStringLiteral("worst_lateness"), marked.worstLateness);
        rows << row(label, QStringLiteral("close"), marked.close);
        if (full) {
            rss.input = label;
            rss.peakRssKb = peakRssInChild(input.path, options.highlights).value_or(-1);
            rows << rss;
        }
    }
    return rows;
}

QList<Row> measureLibrary(const Options &options)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        throw std::runtime_error("no temporary folder for the library");
    QList<Row> rows;
    const QString indexPath = folder.filePath(QStringLiteral("rfc-index.xml"));
    {
        QFile file(indexPath);
        const QByteArray xml = genindex::generate(10'000);
        if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
            throw std::runtime_error("cannot write the generated RFC index");
    }
    std::vector<qint64> parse;
    qsizetype entries = 0;
    for (int run = 0; run <= options.repeat; ++run) {
        QElapsedTimer clock;
        clock.start();
        QFuture<RfcIndex> loading = RfcIndex::loadAsync(indexPath);
        loading.waitForFinished();
        if (run > 0)
            parse.push_back(clock.nsecsElapsed());
        entries = loading.result().size();
    }
    Row index;
    index.input = QStringLiteral("rfc-index-10000");
    index.bytes = QFileInfo(indexPath).size();
    index.measure = QStringLiteral("rfc_index_parse");
    index.stats = summarize(parse);
    index.extra << std::pair{QStringLiteral("entries"), double(entries)};
    rows << index;

    const QString library = folder.filePath(QStringLiteral("library"));
    QDir().mkpath(library);
    for (int rfc = 1; rfc <= 9000; ++rfc) {
        // Upper case: the exact names looked for first all miss, so every
        // lookup lists the folder, the slowest way.
        QFile file(library + QStringLiteral("/RFC%1.TXT").arg(rfc, 4, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the library");
    }
    std::vector<qint64> lookup;
    const LibraryLocator locator({QString(), library});
    for (int run = 0; run <= options.repeat; ++run) {
        QElapsedTimer clock;
        clock.start();
        const QString found = locator.find(*DocumentName::parse(QStringLiteral("RFC 793")));
        if (run > 0)
            lookup.push_back(clock.nsecsElapsed());
        if (found.isEmpty())
            throw std::runtime_error("the library lookup found nothing");
    }
    Row find;
    find.input = QStringLiteral("library-9000");
    find.measure = QStringLiteral("library_lookup");
    find.stats = summarize(lookup);
    rows << find;
    return rows;
}

} // namespace bench
