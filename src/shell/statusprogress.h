#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// Long work in the status bar: what runs, how far it is, and a Cancel
// button when it can be stopped. Hidden while nothing runs.
class StatusProgress : public QWidget
{
    Q_OBJECT

public:
    // An empty cancel tip leaves the Cancel button out.
    explicit StatusProgress(const QString &cancelTip = QString(), QWidget *parent = nullptr);

    // Shows the panel; a total of 0 shows a busy bar.
    void show(const QString &what, qint64 done = 0, qint64 total = 0);
    void setProgress(qint64 done, qint64 total);

    QLabel *label() const { return m_label; }
    QProgressBar *bar() const { return m_bar; }

signals:
    void cancelRequested();

private:
    QLabel *m_label;
    QProgressBar *m_bar;
};
