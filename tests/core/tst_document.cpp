#include "document.h"
#include "highlightfile.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtConcurrent>

namespace {

// Everything a window takes from a document, one entry a line.
QStringList described(const Document &document)
{
    QStringList lines;
    const DocumentRecord &record = document.record();
    for (const Heading &h : record.outline.headings)
        lines << QStringLiteral("heading %1 %2 %3 %4 %5 %6 %7")
                     .arg(h.line).arg(h.position).arg(h.length).arg(h.level).arg(h.parent).arg(h.number, h.text);
    for (const Link &link : document.links())
        lines << QStringLiteral("link %1 %2 %3").arg(link.start).arg(link.length).arg(link.target.normalForm());
    for (const ReferenceEntry &entry : document.references())
        lines << QStringLiteral("reference %1 %2 %3").arg(entry.tag).arg(entry.position).arg(entry.document);
    for (const PageFold &fold : document.pageFolds())
        lines << QStringLiteral("fold %1 %2 %3").arg(fold.firstLine).arg(fold.lastLine).arg(fold.pageNumber);
    for (const Bookmark &bookmark : record.bookmarks) {
        if (!bookmark.isFree())
            lines << QStringLiteral("bookmark %1 %2").arg(bookmark.line).arg(bookmark.name);
    }
    for (const TextRange &range : record.highlights.ranges())
        lines << QStringLiteral("highlight %1 %2").arg(range.start).arg(range.end);
    lines << QStringLiteral("view %1 %2").arg(document.storedView().panelWidth.value_or(0)).arg(document.storedView().topLine);
    lines << QStringLiteral("lines %1, %2 characters").arg(record.outline.lineCount).arg(document.text().size());
    return lines;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

// The document without its window: read on any thread, with its state cut
// and merged as the window shows it, and saved back by the window's rules.
class TestDocument : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_stateFolder = m_dir.path() + QStringLiteral("/state/");
    StateStore m_store{m_stateFolder};

    QString documentFile(const QString &name, const QByteArray &bytes) const
    {
        const QString path = m_dir.path() + u'/' + name;
        writeFile(path, bytes);
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir().mkpath(m_stateFolder));
    }

    void readOnWorkerThreadMatchesMainThread()
    {
        const QString path = corpusFile(QStringLiteral("rfc2616.txt"));
        Document first = Document::read(path, m_store);
        QVERIFY2(first.ok(), qPrintable(first.errorString()));
        first.record().addBookmark(120, QStringLiteral("streams"));
        first.record().highlights.add(400, 480);
        first.markHighlightsChanged();
        QString error;
        QVERIFY2(first.saveState({210, 300}, &error), qPrintable(error));

        const Document onMain = Document::read(path, m_store);
        QThread *ranOn = nullptr;
        const Document onWorker = QtConcurrent::run([&] {
                                      ranOn = QThread::currentThread();
                                      return Document::read(path, m_store);
                                  }).result();
        QVERIFY(ranOn && ranOn != QThread::currentThread());
        QVERIFY(onWorker.ok());
        const QStringList expected = described(onMain);
        QCOMPARE(described(onWorker), expected);
        // Every part is there to compare.
        const QStringList kinds = {QStringLiteral("heading"), QStringLiteral("link"), QStringLiteral("reference"),
                                   QStringLiteral("fold"), QStringLiteral("bookmark 120 streams"),
                                   QStringLiteral("highlight 400 480"), QStringLiteral("view 210 300")};
        for (const QString &kind : kinds)
            QVERIFY2(!expected.filter(kind).isEmpty(), qPrintable(kind));
    }

    void unreadableDocumentTouchesNoState()
    {
        const QString path = documentFile(QStringLiteral("gone.txt"), numberedLines(40));
        Document before = Document::read(path, m_store);
        before.record().addBookmark(3, QStringLiteral("kept"));
        before.record().highlights.add(10, 20);
        before.markHighlightsChanged();
        QVERIFY(before.saveState({200, 5}, nullptr));
        const QStringList files = filesIn(m_stateFolder);
        const DocumentStateFiles state = m_store.filesFor(path);
        const QByteArray ini = readFile(state.iniPath());
        const QByteArray highlights = readFile(state.highlightPath());
        QVERIFY(!ini.isEmpty() && !highlights.isEmpty());

        QVERIFY(QFile::remove(path));
        Document unread = Document::read(path, m_store);
        QVERIFY(!unread.ok());
        QVERIFY(!unread.errorString().isEmpty());
        QCOMPARE(unread.record().bookmarkCount, 0);
        QVERIFY(unread.record().highlights.isEmpty());
        // Nothing was read, so nothing is written over.
        unread.record().highlights.add(1, 2);
        unread.markHighlightsChanged();
        QVERIFY(unread.saveState({300, 1}, nullptr));
        QCOMPARE(filesIn(m_stateFolder), files);
        QCOMPARE(readFile(state.iniPath()), ini);
        QCOMPARE(readFile(state.highlightPath()), highlights);
    }

    void savedStateReadsBack()
    {
        const QString path = documentFile(QStringLiteral("roundtrip.txt"), numberedLines(300));
        Document document = Document::read(path, m_store);
        QVERIFY(document.ok());
        DocumentRecord &record = document.record();
        record.addBookmark(7, QStringLiteral("dropped"));
        record.addBookmark(150, QStringLiteral("middle"));
        record.addBookmark(299, QStringLiteral("last line"));
        record.deleteBookmark(0);
        record.highlights.add(100, 160);
        record.highlights.add(2000, 2100);
        document.markHighlightsChanged();
        QString error;
        QVERIFY2(document.saveState({240, 57}, &error), qPrintable(error));

        const Document again = Document::read(path, m_store);
        QCOMPARE(again.storedView().panelWidth.value_or(0), 240);
        QCOMPARE(again.storedView().topLine, 57);
        QCOMPARE(again.record().bookmarkCount, 2);
        QCOMPARE(again.record().bookmarks[0], (Bookmark{150, QStringLiteral("middle")}));
        QCOMPARE(again.record().bookmarks[1], (Bookmark{299, QStringLiteral("last line")}));
        QCOMPARE(again.record().highlights.ranges(), (std::vector<TextRange>{{100, 160}, {2000, 2100}}));
        QVERIFY(!again.stateCut() && !again.highlightsDamaged() && !again.highlightFileUnread());
    }

    void highlightsAreWrittenOnceAndOnlyWhenReadable()
    {
        const QString path = documentFile(QStringLiteral("once.txt"), numberedLines(50));
        const QString highlightPath = m_store.filesFor(path).highlightPath();
        Document document = Document::read(path, m_store);
        QVERIFY(document.saveState({185, 1}, nullptr));
        QVERIFY2(!QFile::exists(highlightPath), "unchanged highlights are not written");
        document.record().highlights.add(30, 40);
        document.markHighlightsChanged();
        QVERIFY(document.saveState({185, 1}, nullptr));
        QVERIFY(QFile::remove(highlightPath));
        QVERIFY(document.saveState({185, 2}, nullptr));
        QVERIFY2(!QFile::exists(highlightPath), "highlights once written are not written again");

        // A highlight file that cannot be read stays as it is, and the rest is saved.
        QVERIFY(QDir().mkdir(highlightPath));
        Document unread = Document::read(path, m_store);
        QVERIFY(unread.highlightFileUnread());
        QCOMPARE(unread.highlightPath(), highlightPath);
        unread.record().addBookmark(4, QStringLiteral("saved"));
        unread.record().highlights.add(1, 5);
        unread.markHighlightsChanged();
        QString error;
        QVERIFY2(unread.saveState({185, 3}, &error), qPrintable(error));
        QVERIFY(QFileInfo(highlightPath).isDir());
        QCOMPARE(Document::read(path, m_store).record().bookmarks[0], (Bookmark{4, QStringLiteral("saved")}));
        QVERIFY(QDir(highlightPath).removeRecursively());
    }

    void storedHighlightsAreCutAndMerged()
    {
        // 8 characters, and 10 positions in the view: a line end counts two.
        const QString path = documentFile(QStringLiteral("short.txt"), "abc\ndef\n");
        const QString highlightPath = m_store.filesFor(path).highlightPath();
        QVERIFY(HighlightFile::write(highlightPath, {{2, 6}, {0, 3}, {8, 50}, {-1, 4}, {12, 20}, {5, 5}}));
        const Document document = Document::read(path, m_store);
        QCOMPARE(document.record().highlights.ranges(), (std::vector<TextRange>{{0, 6}, {8, 10}}));
        QVERIFY(document.highlightsDamaged());
        QVERIFY(!document.highlightsChanged());

        QVERIFY(HighlightFile::write(highlightPath, {{0, 10}}));
        QVERIFY(!Document::read(path, m_store).highlightsDamaged());
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
