#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Where Go To leads, from the one field the user types in.
struct GoToTarget
{
    enum class Kind { Line, Section, Page, Bookmark };

    Kind kind = Kind::Line;
    int number = 0;  // the line (from 1), the page, or the bookmark's place in the list given
    QString section; // "3.8.1", "A", "A.2"
};

// Reads "120" (a line), "3.8.1", "3.", "A.2", "Section 4", "Appendix B" or an
// index entry "3.8.1.  Title" (a section), "p 20" or "page 20" (a page), or
// one of the bookmark names, which win over every other reading. Nullopt
// when the text is none of these.
std::optional<GoToTarget> parseGoToTarget(const QString &text, const QStringList &bookmarkNames);
