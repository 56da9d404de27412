#pragma once

#include "textsearch.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;

// The incremental find bar below the documents: it searches as the user
// types, and reports how many matches there are and which one is shown.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    // Shows the bar with text selected in its field, and gives it the focus.
    void open(const QString &text);

    QString text() const;
    SearchOptions options() const;

    // Match index counted from 0; -1 when there is none.
    void showResult(int index, int count, bool wrapped);

    QLineEdit *field() const { return m_field; }

signals:
    // The text or the options changed: search again from the start point.
    void searchChanged();
    void nextRequested();
    void previousRequested();
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void dismiss();

    QLineEdit *m_field;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWord;
    QLabel *m_count;
    QLabel *m_wrapped;
};
