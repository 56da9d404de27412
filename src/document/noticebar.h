#pragma once

#include <QList>
#include <QWidget>

#include <utility>

class QLabel;

// A bar above a document's text with what the RFC index says of it (rich
// text with links). The user can close it, and it stays closed.
class NoticeBar : public QWidget
{
    Q_OBJECT

public:
    explicit NoticeBar(QWidget *parent = nullptr);

    // What one source says (the RFC index, the errata); the bar shows the
    // parts in the order of their first setting, and hides when all are empty.
    void setNotice(const QString &source, const QString &html);
    // Colours the links anew from the application's palette.
    void restyle();
    QLabel *label() const { return m_label; }

signals:
    void linkActivated(const QString &link);

private:
    QLabel *m_label;
    QList<std::pair<QString, QString>> m_parts; // source and html, before the links are coloured
    bool m_closed = false;
};
