#pragma once

#include <QString>
#include <QtGlobal>

// Synthetic documents in the paginated RFC layout: 72-column lines, a page
// footer ending in "[Page N]", a form-feed line, a running header, and about
// 3% numbered heading lines at three levels ("4.", "4.2.", "4.2.1.").
namespace gendoc {

// Occurs on about one body line in forty, so a find walk has a known number of stops.
inline const QString CommonWord = QStringLiteral("MUST");
// Occurs nowhere, so a search for it scans the whole text.
inline const QString AbsentWord = QStringLiteral("qzxjvkwy");

// Writes about targetBytes (never less; ends on a whole line with a line end).
// Deterministic: the same size gives the same bytes. Empty on success, else why not.
QString write(const QString &path, qint64 targetBytes);
// Words and spaces without a line end: a log or a minified file opened by mistake.
QString writeLongLine(const QString &path, qint64 targetBytes);

} // namespace gendoc
