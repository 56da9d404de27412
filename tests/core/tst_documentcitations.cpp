#include "documentcitations.h"
#include "documenttext.h"
#include "testfiles.h"

#include <QTest>

namespace {

std::vector<DocumentCitation> citationsOfCorpus(const QString &name)
{
    const DocumentText text = DocumentText::read(corpusFile(name));
    return documentCitations(text.text(), parseOutline(text), DocumentName::ofFile(name, text.text()));
}

// The kinds the citations of one document take, once each.
QList<DocumentCitation::Kind> kindsOf(const std::vector<DocumentCitation> &citations, const QString &cited)
{
    QList<DocumentCitation::Kind> kinds;
    for (const DocumentCitation &citation : citations)
        if (citation.cited == cited && !kinds.contains(citation.kind))
            kinds << citation.kind;
    return kinds;
}

} // namespace

class TestDocumentCitations : public QObject
{
    Q_OBJECT

private slots:
    void kindComesFromTheReferencesSection()
    {
        const std::vector<DocumentCitation> citations = citationsOfCorpus(QStringLiteral("rfc9293.txt"));
        // RFC 793 is entry [16], under "8.2.  Informative References"; RFC 791 is [1], under "8.1.  Normative References".
        QCOMPARE(kindsOf(citations, QStringLiteral("RFC793")), QList{DocumentCitation::Kind::Informative});
        QCOMPARE(kindsOf(citations, QStringLiteral("RFC791")), QList{DocumentCitation::Kind::Normative});
        // Never itself, however often its first page and headers name it.
        QVERIFY(kindsOf(citations, QStringLiteral("RFC9293")).isEmpty());
        const auto inIntroduction = std::find_if(citations.begin(), citations.end(), [](const DocumentCitation &c) {
            return c.cited == u"RFC793" && c.section == u"1";
        });
        QVERIFY(inIntroduction != citations.end());
    }

    void citationsWithoutAReferencesSectionAreOfUnknownKind()
    {
        const QString text = QStringLiteral("1.  Intro\n\n   This updates RFC 768 and [RFC791], and see\n"
                                            "   draft-ietf-tcpm-rfc793bis-28 too.\n");
        Outline outline;
        outline.lineCount = 4;
        outline.headings.push_back({0, 1, 9, 1, -1, QStringLiteral("1"), QStringLiteral("1.  Intro")});
        const std::vector<DocumentCitation> citations = documentCitations(text, outline, std::nullopt);
        QCOMPARE(citations,
                 (std::vector<DocumentCitation>{{QStringLiteral("RFC768"), 3, QStringLiteral("1"), DocumentCitation::Kind::Unknown},
                                                {QStringLiteral("RFC791"), 3, QStringLiteral("1"), DocumentCitation::Kind::Unknown},
                                                {QStringLiteral("draft-ietf-tcpm-rfc793bis"), 4, QStringLiteral("1"),
                                                 DocumentCitation::Kind::Unknown}}));
    }
};

QTEST_APPLESS_MAIN(TestDocumentCitations)
#include "tst_documentcitations.moc"
