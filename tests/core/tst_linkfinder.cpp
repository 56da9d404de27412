#include "linkfinder.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

// Real entries from the References sections of rfc2616, rfc5661, rfc9000,
// rfc9293 and draft-ietf-idr-rt-derived-community-00, for the tags cited in
// the sentences below. Plain literals: moc misreads a raw string that holds
// a closing parenthesis before a quote.
const char CitedReferences[] =
    "\n"
    "\n"
    "8.  References\n"
    "\n"
    "   [4]   Eisler, M., Chiu, A., and L. Ling, \"RPCSEC_GSS Protocol\n"
    "         Specification\", RFC 2203, September 1997.\n"
    "\n"
    "   [9]        Ramaiah, A., Stewart, R., and M. Dalal, \"Improving TCP's\n"
    "              Robustness to Blind In-Window Attacks\", RFC 5961,\n"
    "              DOI 10.17487/RFC5961, August 2010,\n"
    "              <https://www.rfc-editor.org/info/rfc5961>.\n"
    "\n"
    "   [12]  Eisler, M., \"RPCSEC_GSS Version 2\", RFC 5403, February 2009.\n"
    "\n"
    "   [19]       Braden, R., Ed., \"Requirements for Internet Hosts -\n"
    "              Communication Layers\", STD 3, RFC 1122,\n"
    "              DOI 10.17487/RFC1122, October 1989,\n"
    "              <https://www.rfc-editor.org/info/rfc1122>.\n"
    "\n"
    "   [23]       Paxson, V., Allman, M., Dawson, S., Fenner, W., Griner,\n"
    "              J., Heavens, I., Lahey, K., Semke, J., and B. Volz, \"Known\n"
    "              TCP Implementation Problems\", RFC 2525,\n"
    "              DOI 10.17487/RFC2525, March 1999,\n"
    "              <https://www.rfc-editor.org/info/rfc2525>.\n"
    "\n"
    "   [33] Fielding, R., Gettys, J., Mogul, J., Frystyk, H. and T.\n"
    "        Berners-Lee, \"Hypertext Transfer Protocol -- HTTP/1.1\", RFC\n"
    "        2068, January 1997.\n"
    "\n"
    "   [50]       Black, D., Ed. and P. Jones, \"Differentiated Services\n"
    "              (Diffserv) and Real-Time Communication\", RFC 7657,\n"
    "              DOI 10.17487/RFC7657, November 2015,\n"
    "              <https://www.rfc-editor.org/info/rfc7657>.\n"
    "\n"
    "   [I-D.ietf-bess-evpn-igmp-mld-proxy]\n"
    "              Sajassi, A., Thoria, S., Mishra, M. P., Drake, J., and W.\n"
    "              Lin, \"Internet Group Management Protocol (IGMP) and\n"
    "              Multicast Listener Discovery (MLD) Proxies for Ethernet\n"
    "              VPN (EVPN)\", Work in Progress, Internet-Draft, draft-ietf-\n"
    "              bess-evpn-igmp-mld-proxy-21, 22 March 2022,\n"
    "              <https://datatracker.ietf.org/doc/html/draft-ietf-bess-\n"
    "              evpn-igmp-mld-proxy-21>.\n"
    "\n"
    "   [QUIC-TLS] Thomson, M., Ed. and S. Turner, Ed., \"Using TLS to Secure\n"
    "              QUIC\", RFC 9001, DOI 10.17487/RFC9001, May 2021,\n"
    "              <https://www.rfc-editor.org/rfc/rfc9001>.\n"
    "\n"
    "   [RFC8174]  Leiba, B., \"Ambiguity of Uppercase vs Lowercase in RFC\n"
    "              2119 Key Words\", BCP 14, RFC 8174, DOI 10.17487/RFC8174,\n"
    "              May 2017, <https://www.rfc-editor.org/rfc/rfc8174>.\n";

// Each link as "text => normal form", a line end in its text shown as "\n";
// only the links that start before `before`.
QStringList shown(QStringView text, const std::vector<Link> &links, qsizetype before)
{
    QStringList rows;
    for (const Link &link : links) {
        if (link.start < before) {
            QString visible = text.sliced(link.start, link.length).toString();
            visible.replace(u'\n', QStringLiteral("\\n"));
            rows << visible + QStringLiteral(" => ") + link.target.normalForm();
        }
    }
    return rows;
}

QStringList shown(QStringView text)
{
    return shown(text, findLinks(text), text.size());
}

// A document of the test corpus, lines separated by "\n".
QString corpusText(const QString &file)
{
    QFile f(corpusFile(file));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).remove(u'\r') : QString();
}

// Where the 1-based line starts.
qsizetype lineStartOf(const QString &text, int line)
{
    qsizetype start = 0;
    for (int i = 1; i < line; ++i)
        start = text.indexOf(u'\n', start) + 1;
    return start;
}

} // namespace

class TestLinkFinder : public QObject
{
    Q_OBJECT

private slots:
    void sentences_data()
    {
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QStringList>("links");
        const auto row = [](const char *name, const char *sentence, const QStringList &links) {
            QTest::newRow(name) << QString::fromUtf8(sentence) << links;
        };
        // Other documents and their sections.
        row("rfc9293:42", "   Internet Standards is available in Section 2 of RFC 7841.",
            {"Section 2 of RFC 7841 => RFC7841#2"});
        row("rfc9293:199", "   philosophy content in Sections 1 and 2 of RFC 793.  Other documents",
            {"Sections 1 => RFC793#1", "2 of RFC 793 => RFC793#2"});
        row("rfc9293:217", "   A list of changes from RFC 793 is contained in Section 5.",
            {"RFC 793 => RFC793", "Section 5 => #5"});
        row("rfc9293:1796", "   This has been a point of confusion historically, as explained in RFC\n   6691, Section 3.1.",
            {"RFC\\n   6691, Section 3.1 => RFC6691#3.1"});
        row("rfc9293:2456", "   (see RFC 1122, Section 3.3.4.2).", {"RFC 1122, Section 3.3.4.2 => RFC1122#3.3.4.2"});
        row("rfc9293:4215", "   The main body of this document was adapted from RFC 793's Section 3,",
            {"RFC 793's Section 3 => RFC793#3"});
        row("rfc9293:4904", "   discussion of this, see RFC 7657 (Sections 5.1, 5.3, and 6) [50].",
            {"RFC 7657 (Sections 5.1 => RFC7657#5.1", "5.3 => RFC7657#5.3", "6 => RFC7657#6", "[50] => #[50]"});
        row("rfc2616:9544", "   version of persistent connections described in section 19.7.1 of RFC\n   2068 [33].",
            {"section 19.7.1 of RFC\\n   2068 => RFC2068#19.7.1", "[33] => #[33]"});
        row("rfc2616:9282", "      - HTTP/1.1 clients and caches SHOULD assume that an RFC-850 date",
            {"RFC-850 => RFC850"});
        row("split before the number", "Section\n   3.2 of RFC 9110", {"Section\\n   3.2 of RFC 9110 => RFC9110#3.2"});
        row("without a blank", "RFC2119", {"RFC2119 => RFC2119"});
        // Citation tags: their entry, the RFC their entry names, the RFC they name.
        row("rfc9293:1650", "   a RST to show that data was lost (SHLD-3).  See [23], Section 2.17",
            {"[23], Section 2.17 => RFC2525#2.17"});
        row("rfc9293:3551", "      -  RFC 5961 [9], Section 3 describes a potential blind reset",
            {"RFC 5961 [9], Section 3 => RFC5961#3"});
        row("rfc9293:2181", "   paper\" situation described in Section 4.2.2.17 of [19].  The behavior",
            {"Section 4.2.2.17 of [19] => RFC1122#4.2.2.17"});
        row("rfc9293:1995", "        exceeds threshold R1, pass negative advice (see Section 3.3.1.4\n        of [19]) to",
            {"Section 3.3.1.4\\n        of [19] => RFC1122#3.3.1.4"});
        row("rfc9000:7857", "   Sections 4.9 and 4.10 of [RFC8126].",
            {"Sections 4.9 => RFC8126#4.9", "4.10 of [RFC8126] => RFC8126#4.10"});
        row("rfc9000:383", "   14 [RFC2119] [RFC8174] when, and only when, they appear in all",
            {"[RFC2119] => RFC2119", "[RFC8174] => #[RFC8174]"});
        row("rfc9000:269", "   integration of TLS and QUIC is described in more detail in\n   [QUIC-TLS].",
            {"[QUIC-TLS] => #[QUIC-TLS]"});
        row("rfc9000:5374", "   Retry Integrity Tag:  Defined in Section 5.8 (\"Retry Packet\n      Integrity\") of [QUIC-TLS].",
            {"Section 5.8 (\"Retry Packet\\n      Integrity\") of [QUIC-TLS] => RFC9001#5.8"});
        row("rfc5661:4287", "   Section 5.2.2, \"Context Creation Requests\", in [4]).  However,",
            {"Section 5.2.2, \"Context Creation Requests\", in [4] => RFC2203#5.2.2"});
        row("draft-ietf-idr-rt-derived-community-00:194",
            "   Section 9.5 \"EVI-RT Extended Community\" of\n   [I-D.ietf-bess-evpn-igmp-mld-proxy] describes",
            {"[I-D.ietf-bess-evpn-igmp-mld-proxy] => #[I-D.ietf-bess-evpn-igmp-mld-proxy]"});
        // This document.
        row("rfc2616:4615", "   the Cache-Control header in a response (see section 14.9.3).", {"section 14.9.3 => #14.9.3"});
        row("rfc2616:1437", "   HTTP uses Internet Media Types [17] in the Content-Type (section\n   14.17) and Accept (section 14.1)",
            {"section\\n   14.17 => #14.17", "section 14.1 => #14.1"});
        row("rfc2616:4189", "   sections 13.2.5, 13.2.6, and 13.12) which meets one of the following",
            {"sections 13.2.5 => #13.2.5", "13.2.6 => #13.2.6", "13.12 => #13.12"});
        row("rfc2616:862", "   protocol elements except the entity-body (see appendix 19.3 for", {"appendix 19.3 => #19.3"});
        row("rfc1001:3247", "   The two name fields are in second level encoded format (see section\n   14.)",
            {"section\\n   14 => #14"});
        row("rfc9000:4518", "   active connection migration to a new path.  Appendix A.4 describes",
            {"Appendix A.4 => #A.4"});
        // Drafts and web addresses.
        row("rfc9293:4724", "              Internet-Draft, draft-gont-tcpm-tcp-seccomp-prec-00, 29",
            {"draft-gont-tcpm-tcp-seccomp-prec-00 => draft-gont-tcpm-tcp-seccomp-prec-00"});
        row("rfc9293:4742", "              Header Diagrams\", Work in Progress, Internet-Draft, draft-\n"
                            "              mcquistin-augmented-ascii-diagrams-10, 7 March 2022,",
            {"draft-\\n              mcquistin-augmented-ascii-diagrams-10 => draft-mcquistin-augmented-ascii-diagrams-10"});
        row("without revision", "draft-ietf-quic-transport.", {"draft-ietf-quic-transport => draft-ietf-quic-transport"});
        row("rfc9293:4725", "              March 2012, <https://datatracker.ietf.org/doc/html/draft-\n"
                            "              gont-tcpm-tcp-seccomp-prec-00>.",
            {"https://datatracker.ietf.org/doc/html/draft-\\n              gont-tcpm-tcp-seccomp-prec-00 => "
             "https://datatracker.ietf.org/doc/html/draft-gont-tcpm-tcp-seccomp-prec-00"});
        row("rfc9000:37", "   https://www.rfc-editor.org/info/rfc9000.",
            {"https://www.rfc-editor.org/info/rfc9000 => https://www.rfc-editor.org/info/rfc9000"});
        row("rfc9293:55", "   (https://trustee.ietf.org/license-info) in effect on the date of",
            {"https://trustee.ietf.org/license-info => https://trustee.ietf.org/license-info"});
        // False friends.
        row("rfc3261:2221", "   standards-track RFCs.  This is to prevent servers from insisting that", {});
        row("RFC-compliant", "An RFC-compliant server", {});
        row("rfc3261:985", "   elements in a single section.  It does not dictate an implementation", {});
        row("rfc1001:548", "   information only.  The reader may chose to skip to the next section.", {});
        row("rfc9293:59", "   include Revised BSD License text as described in Section 4.e of the", {});
        row("rfc5661:18743", "      Section 6 of stringprep).", {});
        row("rfc5661:5132", "           opaque          other[12];", {});
        row("rfc2616:674", "Fielding, et al.            Standards Track                    [Page 12]\n\f\n"
                           "RFC 2616                        HTTP/1.1                       June 1999\n\n\n"
                           "   may apply only to the connection with the nearest, non-tunnel",
            {});
    }

    void sentences()
    {
        QFETCH(QString, sentence);
        QFETCH(QStringList, links);
        const QString text = sentence + QString::fromUtf8(CitedReferences);
        QCOMPARE(shown(text, findLinks(text), sentence.size()), links);
    }

    void tableOfContents_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("rfc2616, page break") << QString::fromUtf8(R"(Table of Contents

   1   Introduction ...................................................7
   1.1    Purpose......................................................7
   13.3.4   Rules for When to Use Entity Tags and Last-Modified Dates.89



Fielding, et al.            Standards Track                     [Page 6]
)" "\f" R"(
RFC 2616                        HTTP/1.1                       June 1999


   19.6.3   Changes from RFC 2068 ...................................172

1 Introduction

1.1 Purpose
)") << QStringList{"1   Introduction => #1", "1.1    Purpose => #1.1",
                   "13.3.4   Rules for When to Use Entity Tags and Last-Modified Dates => #13.3.4",
                   "19.6.3   Changes from RFC 2068 => #19.6.3"};
        QTest::newRow("rfc9293, no page numbers") << QString::fromUtf8(R"(Table of Contents

   1.  Purpose and Scope
     2.1.  Requirements Language
   Appendix A.  Other Implementation Notes
     A.1.  IP Security Compartment and Precedence
   Acknowledgments
   Author's Address

1.  Purpose and Scope

   In 1981, RFC 793 [16] was released, documenting the Transmission
)") << QStringList{"1.  Purpose and Scope => #1", "2.1.  Requirements Language => #2.1",
                   "Appendix A.  Other Implementation Notes => #A",
                   "A.1.  IP Security Compartment and Precedence => #A.1", "RFC 793 => RFC793"};
        QTest::newRow("draft, wrapped title") << QString::fromUtf8(R"(Table of Contents

   3.3.  Translated Route-target Extended Communities in
           [I-D.ietf-idr-legacy-rtc] . . . . . . . . . . . . . . . .   5
   4.  Security Considerations . . . . . . . . . . . . . . . . . . .   5

3.3.  Translated Route-target Extended Communities in
)") << QStringList{"3.3.  Translated Route-target Extended Communities in => #3.3",
                   "4.  Security Considerations => #4"};
        QTest::newRow("rfc791, ends at text") << QString::fromUtf8(R"(                           TABLE OF CONTENTS

    PREFACE ........................................................ iii

1.  INTRODUCTION ..................................................... 1

  1.1  Motivation .................................................... 1
APPENDIX A:  Examples & Scenarios ................................... 34

GLOSSARY ............................................................ 41

                                                                [Page i]

                                                          September 1981
Internet Protocol

                                PREFACE

This document specifies the DoD Standard Internet Protocol.  This

  2.  Send a datagram
)") << QStringList{"1.  INTRODUCTION => #1", "1.1  Motivation => #1.1", "APPENDIX A:  Examples & Scenarios => #A"};
        QTest::newRow("rfc5662 and rfc9293, no title") << QString::fromUtf8(R"(
      1.1. Requirements Language ......................................2
   Appendix A. Acknowledgments .......................................73
   2.  SYN-SENT     --> <SEQ=100><CTL=SYN>              ...
)") << QStringList{"1.1. Requirements Language => #1.1", "Appendix A. Acknowledgments => #A"};
    }

    void tableOfContents()
    {
        QFETCH(QString, document);
        QFETCH(QStringList, links);
        QCOMPARE(shown(document), links);
    }

    void referenceEntries_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("rfc2616, over a page break") << QString::fromUtf8(R"(
   [RFC6437] suggests deriving values using a pseudorandom function to

17 References

   [1] Alvestrand, H., "Tags for the Identification of Languages", RFC
       1766, March 1995.



Fielding, et al.            Standards Track                   [Page 158]
)" "\f" R"(
RFC 2616                        HTTP/1.1                       June 1999


   [3] Berners-Lee, T., "Universal Resource Identifiers in WWW", RFC
       1630, June 1994.

18 Authors' Addresses

   [3] Not a reference.
)") << QStringList{"[1] RFC1766", "[3] RFC1630"};
        QTest::newRow("rfc9000, tags on their own lines") << QString::fromUtf8(R"(23.1.  Normative References

   [BCP38]    Best Current Practice 38,
              <https://www.rfc-editor.org/info/bcp38>.
              At the time of writing, this BCP comprises the following:

              Ferguson, P. and D. Senie, "Network Ingress Filtering:
              Defeating Denial of Service Attacks which employ IP Source
              Address Spoofing", BCP 38, RFC 2827, DOI 10.17487/RFC2827,
              May 2000, <https://www.rfc-editor.org/info/rfc2827>.

   [EARLY-ASSIGN]
              Cotton, M., "Early IANA Allocation of Standards Track Code
              Points", BCP 100, RFC 7120, DOI 10.17487/RFC7120, January
              2014, <https://www.rfc-editor.org/rfc/rfc7120>.

   [RFC8174]  Leiba, B., "Ambiguity of Uppercase vs Lowercase in RFC
              2119 Key Words", BCP 14, RFC 8174, DOI 10.17487/RFC8174,
              May 2017, <https://www.rfc-editor.org/rfc/rfc8174>.
)") << QStringList{"[BCP38] ", "[EARLY-ASSIGN] RFC7120", "[RFC8174] RFC8174"};
        QTest::newRow("rfc791, centred title") << QString::fromUtf8(R"(
                               REFERENCES

[1]  Cerf, V., "The Catenet Model for Internetworking," Information
     Processing Techniques Office, Defense Advanced Research Projects
     Agency, IEN 48, July 1978.

[3]  Postel, J., "Internet Control Message Protocol - DARPA Internet
     Program Protocol Specification," RFC 792, USC/Information Sciences
     Institute, September 1981.
)") << QStringList{"[1] ", "[3] RFC792"};
        QTest::newRow("rfc1089, RFC-1067") << QString::fromUtf8(R"(References

     [1]  Case, J., Fedor, M., Schoffstall, M., and J. Davin, "A Simple
          Network Management Protocol", RFC-1067, University of
          Tennessee at Knoxville, NYSERNet, Inc., Rensselaer Polytechnic
          Institute, and Proteon, Inc., August 1988.

     [2]  DEC, "The Ethernet - A Local Area Network", Version 2.0,
          Digital Equipment Corporation, Intel Corporation, Xerox
          Corporation.

Authors' Addresses
)") << QStringList{"[1] RFC1067", "[2] "};
        QTest::newRow("rfc5661, RFC in the title") << QString::fromUtf8(R"(23.2.  Informative References

   [35]  Reynolds, J., Ed., "Assigned Numbers: RFC 1700 is Replaced by
         an On-line Database", RFC 3232, January 2002.
)") << QStringList{"[35] RFC3232"};
    }

    void referenceEntries()
    {
        QFETCH(QString, document);
        QFETCH(QStringList, entries);
        QStringList found;
        for (const ReferenceEntry &entry : findReferenceEntries(document)) {
            QCOMPARE(document.sliced(entry.position, entry.tag.size()), entry.tag);
            found << entry.tag + u' ' + entry.document;
        }
        QCOMPARE(found, entries);
    }

    void description_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("description");
        QTest::newRow("rfc") << "RFC 9110" << "RFC 9110";
        QTest::newRow("rfc section") << "Section 3.2 of [RFC9110]" << "RFC 9110, Section 3.2";
        QTest::newRow("rfc appendix") << "RFC 9000, Appendix A" << "RFC 9000, Appendix A";
        QTest::newRow("appendix") << "Appendix A.1" << "Appendix A.1";
        QTest::newRow("draft") << "draft-ietf-quic-transport-34" << "Internet-Draft draft-ietf-quic-transport-34";
    }

    void description()
    {
        QFETCH(QString, text);
        QFETCH(QString, description);
        const std::vector<Link> links = findLinks(text);
        QCOMPARE(links.size(), size_t(1));
        QCOMPARE(links.front().target.description(), description);
    }

    // A link of a real document, found on the line where it starts.
    void corpusLink_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("link");
        QTest::newRow("rfc9293") << "rfc9293.txt" << 144 << "RFC 793 => RFC793";
        QTest::newRow("rfc5662") << "rfc5662.txt" << 187 << "RFC 5661 => RFC5661";
        QTest::newRow("rfc2616") << "rfc2616.txt" << 4615 << "section 14.9.3 => #14.9.3";
        QTest::newRow("rfc9000") << "rfc9000.txt" << 291 << "Section 6 of [QUIC-RECOVERY] => RFC9002#6";
        QTest::newRow("rfc5661") << "rfc5661.txt" << 34099 << "RFC 2203 => RFC2203";
    }

    void corpusLink()
    {
        QFETCH(QString, file);
        QFETCH(int, line);
        QFETCH(QString, link);
        const QString text = corpusText(file);
        QVERIFY2(!text.isEmpty(), qPrintable(file + QStringLiteral(" is not in the corpus")));
        const qsizetype lineStart = lineStartOf(text, line);
        const qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        QStringList onLine;
        for (const Link &found : findLinks(text)) {
            if (found.start >= lineStart && found.start < lineEnd)
                onLine << shown(text, {found}, text.size());
        }
        QVERIFY2(onLine.contains(link), qPrintable(onLine.join(u';')));
    }

    // Every document of the corpus: links in text order, apart, inside the
    // text, and every tag they lead to has its entry.
    void wholeCorpus()
    {
        const QDir corpus(corpusFile(QString()));
        const QStringList files = corpus.entryList({QStringLiteral("*.txt")}, QDir::Files);
        QVERIFY2(!files.isEmpty(), qPrintable(corpus.path() + QStringLiteral(" holds no documents")));
        for (const QString &file : files) {
            const QString text = corpusText(file);
            QStringList tags;
            for (const ReferenceEntry &entry : findReferenceEntries(text))
                tags << entry.tag;
            qint32 end = 0;
            for (const Link &link : findLinks(text)) {
                const QString where = file + u' ' + shown(text, {link}, text.size()).join(QString());
                QVERIFY2(link.start >= end && link.length > 0 && link.start + link.length <= text.size(),
                         qPrintable(where));
                QVERIFY2(link.target.kind != LinkTarget::Kind::Reference || tags.contains(link.target.reference),
                         qPrintable(where));
                end = link.start + link.length;
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLinkFinder)
#include "tst_linkfinder.moc"
