#pragma once

#include "dialogs.h"
#include "usersettings.h"

#include <QHash>
#include <QVariant>

// Dialogs that never block: a bench run has nobody to click them. Each
// message is counted and echoed to stderr, so a damaged state file shows.
class BenchDialogs : public Dialogs
{
public:
    void information(QWidget *owner, const QString &text, const QString &caption) override;
    void error(QWidget *owner, const QString &text, const QString &caption) override;
    // Counted as an error; answers with the default button, which keeps the window.
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

    int messages = 0;
};

// Settings kept in memory: a bench run must not read or change the user's.
class BenchSettings : public UserSettings
{
public:
    bool openKey(const QString &keyPath) override;
    std::optional<QString> readString(const QString &keyPath, const QString &name) const override;
    std::optional<qint32> readInteger(const QString &keyPath, const QString &name) const override;
    bool writeString(const QString &keyPath, const QString &name, const QString &value) override;
    bool writeInteger(const QString &keyPath, const QString &name, qint32 value) override;

private:
    QHash<QString, QVariant> m_values;
};
