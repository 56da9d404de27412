#pragma once

#include <QByteArray>

// Synthetic RFC indexes in the published rfc-index.xml format: RFC 1 to
// `entries`, each with the elements of a real entry (authors, date, formats,
// keywords, an abstract, status, stream, DOI), about one in ten obsoleting
// and one in five updating older RFCs (with the matching obsoleted-by and
// updated-by), errata on one in five, and a BCP and an STD entry of one or
// two RFCs per forty RFCs. Deterministic: the same count gives the same bytes.
namespace genindex {

QByteArray generate(int entries);

} // namespace genindex
