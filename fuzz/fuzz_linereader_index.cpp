// Bytes -> document file -> DocumentText::read -> parseOutline.
// Besides crashes, checks the heading table and the tree against a plain
// model of the index: which lines are headings and their numbers (for inputs
// without a table of contents, whose rules are the plain ones), and always
// their positions, lines, lengths and texts, the nesting by number and the
// lookup of a section by its number.

#include "documenttext.h"
#include "fuzzsupport.h"
#include "referencelevel.h"
#include "headingparser.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

struct Expected
{
    qint32 line = 0;
    QString number;
};

struct Model
{
    QStringList lines; // the lines that end with a line end
    std::vector<qint64> positions;
    bool hasContents = false;
    std::vector<Expected> headings;
};

// The number of a first word: the first referenceLevel() runs of digits.
QString wordNumber(QStringView word, int level)
{
    static const QRegularExpression digits(QStringLiteral("[0-9]+"));
    QStringList parts;
    for (auto match = digits.globalMatch(word); match.hasNext() && parts.size() < level;)
        parts << match.next().captured();
    return parts.join(u'.');
}

// Straight from the rules: lines end at "\n" (the last line only counts with
// one), a line end counts two positions; a heading starts in column 0 with a
// numbered first word and a blank, or with "Appendix X." / "X.n." and a
// title. A table of contents changes which lines are headings: the model
// then leaves that to the parser and checks the rest.
Model model(const QString &text)
{
    static const QRegularExpression appendix(
        QStringLiteral("^(?:[Aa][Pp][Pp][Ee][Nn][Dd][Ii][Xx] ([A-Z])[.:]|([A-Z](?:\\.[0-9]+)+)\\.?) [ \\t\\f\\r]*[^ \\t\\f\\r]"));
    Model m;
    m.lines = text.split(u'\n');
    m.lines.removeLast(); // the part after the last "\n": no line end
    qint64 position = 0;
    for (const QString &line : std::as_const(m.lines)) {
        m.positions.push_back(position);
        position += line.size() + 2;
        const QString trimmed = line.trimmed();
        if (trimmed.compare(u"contents", Qt::CaseInsensitive) == 0
            || trimmed.compare(u"table of contents", Qt::CaseInsensitive) == 0)
            m.hasContents = true;
        const qsizetype blank = line.indexOf(u' ');
        const QStringView word = QStringView(line).first(std::max<qsizetype>(0, std::min<qsizetype>(blank, 255)));
        const int level = blank > 0 ? fuzz::referenceLevel(word) : 0;
        const QRegularExpressionMatch match = appendix.match(line);
        const int lineNumber = int(m.positions.size());
        if (level > 0)
            m.headings.push_back({lineNumber, wordNumber(word, level)});
        else if (blank > 0 && match.hasMatch())
            m.headings.push_back({lineNumber, match.captured(1) + match.captured(2)});
    }
    return m;
}

// "13" encloses "13.2" and "13.2.1", not "132" nor "13".
bool encloses(const QString &outer, const QString &inner)
{
    return inner.size() > outer.size() && inner.startsWith(outer) && inner[outer.size()] == u'.';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::scratchPath(QStringLiteral("rfc9999.txt"));
    fuzz::writeBytes(path, bytes);

    const DocumentText text = DocumentText::read(path);
    // A small regular file is refused only when control bytes (other than
    // tab to carriage return) are many: more than 8 and over one in twenty.
    const auto controls = std::count_if(bytes.begin(), bytes.end(), [](char c) {
        return uchar(c) < 0x09 || (uchar(c) > 0x0d && uchar(c) < 0x20);
    });
    FUZZ_CHECK(text.ok() == !(controls > 8 && controls * 20 > bytes.size()));
    if (!text.ok())
        return 0;
    // One carriage return before each line feed goes; others stay text; a
    // NUL shows as the NUL symbol, one character for one.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    if (ascii) {
        QString plain = QString::fromLatin1(QByteArray(bytes).replace("\r\n", "\n"));
        FUZZ_CHECK(text.text() == plain.replace(QChar(u'\0'), QChar(0x2400)));
    }
    FUZZ_CHECK(text.text().count(u'\n') == bytes.count('\n'));
    FUZZ_CHECK(text.text().size() <= bytes.size());

    const Outline doc = parseOutline(text);
    const Model expected = model(text.text());

    FUZZ_CHECK(doc.lineCount == expected.lines.size());
    if (!expected.hasContents) {
        FUZZ_CHECK(doc.headings.size() == expected.headings.size());
        for (size_t k = 0; k < doc.headings.size(); ++k) {
            FUZZ_CHECK(doc.headings[k].line == expected.headings[k].line);
            FUZZ_CHECK(doc.headings[k].number == expected.headings[k].number);
        }
    }
    for (size_t k = 0; k < doc.headings.size(); ++k) {
        const Heading &h = doc.headings[k];
        FUZZ_CHECK(h.line >= 1 && h.line <= doc.lineCount);
        if (k > 0) {
            FUZZ_CHECK(h.position > doc.headings[k - 1].position);
            FUZZ_CHECK(h.line > doc.headings[k - 1].line);
        }
        // The heading is its line from the first character after blanks.
        const QString &line = expected.lines[h.line - 1];
        const qsizetype indent = line.size() - h.text.size();
        FUZZ_CHECK(indent >= 0 && line.endsWith(h.text) && line.first(indent).trimmed().isEmpty());
        FUZZ_CHECK(h.position == expected.positions[size_t(h.line - 1)] + indent);
        FUZZ_CHECK(h.length == h.text.size());
        FUZZ_CHECK(!h.number.isEmpty() && h.level == h.number.count(u'.') + 1);
        // The parent is the nearest heading before whose number encloses this one's.
        int parent = int(k) - 1;
        while (parent >= 0 && !encloses(doc.headings[size_t(parent)].number, h.number))
            --parent;
        FUZZ_CHECK(h.parent == parent);
        const auto first = std::find_if(doc.headings.begin(), doc.headings.end(),
                                        [&h](const Heading &other) { return other.number == h.number; });
        FUZZ_CHECK(doc.findSection(h.number) == int(first - doc.headings.begin()));
    }
    return 0;
}
