#include "fakedialogs.h"

void FakeDialogs::information(QWidget *owner, const QString &text, const QString &caption)
{
    informations.append({text, caption, owner});
}

void FakeDialogs::error(QWidget *owner, const QString &text, const QString &caption)
{
    errors.append({text, caption, owner});
}

QString FakeDialogs::inputBox(QWidget *, const QString &caption, const QString &prompt, const QString &,
                              int maxLength)
{
    prompts.append(caption + u'|' + prompt);
    lastMaxLength = maxLength;
    return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue().left(maxLength);
}

QString FakeDialogs::openFileName(QWidget *, const QString &filter)
{
    filters.append(filter);
    return openFileAnswers.isEmpty() ? QString() : openFileAnswers.dequeue();
}

void FakeDialogs::shellOpen(QWidget *, const QUrl &url)
{
    openedUrls.append(url);
}
