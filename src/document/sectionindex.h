#pragma once

#include <QStringView>

class Crfc_doc;
class DocumentText;
class QTreeWidget;

// The section depth of a line's first word ("4.2.1" is 3), or 0 when the
// word is not a section number.
int heading_level(QStringView word);

// Counts the document's lines and records its numbered section headings in
// doc, with one tree node per heading, nested by section depth.
void BuildIndex(const DocumentText &text, Crfc_doc &doc, QTreeWidget *tree);
