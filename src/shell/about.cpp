#include "about.h"

#include "dialogs.h"
#include "product.h"

#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

AboutBox::AboutBox(Dialogs &dialogs, QWidget *owner)
    : QDialog(owner)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(298, 188);
    QFont boxFont(QStringLiteral("MS Sans Serif"));
    boxFont.setStyleHint(QFont::SansSerif);
    boxFont.setPixelSize(11);
    setFont(boxFont);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 281, 121);

    auto *icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(16, 16, 32, 32);
    icon->setPixmap(QIcon(QStringLiteral(":/folivane.svg")).pixmap(32, 32));
    icon->setScaledContents(true);

    const auto label = [panel](const char *name, const QString &text, int left, int top) {
        auto *result = new QLabel(text, panel);
        result->setObjectName(QLatin1String(name));
        result->move(left, top);
        return result;
    };
    m_productName = label("ProductName", QStringLiteral("Product Name:"), 63, 16);
    m_version = label("Version", QStringLiteral("Version: "), 62, 39);
    label("Label1", QStringLiteral("Copyright (C) 2026 Tessary software"), 62, 63);
    m_mailLink = label("Label3", QStringLiteral("Click here to send mail to us!"), 62, 87);
    m_mailLink->setFixedSize(199, 20);
    QFont linkFont = m_mailLink->font();
    linkFont.setUnderline(true);
    m_mailLink->setFont(linkFont);
    // The theme's link colour, readable on a dark window too.
    m_mailLink->setForegroundRole(QPalette::Link);
    m_mailLink->setCursor(Qt::PointingHandCursor);
    m_mailLink->installEventFilter(this);

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("OKButton"));
    m_okButton->setGeometry(111, 145, 65, 33);
    m_okButton->setDefault(true);
    m_okButton->setFocus();
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    fillInProductText();
}

// Completes the captions, once: showing the box again repeats nothing.
void AboutBox::fillInProductText()
{
    m_productName->setText(m_productName->text() + QLatin1String(ProductTitle));
    m_version->setText(m_version->text() + ProductVersion);
}

bool AboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mailLink && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        sendMail();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutBox::sendMail()
{
    m_dialogs.shellOpen(this, QUrl(QLatin1String(MailAddress)));
}
