#include "userguide.h"

#include <QFile>

const char *const UserGuide::ResourcePath = ":/docs/user-guide.md";

UserGuide::UserGuide(QWidget *parent)
    : QTextBrowser(parent)
{
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Folivane User Guide"));
    setObjectName(QStringLiteral("UserGuide"));
    // Its web links go to the browser, its own ones within it.
    setOpenExternalLinks(true);
    QFile guide{QString::fromLatin1(ResourcePath)};
    if (guide.open(QIODevice::ReadOnly))
        setMarkdown(QString::fromUtf8(guide.readAll()));
    resize(640, 720);
}
