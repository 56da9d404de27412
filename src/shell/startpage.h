#pragma once

#include <QWidget>

class QCompleter;
class QLabel;
class QLineEdit;
class QListWidget;
class QStringListModel;

// What the window shows while no document is open: a field to open an RFC
// by number or name, the recent documents, the user guide and a few keys
// worth knowing. It only asks; the window does the opening.
class StartPage : public QWidget
{
    Q_OBJECT

public:
    // Covers the parent wholly, following its size.
    explicit StartPage(QWidget &parent);

    // Those of Open RFC.
    void setCompletions(const QStringList &completions);
    // Most recent first, as the File menu lists them.
    void setRecentDocuments(const QStringList &paths);

    QLineEdit *openField() const { return m_field; }
    QListWidget *recentList() const { return m_recent; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // What was typed in the field, as Open RFC takes it.
    void openRequested(const QString &text);
    void recentChosen(const QString &path);
    void userGuideRequested();

private:
    QLineEdit *m_field;
    QStringListModel *m_completions;
    QListWidget *m_recent;
    QLabel *m_noRecent;
};
