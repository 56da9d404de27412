#pragma once

#include <QString>

#include <vector>

class DocumentText;
struct Outline;

// A piece of a document that the index keeps as one row: lines of one
// section, without blank lines and page furniture (footers, running headers).
struct Passage
{
    QString text;           // its lines joined by "\n"
    std::vector<int> lines; // the document line of each, counted from 1
};

// The passages of a document in order: a new one at each heading, and after
// a paragraph that brings the current one to maxLength characters (0: every
// paragraph on its own). A paragraph that runs on without a blank line is cut
// at a line once the passage is four times that long, or 8,192 characters.
std::vector<Passage> splitPassages(const DocumentText &document, const Outline &outline, int maxLength);
