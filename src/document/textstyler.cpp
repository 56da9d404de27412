#include "textstyler.h"

#include "document.h"
#include "fontsettings.h"
#include "fontstyle.h"
#include "palettecolours.h"
#include "requirementwords.h"

#include <QApplication>
#include <QTextCharFormat>

#include <algorithm>

namespace {

QTextCharFormat emphasisFormat()
{
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    return format;
}

// The parts of spans (ascending, bounds gives each one's start and end) that
// fall inside range.
template<typename Spans, typename Bounds>
std::vector<TextView::Span> clipped(const Spans &spans, TextView::Span range, Bounds bounds)
{
    std::vector<TextView::Span> inside;
    const qint32 rangeEnd = range.start + range.length;
    for (const auto &span : spans) {
        const auto [start, end] = bounds(span);
        if (end <= range.start)
            continue;
        if (start >= rangeEnd)
            break;
        const qint32 from = std::max(start, range.start);
        inside.push_back({from, std::min(end, rangeEnd) - from});
    }
    return inside;
}

} // namespace

TextStyler::TextStyler(TextView &view, const FontSettings &fonts, const Document &document)
    : m_view(view)
    , m_fonts(fonts)
    , m_document(document)
{
}

void TextStyler::applyFont()
{
    m_view.setFont(FontStyle::toFont(m_fonts.text, m_view.font(), m_settings.zoom));
    m_view.applyPalette(FontStyle::color(m_fonts.text, QApplication::palette(&m_view)));
}

void TextStyler::styleRange(TextView::Span range, bool highlights)
{
    if (range.length <= 0)
        return;
    m_view.clearFormat(range);
    const QPalette palette = m_view.palette();
    const auto headingBounds = [](const Heading &heading) {
        return std::pair{heading.position, heading.position + heading.length};
    };
    m_view.mergeFormat(clipped(m_document.record().outline.headings, range, headingBounds),
                       FontStyle::headingFormat(m_fonts.header, palette, m_settings.zoom));
    if (m_settings.emphasiseRequirementWords) {
        const auto wordBounds = [](const TextView::Span &word) {
            return std::pair{word.start, word.start + word.length};
        };
        m_view.mergeFormat(clipped(requirementWords(), range, wordBounds), emphasisFormat());
    }
    if (m_settings.underlineLinks) {
        QTextCharFormat dotted;
        dotted.setUnderlineStyle(QTextCharFormat::DotLine);
        dotted.setUnderlineColor(palette.color(QPalette::Link));
        const std::vector<TextView::Span> links = m_view.linkSpans(range);
        m_view.mergeFormat(links, dotted);
    }
    if (!highlights)
        return;
    const auto highlightBounds = [](const TextRange &highlight) { return std::pair{highlight.start, highlight.end}; };
    m_view.mergeFormat(clipped(m_document.record().highlights.ranges(), range, highlightBounds),
                       PaletteColours::highlightFormat(palette));
}

void TextStyler::markHighlights()
{
    std::vector<TextView::Span> spans;
    for (const TextRange &range : m_document.record().highlights.ranges())
        spans.push_back({range.start, range.end - range.start});
    m_view.mergeFormat(spans, PaletteColours::highlightFormat(m_view.palette()));
}

void TextStyler::markHighlight(TextView::Span span)
{
    m_view.mergeFormat({&span, 1}, PaletteColours::highlightFormat(m_view.palette()));
}

const std::vector<TextView::Span> &TextStyler::requirementWords()
{
    if (!m_requirementWords) {
        m_requirementWords.emplace();
        const QString &text = m_view.text();
        if (citesRequirementLevels(text)) {
            for (const TextSpan &word : findRequirementWords(text)) {
                const qint32 start = m_view.indexToViewPosition(word.start);
                m_requirementWords->push_back(
                    {start, m_view.indexToViewPosition(word.start + word.length) - start});
            }
        }
    }
    return *m_requirementWords;
}

void TextStyler::foldPages()
{
    m_view.setPageFolds(m_settings.hidePageBreaks ? m_document.pageFolds() : std::vector<PageFold>());
}
