#pragma once

#include "viewsettings.h"

#include <QObject>

struct AppContext;
class CommandSet;
class DocumentManager;
class FileTabs;
class QMdiArea;
class QWidget;
struct FontRecord;

// How the documents look: zoom, page folding, emphasis, the theme and the
// fonts, given to every document; and the colours that do not follow the
// application's palette by themselves (tool-bar and tab images, the area
// behind the documents).
class AppearanceController : public QObject
{
    Q_OBJECT

public:
    AppearanceController(AppContext &context, CommandSet &commands, DocumentManager &documents, FileTabs &tabs,
                         QMdiArea &area, QWidget &window);

    // The name of the first value that could not be written, or empty.
    QString writeSettings() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();
    void setZoom(int zoom);
    void setTheme(ViewSettings::Theme theme);
    void followPalette();
    void chooseFont(FontRecord &record, bool heading);

    AppContext &m_context;
    CommandSet &m_commands;
    DocumentManager &m_documents;
    FileTabs &m_tabs;
    QMdiArea &m_area;
    QWidget &m_window;
    // The style the desktop chose, for the System theme.
    QString m_desktopStyle;
    ViewSettings m_view;
    qint64 m_followedPalette = 0; // the palette's cache key
};
