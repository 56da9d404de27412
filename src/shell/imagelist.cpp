#include "imagelist.h"

#include "palettecolours.h"

#include <QApplication>
#include <QHash>
#include <QImage>
#include <QPalette>

namespace {

// Mirrors the lightness of the pixels too dark to show on background.
QIcon lightened(const QIcon &icon, const QColor &background)
{
    constexpr double MinimumContrast = 3.0;
    QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 0 || pixel.lightnessF() >= 0.5
                || PaletteColours::contrast(pixel, background) >= MinimumContrast)
                continue;
            QColor light = QColor::fromHslF(pixel.hslHueF(), pixel.hslSaturationF(), 1.0 - pixel.lightnessF());
            light.setAlpha(pixel.alpha());
            image.setPixelColor(x, y, light);
        }
    }
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

QIcon ImageList::icon(int index)
{
    static QHash<std::pair<int, QRgb>, QIcon> cache;
    const QPalette palette = QApplication::palette();
    const bool dark = PaletteColours::isDark(palette);
    const std::pair<int, QRgb> key{index, dark ? palette.color(QPalette::Window).rgb() : 0};
    auto found = cache.find(key);
    if (found == cache.end()) {
        const QIcon image(QStringLiteral(":/icons/%1.png").arg(index));
        found = cache.insert(key, dark ? lightened(image, palette.color(QPalette::Window)) : image);
    }
    return *found;
}
