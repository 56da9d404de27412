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

TAboutBox::TAboutBox(Dialogs &dialogs, QWidget *owner)
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
    ProductName = label("ProductName", QStringLiteral("Product Name:"), 63, 16);
    Version = label("Version", QStringLiteral("Version: "), 62, 39);
    label("Label1", QStringLiteral("Copyright (C) 2026 Tessary software"), 62, 63);
    Label3 = label("Label3", QStringLiteral("Click here to send mail to us!"), 62, 87);
    Label3->setFixedSize(199, 20);
    QFont linkFont = Label3->font();
    linkFont.setUnderline(true);
    Label3->setFont(linkFont);
    QPalette linkPalette = Label3->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    Label3->setPalette(linkPalette);
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->installEventFilter(this);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(111, 145, 65, 33);
    OKButton->setDefault(true);
    OKButton->setFocus();
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

// Completes the captions, once: showing the box again repeats nothing.
void TAboutBox::FormCreate()
{
    ProductName->setText(ProductName->text() + QLatin1String(ProductTitle));
    Version->setText(Version->text() + QLatin1String(ProductVersion));
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label3 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Label3Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::Label3Click()
{
    m_dialogs.shellOpen(this, QUrl(QLatin1String(MailAddress)));
}
