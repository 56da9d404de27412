#pragma once

#include <QStringView>

#include <vector>

// A run of text, in UTF-16 code units from the start of the text it came from.
struct TextSpan
{
    qint32 start;
    qint32 length;
};

// Whether text cites the requirement-level keywords: "RFC 2119", "RFC 8174"
// or "BCP 14", with or without blanks (also a line break) between the letters
// and the number, as in "[RFC2119]" or "BCP14".
bool citesRequirementLevels(QStringView text);

// The requirement-level keywords in text: MUST, MUST NOT, REQUIRED, SHALL,
// SHALL NOT, SHOULD, SHOULD NOT, RECOMMENDED, NOT RECOMMENDED, MAY, OPTIONAL,
// in capitals and as whole words (letters, digits and '_' make up words, so
// "MAYBE" and "MUST_FLAG" are none). "MUST NOT" and the like are one span when
// only blanks on the same line separate the two words.
std::vector<TextSpan> findRequirementWords(QStringView text);
