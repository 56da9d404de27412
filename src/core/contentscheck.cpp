#include "contentscheck.h"

#include "headingparser.h"
#include "sectionlabel.h"
#include "tableofcontents.h"

#include <optional>

ContentsCheck checkAgainstContents(const Outline &outline, const TableOfContents &contents,
                                   std::span<const QStringView> lines)
{
    const std::vector<Heading> &headings = outline.headings;
    std::vector<std::optional<SectionLabel>> labels;
    labels.reserve(headings.size());
    for (const Heading &heading : headings)
        labels.push_back(readSectionLabel(QStringView(heading.text).trimmed(), LabelForms::WithBareLetter));
    const auto numberOf = [&labels](int heading) {
        return heading >= 0 && labels[size_t(heading)] ? labels[size_t(heading)]->number : QStringView();
    };

    ContentsCheck check;
    const std::vector<ContentsEntry> &entries = contents.entries();
    for (size_t index = 0; index < entries.size(); ++index) {
        const ContentsEntry &entry = entries[index];
        int found = -1;
        for (size_t heading = 0; heading < headings.size() && found < 0; ++heading) {
            const int line = headings[heading].line;
            const QStringView next = size_t(line) < lines.size() ? lines[size_t(line)] : QStringView();
            if (line > contents.lastLine() && numberOf(int(heading)) == entry.number
                && contents.titleMatches(int(index), labels[heading]->title, next))
                found = int(heading);
        }
        ContentsCheck::Verdict verdict = ContentsCheck::Verdict::Missing;
        if (found >= 0) {
            const int parent = headings[size_t(found)].parent;
            const bool placed = entry.parent < 0 ? parent < 0
                                                 : parent >= 0 && numberOf(parent) == entries[size_t(entry.parent)].number;
            verdict = placed ? ContentsCheck::Verdict::Ok : ContentsCheck::Verdict::Misplaced;
        }
        check.verdicts.push_back(verdict);
        ++(verdict == ContentsCheck::Verdict::Ok ? check.ok
           : verdict == ContentsCheck::Verdict::Missing ? check.missing
                                                       : check.misplaced);
    }
    for (const Heading &heading : headings)
        check.stray += contents.contains(heading.line) ? 1 : 0;
    return check;
}
