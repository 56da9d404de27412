#pragma once

#include "textview.h"
#include "viewsettings.h"

#include <optional>
#include <vector>

class Document;
class FontSettings;

// How a document's text looks in its view, as the view settings ask: the
// font at its zoom, the headings' format, the requirement words in bold,
// the highlights, and the page breaks folded.
class TextStyler
{
public:
    // The document gives the headings, highlights and page breaks; it must
    // outlive the styler.
    TextStyler(TextView &view, const FontSettings &fonts, const Document &document);

    const ViewSettings &settings() const { return m_settings; }
    void setSettings(const ViewSettings &settings) { m_settings = settings; }

    // Takes the font record and the application palette anew.
    void applyFont();
    // Sets the formats of the range afresh: headings, requirement words, and
    // highlights unless they are marked apart.
    void styleRange(TextView::Span range, bool highlights = true);
    // Every highlight of the document, or one new one.
    void markHighlights();
    void markHighlight(TextView::Span span);
    void foldPages();

private:
    const std::vector<TextView::Span> &requirementWords();

    TextView &m_view;
    const FontSettings &m_fonts;
    const Document &m_document;
    ViewSettings m_settings;
    // Looked for when first shown; empty when the document does not cite
    // the keywords' definition.
    std::optional<std::vector<TextView::Span>> m_requirementWords;
};
