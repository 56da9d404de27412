#pragma once

#include "documentname.h"
#include "headingparser.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// A place where a document cites another RFC or Internet-Draft.
struct DocumentCitation
{
    // From the references section the citation resolves to: an entry under
    // "Normative References" or "Informative References", else unknown.
    enum class Kind { Unknown = 0, Normative = 1, Informative = 2 };

    QString cited;   // "RFC793", or a draft's name without revision
    int line = 0;    // counted from 1
    QString section; // the number of the citing section; empty before the first
    Kind kind = Kind::Unknown;

    friend bool operator==(const DocumentCitation &, const DocumentCitation &) = default;
};

// Every citation of another document in the text (lines separated by "\n"),
// in text order, as the links find them: "RFC 793", "[RFC793]" and "[34]"
// when that entry names one RFC, draft names. A citation of the document
// itself (self) is left out, and so is a second one of a document on one line. A direct mention takes the kind of the
// document's own references entry for the same RFC, when it has one.
std::vector<DocumentCitation> documentCitations(QStringView text, const Outline &outline,
                                                const std::optional<DocumentName> &self);

// "RFC793" for RFC 793 (and for BCP and STD numbers, which cite no RFC in
// particular: callers pass RFCs), a draft's name without revision: the key
// citations are kept by.
QString citationKey(const DocumentName &name);

// "normative", "informative", "unknown": as the command line prints them.
QString kindName(DocumentCitation::Kind kind);
