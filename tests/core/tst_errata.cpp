#include "documenttext.h"
#include "errata.h"
#include "erratumplacement.h"
#include "headingparser.h"
#include "testfiles.h"

#include <QTest>

Q_DECLARE_METATYPE(Placement::Kind)

// Reading the RFC Editor's errata list, and finding the lines errata correct
// in real RFCs. tests/data/errata/errata.json holds real entries, out of id order.
class TestErrata : public QObject
{
    Q_OBJECT

private:
    ErrataList m_list;

    Erratum erratum(int rfc, int id) const
    {
        const QList<Erratum> errata = m_list.errataOf(rfc);
        const auto found = std::find_if(errata.begin(), errata.end(), [id](const Erratum &e) { return e.id == id; });
        return found == errata.end() ? Erratum() : *found;
    }

private slots:
    void initTestCase()
    {
        QString error = QStringLiteral("unset");
        m_list = ErrataList::parse(readFile(QStringLiteral(FOLIVANE_ERRATA_DATA "/errata.json")), &error);
        QCOMPARE(error, QString());
        QCOMPARE(m_list.size(), 11);
    }

    void readsEntriesByRfcInIdOrder()
    {
        const QList<Erratum> errata = m_list.errataOf(793);
        QList<int> ids;
        for (const Erratum &e : errata)
            ids.append(e.id);
        QCOMPARE(ids, QList<int>({572, 1562, 2771, 4580, 6477}));
        const Erratum &first = errata.front();
        QCOMPARE(first.rfc, 793);
        QCOMPARE(first.status, Erratum::Status::Verified);
        QCOMPARE(first.type, QStringLiteral("Editorial"));
        QCOMPARE(first.section, QStringLiteral("2.1"));
        // CR LF becomes LF.
        QCOMPARE(first.original,
                 QStringLiteral("The format of data blocks exchanged within the a network will generally not \n"
                                "be of concern to us."));
        QCOMPARE(first.submitted, QStringLiteral("2006-02-18"));
        QCOMPARE(first.verifier, QString()); // null in the list
        QCOMPARE(first.updated, QStringLiteral("2019-09-10 16:09:03"));
        QCOMPARE(erratum(793, 4580).status, Erratum::Status::HeldForDocumentUpdate);
        QCOMPARE(erratum(793, 2771).status, Erratum::Status::Rejected);
        QCOMPARE(statusName(Erratum::Status::HeldForDocumentUpdate), QStringLiteral("Held for Document Update"));
        QVERIFY(m_list.errataOf(9110).isEmpty());
    }

    void skipsEntriesThatDoNotRead()
    {
        const QByteArray good = R"({"errata_id": "%1", "doc-id": "%2", "errata_status_code": "%3",
            "errata_type_code": "Technical", "section": "1", "orig_text": "a", "correct_text": "b", "notes": "",
            "submit_date": "2020-01-01", "submitter_name": "S", "verifier_name": null, "update_date": null})";
        const auto entry = [&good](const char *id, const char *document, const char *status) {
            return QByteArray(good).replace("%1", id).replace("%2", document).replace("%3", status);
        };
        QByteArray missing = entry("2", "RFC1", "Reported");
        missing.replace(R"("section": "1",)", "");
        const QByteArray json = '[' + entry("1", "RFC1", "Reported") + ',' + missing + ','
            + entry("x3", "RFC1", "Reported") + ',' + entry("4", "BCP14", "Reported") + ','
            + entry("5", "RFC1", "Pending") + ", 17, " + entry("6", "RFC2", "Rejected") + ']';
        QString error;
        const ErrataList list = ErrataList::parse(json, &error);
        QCOMPARE(error, QString());
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.errataOf(1).size(), 1);
        QCOMPARE(list.errataOf(1).front().id, 1);
        QCOMPARE(list.errataOf(2).front().status, Erratum::Status::Rejected);
    }

    void refusesDamagedJson_data()
    {
        QTest::addColumn<QByteArray>("json");
        const QByteArray real = readFile(QStringLiteral(FOLIVANE_ERRATA_DATA "/errata.json"));
        QTest::newRow("cut short") << real.first(real.size() / 2);
        QTest::newRow("no list") << QByteArray(R"({"errata": []})");
        QTest::newRow("empty") << QByteArray();
    }

    void refusesDamagedJson()
    {
        QFETCH(QByteArray, json);
        QString error;
        const ErrataList list = ErrataList::parse(json, &error);
        QVERIFY(list.isEmpty());
        QVERIFY(!error.isEmpty());
    }

    void readsSectionAndPage_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("page");
        QTest::newRow("number") << "5.2" << "5.2" << 0;
        QTest::newRow("final dot") << "5.2." << "5.2" << 0;
        QTest::newRow("worded") << "Section 5.2" << "5.2" << 0;
        QTest::newRow("short word") << "sec. 5.2" << "5.2" << 0;
        QTest::newRow("appendix") << "Appendix B" << "B" << 0;
        QTest::newRow("appendix part") << "APPENDIX a.2" << "A.2" << 0;
        QTest::newRow("bare appendix part") << "B.1." << "B.1" << 0;
        QTest::newRow("bare appendix letter") << "G" << "G" << 0;
        QTest::newRow("first of two") << "3.2 and 4.1" << "3.2" << 0;
        QTest::newRow("with paragraph") << "7., 2nd para" << "7" << 0;
        QTest::newRow("with page") << "3.9 p. 72" << "3.9" << 72;
        QTest::newRow("in a sentence") << "In Section 3.7, page 43, it says:" << "3.7" << 43;
        QTest::newRow("page only") << "On page 21, it says:" << "" << 21;
        QTest::newRow("footer") << "[Page 17]" << "" << 17;
        QTest::newRow("global") << "GLOBAL" << "" << 0;
        QTest::newRow("empty") << "" << "" << 0;
        QTest::newRow("sentence starting with A") << "A number of details in RFC 793" << "" << 0;
        QTest::newRow("table") << "Table 2" << "" << 0;
    }

    void readsSectionAndPage()
    {
        QFETCH(QString, field);
        QTEST(erratumSectionNumber(field), "section");
        QTEST(erratumPageNumber(field), "page");
    }

    void places_data()
    {
        QTest::addColumn<int>("rfc");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("section"); // instead of the erratum's, unless null
        QTest::addColumn<QString>("original"); // the same
        QTest::addColumn<int>("line");
        QTest::addColumn<Placement::Kind>("kind");
        QTest::addColumn<QString>("lineHolds");
        using Kind = Placement::Kind;
        const auto row = [](const char *name, int rfc, int id, int line, Kind kind, const char *lineHolds,
                            const QString &section = {}, const QString &original = {}) {
            QTest::newRow(name) << rfc << id << section << original << line << kind << QString::fromUtf8(lineHolds);
        };

        row("match across a page break", 791, 6184, 1207, Kind::Text, "units of 8 octets.  The");
        row("re-wrapped, from mid-line", 793, 572, 378, Kind::Text, "The format of data blocks");
        row("text left out with ...", 793, 1562, 1429, Kind::Text, "Remember");
        row("whole document when the section lacks it", 793, 572, 378, Kind::Text, "The format", QStringLiteral("3.9"));
        row("whole document for an unknown section", 793, 6477, 3878, Kind::Text, "unit of data transfered");
        row("whole document for a missing section", 793, 6477, 3878, Kind::Text, "unit of data", QStringLiteral("99"));
        row("heading when the text is not found", 793, 4580, 545, Kind::SectionHeading, "2.7.  Connection");
        row("not placed: no such text, no section", 3261, 2910, 0, Kind::NotPlaced, "");
        row("global without text", 793, 2771, 0, Kind::NotPlaced, "");
        row("no match that splits a word", 793, 572, 365, Kind::SectionHeading, "2.1.  Elements", {},
            QStringLiteral("he format of data blocks"));
        row("recurring text, first in its section", 3261, 4637, 11879, Kind::Text, "ghyHhHUujhJhjH77n8HHG");
        // The same text stands on pages 15, 17 and 19: the page named decides.
        row("recurring text on page 17", 792, 2935, 960, Kind::Text, "identifier");
        row("recurring text on page 19", 792, 2936, 1059, Kind::Text, "identifier");
        row("recurring text, first page named", 792, 577, 903, Kind::Text, "IP Fields");
        row("recurring text, first in the document", 792, 2936, 960, Kind::Text, "identifier",
            QStringLiteral("GLOBAL"));
    }

    void places()
    {
        QFETCH(int, rfc);
        QFETCH(int, id);
        QFETCH(QString, section);
        QFETCH(QString, original);
        QFETCH(int, line);
        QFETCH(QString, lineHolds);
        Erratum wanted = erratum(rfc, id);
        QCOMPARE(wanted.id, id);
        if (!section.isNull())
            wanted.section = section;
        if (!original.isNull())
            wanted.original = original;
        const DocumentText text = DocumentText::read(corpusFile(QStringLiteral("rfc%1.txt").arg(rfc)));
        QVERIFY(text.ok());

        const Placement placement = ErrataPlacer(text.text(), parseOutline(text)).place(wanted);
        QCOMPARE(placement.line, line);
        QTEST(placement.kind, "kind");
        if (line > 0)
            QVERIFY(text.text().split(u'\n').at(line - 1).contains(lineHolds));
    }
};

QTEST_APPLESS_MAIN(TestErrata)
#include "tst_errata.moc"
