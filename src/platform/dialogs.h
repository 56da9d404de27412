#pragma once

#include <QString>

class QColor;
class QDialog;
class QFont;
class QUrl;
class QWidget;

// The words of a one-line prompt that offers completions.
struct CompletingPrompt
{
    QString caption;
    QString label;       // with its & for the shortcut
    QString placeholder; // what the empty field says may be typed
    QString acceptText;  // the default button
};

// The modal dialogs and shell services the program uses, behind one seam so
// that tests can script them instead of blocking on a real dialog.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A message box with the information icon and one OK button.
    virtual void information(QWidget *owner, const QString &text, const QString &caption) = 0;
    // A message box with the warning icon and one OK button, for failures.
    virtual void error(QWidget *owner, const QString &text, const QString &caption) = 0;
    // The same, with a second button, discardText, that is not the default:
    // true when the user chose it, to go on without saving.
    virtual bool errorWithDiscard(QWidget *owner, const QString &text, const QString &caption,
                                  const QString &discardText) = 0;
    // A one-line text prompt; Cancel gives the empty text.
    virtual QString inputBox(QWidget *owner, const QString &caption, const QString &prompt,
                             const QString &defaultText, int maxLength) = 0;
    // The file-open dialog, started in folder (empty: the working folder), for
    // one or more existing files; the filter is "Label (pattern)|pattern|..."
    // pairs. Empty when cancelled.
    virtual QStringList openFileNames(QWidget *owner, const QString &filter, const QString &folder) = 0;
    // The file-save dialog, on the suggested path, asking before it
    // overwrites; filter as for openFileNames(). Empty when cancelled.
    virtual QString saveFileName(QWidget *owner, const QString &filter, const QString &suggested) = 0;
    // Hands a web or mailto: address to the user's default program.
    virtual void shellOpen(QWidget *owner, const QUrl &url) = 0;
    // A font chooser that opens on font and colour; true when confirmed, with
    // both updated to the choice. The face keeps its name unless another is picked.
    virtual bool chooseFont(QWidget *owner, QFont &font, QColor &color) = 0;
    // A one-line prompt offering the completions that contain what is
    // typed; Return on a completion takes it. Cancel gives the empty text.
    virtual QString askWithCompletions(QWidget *owner, const CompletingPrompt &prompt,
                                       const QStringList &completions) = 0;
    // A question with Yes and No, No the default; true for Yes.
    virtual bool confirm(QWidget *owner, const QString &text, const QString &caption) = 0;
    // Shows a dialog of the program's own modally; its result is not used.
    virtual void showModal(QDialog &dialog) = 0;
};
