#pragma once

#include "documentname.h"

#include <QString>

#include <optional>

class QUrl;

// A document of the series, and maybe one of its sections, as the web
// addresses of the RFC Editor and the IETF name them.
struct DocumentAddress
{
    DocumentName name;
    QString section; // "3.8.1", "A", "A.2"; empty for the whole document
};

// The document an address of the RFC Editor or the IETF shows ("…/rfc/rfc9293",
// "….txt", "….html", "#section-3.8.1", "#appendix-A", "/doc/html/draft-…",
// "/archive/id/draft-…-NN.txt"); nullopt for every other address, which
// belongs to the browser.
std::optional<DocumentAddress> parseDocumentAddress(const QUrl &url);

// The address to share for a section of a document, or for the document
// when the section is empty: the RFC Editor's for an RFC, the datatracker's
// for a draft; empty when the name has none (a BCP, an STD, a draft without
// revision).
QString documentAddressUrl(const DocumentName &name, const QString &section);
