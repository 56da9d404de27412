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
    std::vector<int> entryOf; // the entry each heading's number stands for, or -1
    labels.reserve(headings.size());
    entryOf.reserve(headings.size());
    for (const Heading &heading : headings) {
        labels.push_back(readSectionLabel(QStringView(heading.text).trimmed(), LabelForms::WithBareLetter));
        entryOf.push_back(labels.back() ? contents.entryNumbered(labels.back()->number) : -1);
    }

    ContentsCheck check;
    const std::vector<ContentsEntry> &entries = contents.entries();
    for (size_t index = 0; index < entries.size(); ++index) {
        const ContentsEntry &entry = entries[index];
        int found = -1;
        bool sameTitle = false;
        for (size_t heading = 0; heading < headings.size() && !sameTitle; ++heading) {
            const int line = headings[heading].line;
            if (line <= contents.lastLine() || entryOf[heading] != int(index))
                continue;
            const QStringView next = size_t(line) < lines.size() ? lines[size_t(line)] : QStringView();
            sameTitle = contents.titleMatches(int(index), labels[heading]->title, next);
            if (found < 0 || sameTitle)
                found = int(heading);
        }
        ContentsCheck::Verdict verdict = ContentsCheck::Verdict::Missing;
        if (found >= 0) {
            const int parent = headings[size_t(found)].parent;
            const bool placed = entry.parent < 0 ? parent < 0 : parent >= 0 && entryOf[size_t(parent)] == entry.parent;
            verdict = placed ? ContentsCheck::Verdict::Ok : ContentsCheck::Verdict::Misplaced;
        }
        check.verdicts.push_back(verdict);
        check.bodyTitles.push_back(found >= 0 && !sameTitle ? labels[size_t(found)]->title.toString() : QString());
        ++(verdict == ContentsCheck::Verdict::Ok ? check.ok
           : verdict == ContentsCheck::Verdict::Missing ? check.missing
                                                       : check.misplaced);
    }
    for (const Heading &heading : headings)
        check.stray += contents.contains(heading.line) ? 1 : 0;
    return check;
}
