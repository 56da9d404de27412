#pragma once

#include <QString>
#include <QStringView>

// How a passage of a document is cited: "RFC 9293, Section 3.10.7.4",
// "RFC 9293, Appendix A.1", "draft-ietf-x-y-03, Section 2". fileName may carry
// a directory; "rfc0793.txt" in any case names RFC 793, any other file is
// named by its name without the last extension. section is a section number
// ("3.10.7.4", "A.1", a trailing '.' is dropped) or empty for the whole
// document; one that starts with a letter is an appendix.
QString citation(QStringView fileName, QStringView section = {});

// The citation, then each line of the selected text below it prefixed with
// "> " (">" alone for blank lines). The first line loses its leading blanks,
// the others the indentation they share, so a passage quoted from mid-line or
// from an indented paragraph reads flush; trailing blanks, form feeds and
// blank lines around the passage are dropped.
QString quotedCitation(QStringView citation, QStringView selectedText);
