#pragma once

#include <QDialog>

class Dialogs;
class QLabel;
class QPushButton;

// The About box: product name, version, a legal notice and a link that
// starts a mail to support. Made once at start-up and shown on demand.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    TAboutBox(Dialogs &dialogs, QWidget *owner);

    QLabel *productName() const { return ProductName; }
    QLabel *version() const { return Version; }
    QLabel *mailLink() const { return Label3; }
    QPushButton *okButton() const { return OKButton; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void Label3Click();

    Dialogs &m_dialogs;
    QLabel *ProductName;
    QLabel *Version;
    QLabel *Label3;
    QPushButton *OKButton;
};
