#pragma once

#include <QString>
#include <QStringView>

struct Outline;

// What the card over a link says of a place in the same document.
namespace LinkCard {

// A card stays a few lines long, however long the entry.
inline constexpr qsizetype MaxLength = 600;

// The References entry whose tag starts at position: its lines up to the
// next blank line, page break or entry, joined into one paragraph with
// single spaces.
QString referenceEntry(QStringView text, qint32 position);

// "Section 3.8.1.  Closing a Connection", the heading as the document writes
// it; empty when the document has no such section.
QString section(const Outline &outline, QStringView number);

} // namespace LinkCard
