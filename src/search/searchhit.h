#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What the program knows of a document beyond its file: its RFC number and
// title, when the RFC index has them.
struct DocumentLabel
{
    int rfc = 0; // 0 when the file is not a known RFC
    QString title;
};

// One search: the query as the user typed it, and where to look.
struct SearchRequest
{
    QString query;
    // Only these documents; none for the whole index.
    std::optional<QStringList> documents;
    // Names a result's document. Called on the search thread: it must read
    // only what it owns, such as a copy of the RFC index.
    std::function<DocumentLabel(const QString &path)> label;
};

// One passage that matches, at its first match.
struct SearchHit
{
    QString path;
    DocumentLabel document;
    QString section;      // its number, "3.10.7.4"; empty before the first heading
    QString sectionTitle; // "SYN-RECEIVED STATE"
    int line = 0;         // counted from 1
    int column = 0;       // counted from 0
    int length = 0;       // in view positions, where each line end counts two
    QString snippet;      // one line of HTML, the matched words in <b>
    double score = 0;     // FTS5's bm25: lower is better
};
