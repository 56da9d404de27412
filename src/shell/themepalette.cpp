#include "themepalette.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace ThemePalette {

namespace {

const QString FusionStyle = QStringLiteral("fusion");

void useStyle(const QString &name)
{
    if (QApplication::style()->name().compare(name, Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(name));
}

} // namespace

QPalette dark()
{
    const QColor window(0x2d, 0x2d, 0x2d);
    const QColor text(0xe8, 0xe8, 0xe8);
    const QColor disabledText(0x80, 0x80, 0x80);
    QPalette palette(window);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x26));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0xa8, 0xa8, 0xa8));
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(0xff, 0x70, 0x70));
    palette.setColor(QPalette::Light, QColor(0x58, 0x58, 0x58));
    palette.setColor(QPalette::Midlight, QColor(0x48, 0x48, 0x48));
    palette.setColor(QPalette::Mid, QColor(0x5a, 0x5a, 0x5a));
    palette.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x20));
    palette.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x62, 0xb8));
    palette.setColor(QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
    palette.setColor(QPalette::Link, QColor(0x7c, 0xb8, 0xff));
    palette.setColor(QPalette::LinkVisited, QColor(0xc8, 0xa2, 0xff));
    palette.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3a));
    palette.setColor(QPalette::ToolTipText, text);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x50, 0x50, 0x50));
    return palette;
}

void apply(ViewSettings::Theme theme, const QString &desktopStyle)
{
    switch (theme) {
    case ViewSettings::Theme::System:
        useStyle(desktopStyle);
        // An empty palette resolves to the style's and the desktop's.
        QApplication::setPalette(QPalette());
        break;
    case ViewSettings::Theme::Light:
        useStyle(FusionStyle);
        QApplication::setPalette(QApplication::style()->standardPalette());
        break;
    case ViewSettings::Theme::Dark:
        useStyle(FusionStyle);
        QApplication::setPalette(dark());
        break;
    }
}

} // namespace ThemePalette
