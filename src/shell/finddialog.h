#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The modeless find dialog shared by all documents: it searches forward
// only, so it offers no direction, and it keeps its text and options
// between uses.
class FindDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FindDialog(QWidget *owner);

    QString text() const;
    bool matchCase() const;
    bool wholeWord() const;

signals:
    // The find button was pressed.
    void find();

private:
    QLineEdit *m_textField;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWord;
    QPushButton *m_findButton;
};
