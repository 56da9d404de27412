#pragma once

#include <QWidget>

class QVBoxLayout;

// Errors and warnings above the text, each in its own strip with an icon
// and a close button, until the user dismisses it or its source reports
// anew. Passing notes belong in the status bar instead.
class MessageStrips : public QWidget
{
    Q_OBJECT

public:
    enum class Level { Warning, Error };

    explicit MessageStrips(QWidget *parent = nullptr);

    // Replaces the strip of the same source, if there is one.
    void showMessage(const QString &source, Level level, const QString &text);
    void clear(const QString &source);

    // The sources standing, oldest first.
    QStringList sources() const;
    // Empty when the source has no strip.
    QString text(const QString &source) const;
    // The strip of a source, or null; for its close button.
    QWidget *strip(const QString &source) const;

private:
    QVBoxLayout *m_layout;
};
