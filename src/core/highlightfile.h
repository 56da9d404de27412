#pragma once

#include "rangeset.h"

#include <QString>

#include <optional>
#include <vector>

// The highlight file: a header (written as 1, never read) followed by the
// start and end of each range, all signed 32-bit little-endian.
namespace HighlightFile {

// The ranges as stored, unchecked: empty when the file is missing, nothing
// when it exists but cannot be read. A trailing fragment shorter than a whole
// range is ignored.
std::optional<std::vector<TextRange>> read(const QString &path);

// Writes path + ".tmp" and renames it over path, so a failed write leaves the
// old file as it was; the temporary file is removed then.
bool write(const QString &path, const std::vector<TextRange> &ranges);

// True when the file is gone afterwards, including when it never existed.
bool remove(const QString &path);

} // namespace HighlightFile
