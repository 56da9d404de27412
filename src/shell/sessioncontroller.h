#pragma once

#include "settinglist.h"

#include <QObject>
#include <QStringList>

class CommandSet;
class DocumentManager;
class FileTabs;
class QMenu;
class UserSettings;

// What outlives a run: the recent documents (File > Open Recent) and the
// documents open at the last exit, opened again at start when the user
// wants that.
class SessionController : public QObject
{
    Q_OBJECT

public:
    SessionController(UserSettings &settings, CommandSet &commands, DocumentManager &documents, FileTabs &tabs,
                      QObject *parent = nullptr);

    void restoreSession();
    // Takes the open documents as the session to store; before they close,
    // as closing takes their tabs away.
    void keepSession();
    // The name of the first value that could not be written, or empty.
    QString writeSettings();

    // Most recent first, as File > Open Recent lists them.
    QStringList recentDocuments() const { return m_recent; }
    // As its entry in Open Recent: a file that is gone leaves the list.
    void openRecent(const QString &path);

signals:
    void message(const QString &text, int timeout);
    void recentChanged();

private:
    void remember(const QString &path);
    void fillRecentMenu();

    UserSettings &m_settings;
    CommandSet &m_commands;
    DocumentManager &m_documents;
    FileTabs &m_tabs;
    SettingList m_recentList;
    SettingList m_sessionList;
    QStringList m_recent;
    bool m_restoreSession = true;
    // The open documents in tab order, and which of them is in front.
    QStringList m_sessionPaths;
    int m_sessionActive = -1;
};
