#include "citation.h"

#include <QTest>

// Citing a document and quoting a passage of it.
class TestCitation : public QObject
{
    Q_OBJECT

private slots:
    void citation_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("citation");
        const char *const cases[][3] = {
            {"rfc9293.txt", "3.10.7.4", "RFC 9293, Section 3.10.7.4"},
            {"RFC9293.TXT", "", "RFC 9293"},
            {"rfc0793.txt", "3.", "RFC 793, Section 3"},
            {"/home/u/rfcs/rfc2616", "14.9", "RFC 2616, Section 14.9"},
            {"rfc9293.txt", "A.1", "RFC 9293, Appendix A.1"},
            {"rfc9293.txt", "B", "RFC 9293, Appendix B"},
            {"draft-ietf-x-y-03.txt", "2", "draft-ietf-x-y-03, Section 2"},
            {"notes.txt", "", "notes"},
            {"rfc9293-notes.txt", "", "rfc9293-notes"},
            {"rfc.txt", "1", "rfc, Section 1"},
            {"rfc0000.txt", "", "rfc0000"},
            {".profile", "", ".profile"},
        };
        for (const auto &[fileName, section, citation] : cases)
            QTest::addRow("%s %s", fileName, section) << QString::fromLatin1(fileName) << QString::fromLatin1(section)
                                                      << QString::fromLatin1(citation);
    }

    void citation()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, section);
        QFETCH(QString, citation);
        QCOMPARE(::citation(fileName, section), citation);
    }

    void quote_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("indented paragraph")
            << QStringLiteral("   The window MUST\n   be kept.\n") << QStringLiteral("RFC 1\n> The window MUST\n> be kept.");
        QTest::newRow("from mid-line, nested list")
            << QStringLiteral("of a line\n   o  item\n      more  \n\n   after")
            << QStringLiteral("RFC 1\n> of a line\n> o  item\n>    more\n>\n> after");
        QTest::newRow("blank lines and form feeds around") << QStringLiteral("\n\f\n   text\n\n")
                                                           << QStringLiteral("RFC 1\n> text");
        QTest::newRow("nothing but blanks") << QStringLiteral(" \n ") << QStringLiteral("RFC 1");
    }

    void quote()
    {
        QFETCH(QString, selection);
        QFETCH(QString, clipboard);
        QCOMPARE(quotedCitation(u"RFC 1", selection), clipboard);
    }
};

QTEST_APPLESS_MAIN(TestCitation)
#include "tst_citation.moc"
