#include "fakedialogs.h"

#include <QDialog>

void FakeDialogs::information(QWidget *owner, const QString &text, const QString &caption)
{
    informations.append({text, caption, owner});
}

void FakeDialogs::error(QWidget *owner, const QString &text, const QString &caption)
{
    errors.append({text, caption, owner});
}

bool FakeDialogs::errorWithDiscard(QWidget *owner, const QString &text, const QString &caption,
                                   const QString &discardText)
{
    error(owner, text, caption);
    discardTexts.append(discardText);
    return !discardAnswers.isEmpty() && discardAnswers.dequeue();
}

QString FakeDialogs::inputBox(QWidget *, const QString &caption, const QString &prompt, const QString &,
                              int maxLength)
{
    prompts.append(caption + u'|' + prompt);
    lastMaxLength = maxLength;
    return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue().left(maxLength);
}

QStringList FakeDialogs::openFileNames(QWidget *, const QString &filter, const QString &folder)
{
    filters.append(filter);
    openFolders.append(folder);
    return openFileAnswers.isEmpty() ? QStringList() : openFileAnswers.dequeue();
}

QString FakeDialogs::saveFileName(QWidget *, const QString &filter, const QString &suggested)
{
    filters.append(filter);
    suggestedSaveNames.append(suggested);
    return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.dequeue();
}

void FakeDialogs::shellOpen(QWidget *owner, const QUrl &url)
{
    openedUrls.append(url);
    urlOwners.append(owner);
}

bool FakeDialogs::chooseFont(QWidget *, QFont &font, QColor &color)
{
    fontsOffered.append({font, color});
    if (fontAnswers.isEmpty())
        return false;
    const FontChoice answer = fontAnswers.dequeue();
    font = answer.font;
    color = answer.color;
    return true;
}

void FakeDialogs::showModal(QDialog &dialog)
{
    modalDialogs.append(&dialog);
    dialog.show();
    dialog.accept();
}

QString FakeDialogs::askWithCompletions(QWidget *, const CompletingPrompt &prompt, const QStringList &completions)
{
    completingCaptions.append(prompt.caption);
    lastCompletions = completions;
    return completionAnswers.isEmpty() ? QString() : completionAnswers.dequeue();
}

bool FakeDialogs::confirm(QWidget *, const QString &text, const QString &)
{
    questions.append(text);
    return !confirmAnswers.isEmpty() && confirmAnswers.dequeue();
}
