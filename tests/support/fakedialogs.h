#pragma once

#include "dialogs.h"

#include <QColor>
#include <QFont>
#include <QQueue>
#include <QStringList>
#include <QUrl>

// Dialogs that never block: answers come from queues the test fills, and
// every message shown is recorded.
class FakeDialogs : public Dialogs
{
public:
    struct Message
    {
        QString text;
        QString caption;
        QWidget *owner;
    };

    struct FontChoice
    {
        QFont font;
        QColor color;
    };

    void information(QWidget *owner, const QString &text, const QString &caption) override;
    void error(QWidget *owner, const QString &text, const QString &caption) override;
    // Recorded in errors too.
    bool errorWithDiscard(QWidget *owner, const QString &text, const QString &caption,
                          const QString &discardText) override;
    QString inputBox(QWidget *owner, const QString &caption, const QString &prompt,
                     const QString &defaultText, int maxLength) override;
    QStringList openFileNames(QWidget *owner, const QString &filter, const QString &folder) override;
    QString saveFileName(QWidget *owner, const QString &filter, const QString &suggested) override;
    void shellOpen(QWidget *owner, const QUrl &url) override;
    bool chooseFont(QWidget *owner, QFont &font, QColor &color) override;
    QString askWithCompletions(QWidget *owner, const CompletingPrompt &prompt,
                               const QStringList &completions) override;
    bool confirm(QWidget *owner, const QString &text, const QString &caption) override;
    // Shows the dialog and closes it again with OK, without blocking.
    void showModal(QDialog &dialog) override;

    QQueue<QString> inputAnswers;    // an empty queue answers Cancel
    QQueue<QStringList> openFileAnswers; // an empty queue answers Cancel
    QQueue<QString> saveFileAnswers;     // an empty queue answers Cancel
    QStringList suggestedSaveNames;
    QList<Message> informations;
    QList<Message> errors;
    QStringList discardTexts;     // the second button of each errorWithDiscard()
    QQueue<bool> discardAnswers;  // an empty queue answers with the default, OK
    QStringList prompts;
    QStringList filters;
    QStringList openFolders;         // where each open dialog started
    int lastMaxLength = 0;
    QList<QUrl> openedUrls;
    QList<QWidget *> urlOwners;          // the owner of each opened address
    QQueue<FontChoice> fontAnswers;      // an empty queue answers Cancel
    QList<FontChoice> fontsOffered;      // what each font dialog opened with
    QList<QDialog *> modalDialogs;
    QQueue<QString> completionAnswers; // an empty queue answers Cancel
    QStringList lastCompletions;
    QStringList completingCaptions; // of every prompt with completions
    QQueue<bool> confirmAnswers;         // an empty queue answers No
    QStringList questions;
};
