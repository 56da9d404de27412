#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A library of generated documents in the RFC layout (title block, numbered
// sections, pages of 58 lines with footers, form feeds and running headers)
// whose paragraphs are drawn from real RFCs, so that the words and their
// frequencies are those of the series.
namespace genlibrary {

// The indented body paragraphs of a folder of RFC texts, each as its lines;
// page furniture and headings left out.
std::vector<QStringList> readParagraphs(const QString &folder);

// Writes count documents rfc<10000 + i>.txt of 10 to 90 kB (50 kB on
// average) into folder. Deterministic. The bytes written, or -1 with the
// reason in *error.
qint64 writeLibrary(const std::vector<QStringList> &paragraphs, const QString &folder, int count, QString *error);

} // namespace genlibrary
