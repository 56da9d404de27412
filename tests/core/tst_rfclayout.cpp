#include "rfclayout.h"

#include <QTest>

using RfcLayout::ContentsTitle;

// The page furniture every reader of a document agrees on.
class TestRfcLayout : public QObject
{
    Q_OBJECT

private slots:
    void footers_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("trailingPage");

        QTest::newRow("modern") << "Eddy                         Standards Track                   [Page 12]" << 12 << 12;
        QTest::newRow("lower case, form feed after") << "Postel                                  [page 3]\f" << 3 << 3;
        QTest::newRow("old left-hand page") << "[page 2]                                  Postel" << 2 << -1;
        QTest::newRow("in a sentence") << "as shown on the next page, see [Page 3]" << -1 << -1;
        QTest::newRow("not a number") << "Author                                    [Page x]" << -1 << -1;
        QTest::newRow("alone") << "   [Page 7]   " << 7 << 7;
        QTest::newRow("blank") << "   " << -1 << -1;
    }

    void footers()
    {
        QFETCH(QString, line);
        QFETCH(int, page);
        QFETCH(int, trailingPage);
        QCOMPARE(RfcLayout::footerPage(line), page);
        QCOMPARE(RfcLayout::trailingFooterPage(line), trailingPage);
    }

    void contentsTitles_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<ContentsTitle>("title");

        QTest::newRow("modern") << "Table of Contents" << ContentsTitle::Contents;
        QTest::newRow("indented capitals") << "                          TABLE OF CONTENTS\r" << ContentsTitle::Contents;
        QTest::newRow("short") << "Contents" << ContentsTitle::Contents;
        QTest::newRow("summary") << "             SUMMARY OF CONTENTS" << ContentsTitle::Summary;
        QTest::newRow("numbered heading") << "1.  Contents" << ContentsTitle::None;
        QTest::newRow("sentence") << "The table of contents" << ContentsTitle::None;
        QTest::newRow("empty") << "" << ContentsTitle::None;
    }

    void contentsTitles()
    {
        QFETCH(QString, line);
        QFETCH(ContentsTitle, title);
        QCOMPARE(RfcLayout::contentsTitle(line), title);
    }

    void runningHeaders()
    {
        QVERIFY(RfcLayout::isRunningHeader(u"RFC 9293                          TCP                        August 2022"));
        QVERIFY(RfcLayout::isRunningHeader(u"\fInternet-Draft            QUIC Transport"));
        QVERIFY(RfcLayout::isRunningHeader(u"                                                     September 1981"));
        QVERIFY(!RfcLayout::isRunningHeader(u"   The window is 12000 octets wide."));
        QVERIFY(!RfcLayout::isRunningHeader(u"   Port 20001 is reserved."));
    }

    void blanks()
    {
        QCOMPARE(RfcLayout::withoutBlanks(u"\f \t text \v\r"), u"text");
        QVERIFY(RfcLayout::isBlankLine(u" \f\r\t\v"));
        QVERIFY(!RfcLayout::isBlankLine(u"  ."));
    }
};

QTEST_APPLESS_MAIN(TestRfcLayout)
#include "tst_rfclayout.moc"
