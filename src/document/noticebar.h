#pragma once

#include <QWidget>

class QLabel;

// A bar above a document's text with what the RFC index says of it (rich
// text with links). The user can close it, and it stays closed.
class NoticeBar : public QWidget
{
    Q_OBJECT

public:
    explicit NoticeBar(QWidget *parent = nullptr);

    // Empty hides the bar.
    void setNotice(const QString &html);
    // Colours the links anew from the application's palette.
    void restyle();
    QLabel *label() const { return m_label; }

signals:
    void linkActivated(const QString &link);

private:
    QLabel *m_label;
    QString m_html; // as given, before its links are coloured
    bool m_closed = false;
};
