#pragma once

#include "dialogs.h"

// The real dialogs: Qt's message box, input dialog, file dialog and font
// dialog, and the desktop's default programs for addresses.
class QtDialogs : public Dialogs
{
public:
    void information(QWidget *owner, const QString &text, const QString &caption) override;
    void error(QWidget *owner, const QString &text, const QString &caption) override;
    bool errorWithDiscard(QWidget *owner, const QString &text, const QString &caption,
                          const QString &discardText) override;
    QString inputBox(QWidget *owner, const QString &caption, const QString &prompt,
                     const QString &defaultText, int maxLength) override;
    QStringList openFileNames(QWidget *owner, const QString &filter, const QString &folder) override;
    QString saveFileName(QWidget *owner, const QString &filter, const QString &suggested) override;
    void shellOpen(QWidget *owner, const QUrl &url) override;
    bool chooseFont(QWidget *owner, QFont &font, QColor &color) override;
    QString askWithCompletions(QWidget *owner, const CompletingPrompt &prompt, const QStringList &completions) override;
    bool confirm(QWidget *owner, const QString &text, const QString &caption) override;
    void showModal(QDialog &dialog) override;
};

// "Label (pattern)|pattern|..." to the name filters of a QFileDialog.
QStringList nameFiltersFrom(const QString &filter);
