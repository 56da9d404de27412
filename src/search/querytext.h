#pragma once

#include <QString>
#include <QStringView>

// What the user types, as FTS5 reads it: words, "quoted phrases", prefix*,
// AND, OR, NOT and parentheses. A word that FTS5 would refuse bare because
// of its punctuation ("SYN-RECEIVED", "TCP/IP", "e.g.") is quoted, so it is
// looked for as the phrase of its parts.
QString ftsQuery(QStringView userQuery);

// One line for the user on why FTS5 refused a query, from its error message.
QString rejectionText(const QString &ftsMessage);
