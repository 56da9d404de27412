#include "documentwindow.h"
#include "textview.h"
#include "mainwindow.h"
#include "statefolder.h"
#include "appfixture.h"
#include "documenttext.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QRandomGenerator>
#include <QTabBar>
#include <QHelpEvent>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTreeWidget>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

void expectNothingOpened(AppFixture &app, const QString &path)
{
    QCOMPARE(app.form()->documents().size(), 0);
    QTRY_COMPARE(app.form()->mdiArea()->subWindowList().size(), 0);
    QCOMPARE(app.form()->fileTabs()->count(), 0);
    QVERIFY2(!QFileInfo::exists(app.iniPath(path)), qPrintable(app.iniPath(path)));
    QVERIFY(!QFileInfo::exists(app.highlightPath(path)));
}

// The program still answers: a plain document opens and closes after the hostile one.
void expectResponsive(AppFixture &app)
{
    const QString path = app.document(QStringLiteral("rfc-after.txt"), "1. Still here\n");
    DocumentWindow *window = app.open(path);
    QVERIFY(window);
    QCOMPARE(window->record().outline.lineCount, 1);
    QVERIFY(window->close());
}

// Unblocks an open() of a FIFO that nobody writes, should the program try
// one: a hang turns into a failure instead of a timeout.
class FifoWatchdog
{
public:
    explicit FifoWatchdog(const QString &fifo)
        : m_fifo(QFile::encodeName(fifo))
        , m_thread([this] {
            std::unique_lock lock(m_mutex);
            if (m_done.wait_for(lock, std::chrono::seconds(10), [this] { return m_finished; }))
                return;
            m_fired = true;
            const int fd = ::open(m_fifo.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        })
    {
    }
    // True when the program sat in the FIFO for 10 seconds.
    bool finish()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
        return m_fired;
    }

private:
    QByteArray m_fifo;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::atomic<bool> m_fired = false;
    std::thread m_thread;
};

// The faultfs shim, when the test runs under it: it can make one path
// unreadable even for root.
bool shimLoaded()
{
    return dlsym(RTLD_DEFAULT, "faultfs_write_count") != nullptr;
}

} // namespace

// Documents that are not what a reader expects, through the open command:
// each ends with the program responsive and at most one message shown.
class TestHostileDocuments : public QObject
{
    Q_OBJECT

private slots:
    // A heading holding markup showed as rich text in the index's tool tip:
    // an image naming a FIFO hung the window on hover.
    void markupInAToolTipShowsAsText()
    {
        AppFixture app;
        app.start()->resize(600, 400);
        const QByteArray title = "<img src=\"/nowhere/fifo\"> " + QByteArray(300, 'x');
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc-tip.txt"), "1.  " + title + "\n\ntext\n"));
        QTreeWidget *tree = window->indexTree();
        QVERIFY(tree->topLevelItemCount() > 0);
        const QRect item = tree->visualItemRect(tree->topLevelItem(0));
        QHelpEvent hover(QEvent::ToolTip, item.center(), tree->viewport()->mapToGlobal(item.center()));
        QApplication::sendEvent(tree->viewport(), &hover);
        QLabel *tip = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->inherits("QTipLabel") && widget->isVisible())
                tip = qobject_cast<QLabel *>(widget);
        QVERIFY(tip);
        QVERIFY(tip->text().contains(QStringLiteral("&lt;img")));
        QVERIFY(!tip->text().contains(QStringLiteral("<img")));
    }

    void oddTextOpens()
    {
        AppFixture app;
        app.start();

        const QString empty = app.document(QStringLiteral("rfc-empty.txt"), QByteArray());
        DocumentWindow *window = app.open(empty);
        QVERIFY(window);
        QCOMPARE(window->record().outline.lineCount, 0);
        QCOMPARE(window->textView()->textLength(), 0);
        QVERIFY(window->record().outline.headings.empty());
        QVERIFY(window->close());

        // Not UTF-8: read as Windows-1252, one character per byte, nothing dropped.
        const QString latin1 =
            app.document(QStringLiteral("rfc-latin1.txt"), "1. caf\xe9 na\xefve \xff\xfe\n\xc3\x28\n");
        window = app.open(latin1);
        QVERIFY(window);
        QCOMPARE(window->record().outline.lineCount, 2);
        QCOMPARE(window->textView()->toPlainText(), QStringLiteral("1. café naïve ÿþ\nÃ(\n"));
        QCOMPARE(window->record().outline.headings.size(), size_t(1));
        QVERIFY(window->close());

        // Carriage returns alone do not end lines: one line, and no line end at all.
        const QString crOnly = app.document(QStringLiteral("rfc-cr.txt"), "1. One\r2. Two\r3. Three\r");
        window = app.open(crOnly);
        QVERIFY(window);
        QCOMPARE(window->record().outline.lineCount, 0);
        QCOMPARE(window->textView()->lineCount(), 1);
        QCOMPARE(window->textView()->document()->blockCount(), 1);
        QVERIFY(window->close());

        QVERIFY(app.dialogs.errors.isEmpty());
        QVERIFY(app.dialogs.informations.isEmpty());
        expectResponsive(app);
    }

    // One NUL byte made the whole document unreadable.
    void strayNulShowsAsASymbol()
    {
        AppFixture app;
        app.start();
        QByteArray bytes = numberedLines(20);
        bytes[5] = '\0';
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc-nul.txt"), bytes));
        QVERIFY(window);
        QVERIFY(app.dialogs.errors.isEmpty());
        const QString shown = window->textView()->document()->firstBlock().text();
        QCOMPARE(shown.size(), bytes.indexOf('\n'));
        QCOMPARE(shown.at(5), QChar(0x2400));
        QCOMPARE(shown.mid(6), QString::fromLatin1(bytes.mid(6, bytes.indexOf('\n') - 6)));
    }

    void binaryDocumentIsRefused()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QByteArray noise(64 * 1024, Qt::Uninitialized);
        QRandomGenerator random(20240611);
        for (char &byte : noise)
            byte = char(random.bounded(256));
        noise[noise.size() / 2] = '\0';
        const QString path = app.document(QStringLiteral("rfc-noise.txt"), noise);

        app.dialogs.openFileAnswers.enqueue({path});
        form->action(Command::FileOpen)->trigger();
        app.settle();
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY(app.dialogs.errors[0].text.contains(path));
        QVERIFY(app.dialogs.errors[0].text.contains(QStringLiteral("NUL")));
        QVERIFY(app.dialogs.informations.isEmpty());
        expectNothingOpened(app, path);
        QCOMPARE(readFile(path), noise);

        // Too large to read: refused from its size alone, before any byte is read.
        const QString huge = app.document(QStringLiteral("rfc-huge.txt"), QByteArray());
        QVERIFY(QFile(huge).resize(DocumentText::MaxFileSize + 1)); // sparse
        QElapsedTimer clock;
        clock.start();
        app.open(huge);
        qInfo("a sparse file of 512 MB + 1 byte refused in %lld ms", clock.elapsed());
        QCOMPARE(app.dialogs.errors.size(), 2);
        QVERIFY(app.dialogs.errors[1].text.contains(huge));
        QVERIFY(app.dialogs.errors[1].text.contains(QStringLiteral("too large")));
        expectNothingOpened(app, huge);
        expectResponsive(app);
    }

    void longLinesOpen()
    {
        AppFixture app;
        app.start();

        // 20 MB without a line end: a last line is not counted.
        const QString noLineEnd = app.document(QStringLiteral("rfc-oneline.txt"), QByteArray(20 * 1024 * 1024, 'x'));
        QElapsedTimer clock;
        clock.start();
        DocumentWindow *window = app.open(noLineEnd);
        qInfo("20 MB with no line end opened in %lld ms", clock.elapsed());
        QVERIFY(window);
        clock.restart();
        QVERIFY(!window->textView()->viewport()->grab().isNull());
        qInfo("and painted in %lld ms", clock.elapsed());
        QCOMPARE(window->record().outline.lineCount, 0);
        QCOMPARE(window->textView()->textLength(), 20 * 1024 * 1024);
        clock.restart();
        QVERIFY(window->close());
        qInfo("and closed in %lld ms", clock.elapsed());

        // A line of 1 MB between two ordinary ones, as a heading: the index
        // shows it, and positions after it still line up.
        const QByteArray longHeading = "1. " + QByteArray(1024 * 1024, 'y');
        const QString longLine = app.document(QStringLiteral("rfc-longline.txt"),
                                              "intro\n" + longHeading + "\n2. After\n");
        clock.restart();
        window = app.open(longLine);
        qInfo("a 1 MB line opened in %lld ms", clock.elapsed());
        QVERIFY(window);
        QCOMPARE(window->record().outline.lineCount, 3);
        QCOMPARE(window->record().outline.headings.size(), size_t(2));
        QCOMPARE(window->record().outline.headings[0].length, longHeading.size());
        QCOMPARE(window->record().outline.headings[1].line, 3);
        QVERIFY(window->close());

        QVERIFY(app.dialogs.errors.isEmpty());
        QVERIFY(app.dialogs.informations.isEmpty());
        expectResponsive(app);
    }

    void nonRegularFilesAreNotRead()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString folder = app.dir.filePath(QStringLiteral("docs/rfc-folder.txt"));
        QVERIFY(QDir().mkpath(folder));
        const QString fifo = app.dir.filePath(QStringLiteral("docs/rfc-fifo.txt"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString zero = app.dir.filePath(QStringLiteral("docs/rfc0000.txt"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
        const QString folderLink = app.dir.filePath(QStringLiteral("docs/rfc-link.txt"));
        QVERIFY(QFile::link(folder, folderLink));

        for (const QString &path : {folder, fifo, zero, folderLink}) {
            FifoWatchdog watchdog(fifo);
            QElapsedTimer clock;
            clock.start();
            app.open(path);
            app.dialogs.openFileAnswers.enqueue({path});
            form->action(Command::FileOpen)->trigger();
            app.settle();
            QVERIFY2(!watchdog.finish(), qPrintable(path + QStringLiteral(": the program blocked on the FIFO")));
            qInfo("%s: left alone in %lld ms", qPrintable(QFileInfo(path).fileName()), clock.elapsed());
            expectNothingOpened(app, path);
        }
        // Nobody holds the FIFO open for reading.
        const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        QCOMPARE(writer, -1);
        QCOMPARE(errno, ENXIO);
        QVERIFY(app.dialogs.errors.isEmpty());
        QVERIFY(app.dialogs.informations.isEmpty());
        expectResponsive(app);
    }

    void documentGoneBeforeItOpens()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString path = app.document(QStringLiteral("rfc-gone.txt"), "1. Soon gone\n");
        app.dialogs.openFileAnswers.enqueue({path});
        QVERIFY(QFile::remove(path));
        form->action(Command::FileOpen)->trigger();
        QCOMPARE(app.dialogs.filters.size(), 1);
        QVERIFY(app.dialogs.errors.isEmpty());
        QVERIFY(app.dialogs.informations.isEmpty());
        expectNothingOpened(app, path);
        expectResponsive(app);
    }

    void unreadableDocumentIsReported()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString path = app.document(QStringLiteral("rfc-locked.txt"), "1. Locked away\n");
        if (::geteuid() == 0) {
            // Permission bits do not stop root: the shim refuses the open instead.
            if (!shimLoaded())
                QSKIP("running as root without the faultfs shim: nothing can make a file unreadable");
            qputenv("FAULTFS_PATH_PREFIX", QFile::encodeName(path));
            qputenv("FAULTFS_MODE", "eacces_open");
        } else {
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        }
        app.dialogs.openFileAnswers.enqueue({path});
        form->action(Command::FileOpen)->trigger();
        app.settle();
        qunsetenv("FAULTFS_MODE");
        qunsetenv("FAULTFS_PATH_PREFIX");

        QCOMPARE(app.dialogs.errors.size(), 1);
        QCOMPARE(app.dialogs.errors[0].text, QStringLiteral("Cannot open %1:\nPermission denied").arg(path));
        QVERIFY(app.dialogs.informations.isEmpty());
        expectNothingOpened(app, path);
        expectResponsive(app);
    }

    // A highlight file that could not be read loaded as none, and the next
    // close wrote the new highlights over it.
    void unreadableHighlightFileIsKept()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc-hl.txt"), numberedLines(20));
        const QString hl = app.highlightPath(path);
        const QByteArray bytes = QByteArray::fromHex("01000000" "0a000000" "14000000");
        writeFile(hl, bytes);
        if (::geteuid() == 0) {
            if (!shimLoaded())
                QSKIP("running as root without the faultfs shim: nothing can make a file unreadable");
            qputenv("FAULTFS_PATH_PREFIX", QFile::encodeName(hl));
            qputenv("FAULTFS_MODE", "eacces_open");
        } else {
            QVERIFY(QFile::setPermissions(hl, QFileDevice::WriteOwner));
        }
        DocumentWindow *window = app.open(path);
        qunsetenv("FAULTFS_MODE");
        qunsetenv("FAULTFS_PATH_PREFIX");
        QVERIFY(window);
        QVERIFY(window->record().highlights.isEmpty());
        QVERIFY(app.dialogs.errors.isEmpty() && app.dialogs.informations.isEmpty());
        QCOMPARE(app.strips(), QStringList{QStringLiteral("Highlights of %1 could not be read; they are kept unchanged").arg(path)});

        // A new highlight would be lost at close: it is refused, saying why.
        window->textView()->setSelectionStart(30);
        window->textView()->setSelectionLength(5);
        window->highlightSelection();
        QVERIFY(window->record().highlights.isEmpty());
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY(app.dialogs.errors[0].text.contains(QStringLiteral("cannot be changed")));
        QVERIFY(app.dialogs.errors[0].text.contains(hl));
        QVERIFY(window->close());
        QVERIFY(QFile::setPermissions(hl, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(readFile(hl), bytes);
        QCOMPARE(app.dialogs.errors.size(), 1);
    }
};

QTEST_MAIN(TestHostileDocuments)
#include "tst_hostile.moc"
