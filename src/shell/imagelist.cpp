#include "imagelist.h"

#include "palettecolours.h"

#include <QApplication>
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
    static constexpr const char *FileNames[] = {
        "open",           "copy",     "add-bookmark",     "find", "find-next",  "tile-horizontally",
        "tile-vertically", "cascade", "active-tab",       "other-tab", "highlight", "cancel-highlight",
        "back",           "forward",
    };
    static_assert(std::size(FileNames) == Forward + 1);
    const QIcon image(QStringLiteral(":/icons/%1.png").arg(QLatin1String(FileNames[index])));
    const QPalette palette = QApplication::palette();
    return PaletteColours::isDark(palette) ? lightened(image, palette.color(QPalette::Window)) : image;
}
