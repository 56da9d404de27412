#include "testfiles.h"

#include "childwin.h"
#include "mainform.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTest>

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray numberedLines(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "line " + QByteArray::number(i) + " of the document text\n";
    return text;
}

QStringList bookmarkNames(TMDIChild *window)
{
    QStringList names;
    for (int i = 0; i < window->bookmarkList()->count(); ++i)
        names << window->bookmarkList()->item(i)->text();
    return names;
}

QString corpusFile(const QString &name)
{
    const QString path = qEnvironmentVariable("FOLIVANE_CORPUS") + u'/' + name;
    return QFile::exists(path) ? path : QString();
}

AppFixture::AppFixture() = default;

AppFixture::~AppFixture()
{
    if (form) {
        // Leave no dialog-free close pending: the test's folder goes next.
        form->close();
        form.reset();
    }
}

TMainForm *AppFixture::start()
{
    form = std::make_unique<TMainForm>(settings, dialogs, dir.path() + QStringLiteral("/app"));
    form->show();
    return form.get();
}

bool AppFixture::close()
{
    const bool closed = form->close();
    if (closed)
        form.reset();
    return closed;
}

QString AppFixture::document(const QString &name, const QByteArray &content) const
{
    const QString path = dir.path() + QStringLiteral("/docs/") + name;
    QDir().mkpath(QFileInfo(path).path());
    writeFile(path, content);
    return path;
}

TMDIChild *AppFixture::open(const QString &path)
{
    form->OpenDocument(path);
    for (TMDIChild *window : form->documents())
        if (window->GetDocumentPath() == path)
            return window;
    return nullptr;
}

QString AppFixture::stateFolder() const
{
    return dir.path() + QStringLiteral("/app/temp/");
}
