#include "appearancecontroller.h"

#include "appcontext.h"
#include "commandset.h"
#include "dialogs.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "filetabs.h"
#include "fontsettings.h"
#include "fontstyle.h"
#include "themepalette.h"
#include "usersettings.h"

#include <QApplication>
#include <QMdiArea>
#include <QStyle>

AppearanceController::AppearanceController(AppContext &context, CommandSet &commands, DocumentManager &documents,
                                           FileTabs &tabs, QMdiArea &area, QWidget &window)
    : QObject(&window)
    , m_context(context)
    , m_commands(commands)
    , m_documents(documents)
    , m_tabs(tabs)
    , m_area(area)
    , m_window(window)
    , m_desktopStyle(QApplication::style()->name())
    , m_view(ViewSettings::read(context.settings))
{
    commands.onTriggered(Command::ConfigTextFont, this, [this] { chooseFont(m_context.fonts.text, false); });
    commands.onTriggered(Command::ConfigHeaderFont, this, [this] { chooseFont(m_context.fonts.header, true); });
    commands.onTriggered(Command::ViewZoomIn, this, [this] { setZoom(m_view.zoomedBy(1)); });
    commands.onTriggered(Command::ViewZoomOut, this, [this] { setZoom(m_view.zoomedBy(-1)); });
    commands.onTriggered(Command::ViewActualSize, this, [this] { setZoom(ViewSettings::DefaultZoom); });
    const auto toggle = [this, &commands](Command command, bool ViewSettings::*shown) {
        commands.action(command)->setChecked(m_view.*shown);
        commands.onTriggered(command, this, [this, shown](bool checked) {
            m_view.*shown = checked;
            apply();
        });
    };
    toggle(Command::ViewHidePageBreaks, &ViewSettings::hidePageBreaks);
    toggle(Command::ViewEmphasiseRequirementWords, &ViewSettings::emphasiseRequirementWords);
    toggle(Command::ViewUnderlineLinks, &ViewSettings::underlineLinks);
    toggle(Command::ViewIndexPanel, &ViewSettings::showIndexPanel);
    commands.onTriggered(Command::ViewThemeSystem, this, [this] { setTheme(ViewSettings::Theme::System); });
    commands.onTriggered(Command::ViewThemeLight, this, [this] { setTheme(ViewSettings::Theme::Light); });
    commands.onTriggered(Command::ViewThemeDark, this, [this] { setTheme(ViewSettings::Theme::Dark); });
    connect(&documents, &DocumentManager::opened, this, [this](DocumentWindow *document) {
        connect(document->textView(), &TextView::zoomRequested, this,
                [this](int steps) { setZoom(m_view.zoomedBy(steps)); });
    });
    setTheme(m_view.theme);
    apply();
    // The desktop's palette can change under the System theme.
    qApp->installEventFilter(this);
}

QString AppearanceController::writeSettings() const
{
    for (const auto &[name, value] : m_view.storedValues()) {
        if (!m_context.settings.writeInteger(SettingsKeyPath, QLatin1String(name), value))
            return QLatin1String(name);
    }
    return QString();
}

void AppearanceController::apply()
{
    m_commands.action(Command::ViewZoomIn)->setEnabled(m_view.zoom < ViewSettings::MaxZoom);
    m_commands.action(Command::ViewZoomOut)->setEnabled(m_view.zoom > ViewSettings::MinZoom);
    m_documents.setViewSettings(m_view);
}

void AppearanceController::setZoom(int zoom)
{
    m_view.zoom = zoom;
    apply();
}

void AppearanceController::setTheme(ViewSettings::Theme theme)
{
    m_view.theme = theme;
    const Command commands[] = {Command::ViewThemeSystem, Command::ViewThemeLight, Command::ViewThemeDark};
    m_commands.action(commands[int(theme)])->setChecked(true);
    ThemePalette::apply(theme, m_desktopStyle);
    followPalette();
}

void AppearanceController::followPalette()
{
    const QPalette palette = QApplication::palette();
    if (std::exchange(m_followedPalette, palette.cacheKey()) == palette.cacheKey())
        return;
    m_area.setBackground(palette.brush(QPalette::Dark));
    m_commands.refreshImages();
    m_tabs.refreshImages();
    for (DocumentWindow *document : m_documents.documents())
        document->restyle();
}

// Every open document takes the record at once; it is stored when the
// program ends.
void AppearanceController::chooseFont(FontRecord &record, bool heading)
{
    const QFont offered = FontStyle::dialogFont(record, heading);
    const QColor offeredColor = FontStyle::color(record, QApplication::palette());
    QFont font = offered;
    QColor color = offeredColor;
    if (!m_context.dialogs.chooseFont(&m_window, font, color))
        return;
    record = FontStyle::fromDialog(record, offered, offeredColor, font, color);
    for (DocumentWindow *document : m_documents.documents())
        document->restyle();
}

bool AppearanceController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        followPalette();
    return QObject::eventFilter(watched, event);
}
