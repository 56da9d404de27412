#include "noticebar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

NoticeBar::NoticeBar(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel)
{
    auto *closeButton = new QToolButton;
    closeButton->setText(QStringLiteral("\u2715"));
    closeButton->setAutoRaise(true);
    closeButton->setToolTip(QStringLiteral("Close this bar"));
    connect(closeButton, &QToolButton::clicked, this, [this] {
        m_closed = true;
        hide();
    });
    m_label->setTextFormat(Qt::RichText);
    m_label->setWordWrap(true);
    connect(m_label, &QLabel::linkActivated, this, &NoticeBar::linkActivated);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 2, 2);
    layout->addWidget(m_label, 1);
    layout->addWidget(closeButton);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::AlternateBase);
    hide();
}

void NoticeBar::setNotice(const QString &html)
{
    m_html = html;
    restyle();
    setVisible(!html.isEmpty() && !m_closed);
}

// The toolkit colours links once, when the text is set, and not from the
// theme: each link is given the palette's link colour, again at every restyle.
void NoticeBar::restyle()
{
    QString html = m_html;
    html.replace(QStringLiteral("<a href="), QStringLiteral("<a style=\"color:%1\" href=")
                                                 .arg(QApplication::palette(m_label).color(QPalette::Link).name()));
    m_label->setText(html);
}
