#pragma once

#include <QtGlobal>

class Dialogs;
class TMDIChild;

// The notices a document window sends to its owner, the main window.
// They are delivered at once, by a direct call: the owner has handled one
// before the sender goes on.
constexpr int WM_DOC_NOTIFY = 0x8001; // first: a DocEvent; window: the sender
constexpr int WM_DOC_LINE = 0x8002;   // first: the caret line; second: the line count

enum class DocEvent : quint8 { Activated = 0, Closing = 1 };

class DocumentHost
{
public:
    virtual ~DocumentHost() = default;

    // Every other message number goes to the default handling, which ignores it.
    virtual void dispatchDocMessage(int message, qint32 first, qint32 second, TMDIChild *window) = 0;
    virtual Dialogs &dialogs() = 0;
};
