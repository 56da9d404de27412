#include "sessioncontroller.h"

#include "commandset.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "menutext.h"
#include "filetabs.h"
#include "settingnames.h"
#include "usersettings.h"

#include <QFileInfo>
#include <QMenu>
#include <QTabBar>

using namespace SettingNames;

namespace {

const QString RestoreSessionValue = QLatin1String(RestoreSession);
const QString SessionActiveValue = QLatin1String(SessionActive);

} // namespace

SessionController::SessionController(UserSettings &settings, CommandSet &commands, DocumentManager &documents,
                                     FileTabs &tabs, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_commands(commands)
    , m_documents(documents)
    , m_tabs(tabs)
    , m_recentList(settings, QLatin1String(RecentList), RecentCapacity)
    , m_sessionList(settings, QLatin1String(SessionList), SessionCapacity)
    , m_recent(m_recentList.read())
    , m_restoreSession(settings.readInteger(SettingsKeyPath, RestoreSessionValue).value_or(DefaultRestoreSession) != 0)
{
    commands.action(Command::ViewRestoreSession)->setChecked(m_restoreSession);
    commands.onTriggered(Command::ViewRestoreSession, this, [this](bool checked) { m_restoreSession = checked; });
    commands.onTriggered(Command::FileClearRecent, this, [this] {
        m_recent.clear();
        m_recentList.write(m_recent);
        emit recentChanged();
    });
    connect(commands.recentMenu(), &QMenu::aboutToShow, this, &SessionController::fillRecentMenu);
    connect(&documents, &DocumentManager::shown, this,
            [this](DocumentWindow *, const QString &path) { remember(path); });
}

void SessionController::restoreSession()
{
    if (!m_restoreSession)
        return;
    const QStringList paths = m_sessionList.read();
    m_documents.open(paths);
    const int active = m_settings.readInteger(SettingsKeyPath, SessionActiveValue).value_or(DefaultSessionActive);
    if (active >= 0 && active < paths.size())
        m_documents.open(paths[active]);
}

void SessionController::keepSession()
{
    m_sessionPaths.clear();
    m_sessionActive = -1;
    for (int tab = 0; tab < m_tabs.tabs()->count(); ++tab) {
        if (DocumentWindow *window = m_tabs.windowAt(tab)) {
            if (window == m_documents.active())
                m_sessionActive = int(m_sessionPaths.size());
            m_sessionPaths << window->documentPath();
        }
    }
}

QString SessionController::writeSettings()
{
    if (!m_settings.writeInteger(SettingsKeyPath, RestoreSessionValue, m_restoreSession))
        return RestoreSessionValue;
    QString listValue;
    if (!m_sessionList.write(m_sessionPaths, &listValue))
        return listValue;
    if (!m_settings.writeInteger(SettingsKeyPath, SessionActiveValue, m_sessionActive))
        return SessionActiveValue;
    return QString();
}

void SessionController::remember(const QString &path)
{
    m_recent.removeAll(path);
    m_recent.prepend(path);
    while (m_recent.size() > RecentCapacity)
        m_recent.removeLast();
    m_recentList.write(m_recent);
    emit recentChanged();
}

void SessionController::openRecent(const QString &path)
{
    if (QFileInfo(path).isFile()) {
        m_documents.open(path);
        return;
    }
    m_recent.removeAll(path);
    m_recentList.write(m_recent);
    emit recentChanged();
    emit message(QStringLiteral("%1 is gone").arg(path), 5000);
}

void SessionController::fillRecentMenu()
{
    QMenu *menu = m_commands.recentMenu();
    menu->clear();
    for (const QString &path : std::as_const(m_recent)) {
        QAction *entry = menu->addAction(literalMenuText(path));
        if (!QFileInfo(path).isFile()) {
            // Still choosable, so that choosing it takes it off the list.
            QFont gone = entry->font();
            gone.setItalic(true);
            entry->setFont(gone);
            entry->setStatusTip(QStringLiteral("The file is gone; choose it to remove it from the list"));
        }
        connect(entry, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    menu->addSeparator();
    menu->addAction(m_commands.action(Command::FileClearRecent));
    m_commands.action(Command::FileClearRecent)->setEnabled(!m_recent.isEmpty());
}
