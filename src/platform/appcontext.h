#pragma once

#include <QString>

class Dialogs;
class FontSettings;
class StateStore;
class UserSettings;

// What the windows share for the whole run, made once at start-up and
// handed down: nothing of it is a process-wide global.
struct AppContext
{
    UserSettings &settings;
    Dialogs &dialogs;
    FontSettings &fonts;
    StateStore &stateStore;
    // The library search's index file; empty leaves the search out.
    QString searchIndexPath;
};
