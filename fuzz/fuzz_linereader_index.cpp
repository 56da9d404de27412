// Bytes -> document file -> DocumentText::read -> parseOutline.
// Besides crashes, checks the heading table and the tree against a plain
// model of the index: which lines are headings, their positions, lines and
// lengths, the nesting, and the link between each node and its slot.

#include "documenttext.h"
#include "fuzzsupport.h"
#include "referencelevel.h"
#include "headingparser.h"

#include <algorithm>
#include <vector>

namespace {

struct Expected
{
    qint64 position = 0;
    qint32 line = 0;
    QString text;
    int parent = -1; // slot of the parent node; -1 at the top level
};

struct Model
{
    qint32 lineCount = 0;
    std::vector<Expected> headings;
};

// Straight from the rules: lines end at "\n" (the last line only counts with
// one), a heading starts with a numbered first word and a blank, a line end
// counts two positions, and nodes nest by the number's depth, climbing back
// one step per level.
Model model(const QString &text)
{
    Model m;
    QStringList lines = text.split(u'\n');
    lines.removeLast(); // the part after the last "\n": no line end
    qint64 position = 0;
    int current = -1;
    int previousLevel = 0;
    for (const QString &line : lines) {
        ++m.lineCount;
        const qsizetype blank = line.indexOf(u' ');
        const int level = blank > 0 ? fuzz::referenceLevel(QStringView(line).first(std::min<qsizetype>(blank, 255))) : 0;
        if (level > 0) {
            int parent = -1;
            if (level == 1 || current < 0) {
                parent = -1;
            } else if (level > previousLevel) {
                parent = current;
            } else {
                int at = current;
                for (int steps = previousLevel - level; steps > 0 && at >= 0; --steps)
                    at = m.headings[size_t(at)].parent;
                parent = at >= 0 ? m.headings[size_t(at)].parent : -1;
            }
            m.headings.push_back({position, m.lineCount, line, parent});
            current = int(m.headings.size()) - 1;
            previousLevel = level;
        }
        position += line.size() + 2;
    }
    return m;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::scratchPath(QStringLiteral("rfc9999.txt"));
    fuzz::writeBytes(path, bytes);

    const DocumentText text = DocumentText::read(path);
    // NUL bytes are the one reason a small regular file is refused.
    FUZZ_CHECK(text.ok() == !bytes.contains('\0'));
    if (!text.ok())
        return 0;
    // One carriage return before each line feed goes; others stay text.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    if (ascii)
        FUZZ_CHECK(text.text() == QString::fromLatin1(QByteArray(bytes).replace("\r\n", "\n")));
    FUZZ_CHECK(text.text().count(u'\n') == bytes.count('\n'));
    FUZZ_CHECK(text.text().size() <= bytes.size());

    const Outline doc = parseOutline(text);
    const Model expected = model(text.text());

    FUZZ_CHECK(doc.lineCount == expected.lineCount);
    FUZZ_CHECK(doc.headings.size() == expected.headings.size());
    for (size_t k = 0; k < doc.headings.size(); ++k) {
        const Heading &h = doc.headings[k];
        const Expected &e = expected.headings[k];
        FUZZ_CHECK(h.line >= 1 && h.line <= doc.lineCount);
        FUZZ_CHECK(h.position >= 0);
        if (k > 0) {
            FUZZ_CHECK(h.position > doc.headings[k - 1].position);
            FUZZ_CHECK(h.line > doc.headings[k - 1].line);
        }
        FUZZ_CHECK(h.position == e.position);
        FUZZ_CHECK(h.line == e.line);
        FUZZ_CHECK(h.length == e.text.size());
        FUZZ_CHECK(h.text == e.text);
        FUZZ_CHECK(h.parent == e.parent);
        FUZZ_CHECK(h.parent < int(k));
    }
    return 0;
}
