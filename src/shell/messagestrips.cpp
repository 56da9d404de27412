#include "messagestrips.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char *const SourceProperty = "messageSource";

QString stripName(const QString &source)
{
    return QStringLiteral("MessageStrip:") + source;
}

QWidget *makeStrip(MessageStrips::Level level, const QString &text, QWidget *parent)
{
    auto *strip = new QFrame(parent);
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setAutoFillBackground(true);
    // Tinted like the level's icon, so that it reads without the icon too.
    QPalette palette = strip->palette();
    const QColor tint = level == MessageStrips::Level::Error ? QColor(0xda, 0x44, 0x53) : QColor(0xf6, 0x74, 0x00);
    const QColor base = palette.color(QPalette::Window);
    palette.setColor(QPalette::Window, QColor::fromRgbF(base.redF() * 0.8f + tint.redF() * 0.2f,
                                                        base.greenF() * 0.8f + tint.greenF() * 0.2f,
                                                        base.blueF() * 0.8f + tint.blueF() * 0.2f));
    strip->setPalette(palette);

    auto *layout = new QHBoxLayout(strip);
    layout->setContentsMargins(6, 3, 3, 3);
    auto *icon = new QLabel(strip);
    const int extent = strip->style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(strip->style()
                        ->standardIcon(level == MessageStrips::Level::Error ? QStyle::SP_MessageBoxCritical
                                                                            : QStyle::SP_MessageBoxWarning)
                        .pixmap(extent, extent));
    layout->addWidget(icon, 0, Qt::AlignTop);
    auto *label = new QLabel(text, strip);
    label->setObjectName(QStringLiteral("MessageText"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label, 1);
    auto *close = new QToolButton(strip);
    close->setObjectName(QStringLiteral("MessageClose"));
    close->setAutoRaise(true);
    close->setIcon(strip->style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setToolTip(QStringLiteral("Close"));
    layout->addWidget(close, 0, Qt::AlignTop);
    return strip;
}

} // namespace

MessageStrips::MessageStrips(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(1);
    hide();
}

void MessageStrips::showMessage(const QString &source, Level level, const QString &text)
{
    clear(source);
    QWidget *added = makeStrip(level, text, this);
    added->setObjectName(stripName(source));
    added->setProperty(SourceProperty, source);
    connect(added->findChild<QToolButton *>(QStringLiteral("MessageClose")), &QToolButton::clicked, this,
            [this, source] { clear(source); });
    m_layout->addWidget(added);
    show();
}

void MessageStrips::clear(const QString &source)
{
    if (QWidget *old = strip(source)) {
        old->hide();
        m_layout->removeWidget(old);
        // Later: its close button may be the one asking.
        old->deleteLater();
    }
    setVisible(m_layout->count() > 0);
}

QStringList MessageStrips::sources() const
{
    QStringList result;
    for (int i = 0; i < m_layout->count(); ++i) {
        if (const QWidget *each = m_layout->itemAt(i)->widget())
            result << each->property(SourceProperty).toString();
    }
    return result;
}

QString MessageStrips::text(const QString &source) const
{
    const QWidget *found = strip(source);
    const auto *label = found ? found->findChild<QLabel *>(QStringLiteral("MessageText")) : nullptr;
    return label ? label->text() : QString();
}

QWidget *MessageStrips::strip(const QString &source) const
{
    for (int i = 0; i < m_layout->count(); ++i) {
        QWidget *each = m_layout->itemAt(i)->widget();
        if (each && each->property(SourceProperty).toString() == source)
            return each;
    }
    return nullptr;
}
