#include "noticebar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

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

void NoticeBar::setNotice(const QString &source, const QString &html)
{
    auto part = std::find_if(m_parts.begin(), m_parts.end(), [&](const auto &known) { return known.first == source; });
    if (part == m_parts.end())
        m_parts.append({source, html});
    else
        part->second = html;
    restyle();
    setVisible(!m_label->text().isEmpty() && !m_closed);
}

// The toolkit colours links once, when the text is set, and not from the
// theme: each link is given the palette's link colour, again at every restyle.
void NoticeBar::restyle()
{
    QStringList shown;
    for (const auto &[source, part] : std::as_const(m_parts))
        if (!part.isEmpty())
            shown << part;
    QString html = shown.join(QStringLiteral(" &nbsp;\u00b7&nbsp; "));
    html.replace(QStringLiteral("<a href="), QStringLiteral("<a style=\"color:%1\" href=")
                                                 .arg(QApplication::palette(m_label).color(QPalette::Link).name()));
    m_label->setText(html);
}
