#pragma once

#include "highlight_link.h"

#include <QString>

#include <vector>

// The highlight file: a header (written as 1, never read) followed by the
// start and end of each range, all signed 32-bit little-endian.

// The ranges as stored, unchecked; none when the file is missing or cannot be
// opened. A trailing fragment shorter than a whole range is ignored.
std::vector<Ctext_section> ReadHighlightFile(const QString &path);

// Writes path + ".tmp" and renames it over path, so a failed write leaves the
// old file as it was; the temporary file is removed then.
bool WriteHighlightFile(const QString &path, const std::vector<Ctext_section> &ranges);

// True when the file is gone afterwards, including when it never existed.
bool DeleteHighlightFile(const QString &path);
