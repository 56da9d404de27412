#include "palettecolours.h"

#include <QColor>
#include <QPalette>
#include <QTextCharFormat>

#include <cmath>

namespace PaletteColours {

namespace {

double relativeLuminance(const QColor &colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

} // namespace

bool isDark(const QPalette &palette)
{
    return relativeLuminance(palette.color(QPalette::Base)) < relativeLuminance(palette.color(QPalette::Text));
}

QTextCharFormat highlightFormat(const QPalette &palette)
{
    QTextCharFormat format;
    if (isDark(palette)) {
        format.setBackground(QColor(0x6b, 0x4a, 0x00));
        format.setForeground(QColor(0xff, 0xf2, 0xd6));
    } else {
        format.setBackground(QColor(255, 255, 0));
    }
    return format;
}

QColor matchMarkBackground(const QPalette &palette)
{
    const QColor selection = palette.color(QPalette::Highlight);
    return isDark(palette) ? selection.darker(160) : selection.lighter(160);
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace PaletteColours
