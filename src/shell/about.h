#pragma once

#include <QDialog>

class Dialogs;
class QLabel;
class QPushButton;

// The About box: product name, version, a legal notice and a link that
// starts a mail to support. Made once at start-up and shown on demand.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    AboutBox(Dialogs &dialogs, QWidget *owner);

    QLabel *productName() const { return m_productName; }
    QLabel *version() const { return m_version; }
    QLabel *mailLink() const { return m_mailLink; }
    QPushButton *okButton() const { return m_okButton; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillInProductText();
    void sendMail();

    Dialogs &m_dialogs;
    QLabel *m_productName;
    QLabel *m_version;
    QLabel *m_mailLink;
    QPushButton *m_okButton;
};
