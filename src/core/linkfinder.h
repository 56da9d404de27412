#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <vector>

// Where a reference in a document's text leads.
struct LinkTarget
{
    enum class Kind {
        Rfc,        // another RFC: document
        RfcSection, // a section or appendix of another RFC: document, section
        Section,    // a section or appendix of this document: section
        Reference,  // an entry of this document's References: reference
        Draft,      // an Internet-Draft: document
        Url,        // a web address: url
    };

    Kind kind = Kind::Rfc;
    QString document;  // "RFC9110" (no leading zeros), or a draft name with or without revision
    QString section;   // "3.2", "A.1", "A"
    QString reference; // "[QUIC-TLS]", brackets included
    QString url;       // "https://...", line breaks removed

    // "RFC9110", "RFC9110#3.2", "#3.2", "#A.1", "#[QUIC-TLS]", the draft name
    // or the address.
    QString normalForm() const;
    // For a tool tip: "RFC 9110, Section 3.2", "Appendix A.1", "Reference [34]".
    QString description() const;
};

// A link's visible text as a range of UTF-16 units of the searched text. When
// the words of a reference are split across a line end ("Section\n   3.2"),
// the range covers the line feed and the next line's indentation too.
struct Link
{
    qint32 start = 0;
    qint32 length = 0;
    LinkTarget target;
};

// One entry of a document's References section.
struct ReferenceEntry
{
    // The section the entry stands in: "Normative References", "Informative
    // References", or one titled "References" alone.
    enum class Group { Unknown, Normative, Informative };

    QString tag;       // "[34]", "[RFC2119]", "[QUIC-TLS]"
    qint32 position = 0; // where the tag stands at the start of the entry
    QString document;  // "RFC2616" when the entry names one RFC only, else empty
    Group group = Group::Unknown;
};

// The entries, in text order, of the sections titled "References",
// "Normative References" or "Informative References". The text's lines are
// separated by "\n".
std::vector<ReferenceEntry> findReferenceEntries(QStringView text);

// Every link in the text (lines separated by "\n"), in text order; links
// never overlap. A citation tag leads to its reference entry when the
// document has one, else to the RFC it names ("[RFC2119]"), else nowhere.
// Page headers and footers hold no links; a table-of-contents line is one
// link to its section.
std::vector<Link> findLinks(QStringView text);

// The links and the reference entries of a document, from one reading of its
// layout, as a document window needs both.
struct DocumentLinks
{
    std::vector<Link> links;
    std::vector<ReferenceEntry> references;
};
DocumentLinks findDocumentLinks(QStringView text);
