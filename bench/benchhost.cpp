#include "benchhost.h"

#include <QTextStream>
#include <QUrl>

void BenchDialogs::information(QWidget *, const QString &text, const QString &caption)
{
    ++messages;
    QTextStream(stderr) << "[dialog] " << caption << ": " << text << '\n';
}

void BenchDialogs::error(QWidget *, const QString &text, const QString &caption)
{
    ++messages;
    QTextStream(stderr) << "[error dialog] " << caption << ": " << text << '\n';
}

bool BenchDialogs::errorWithDiscard(QWidget *owner, const QString &text, const QString &caption, const QString &)
{
    error(owner, text, caption);
    return false;
}

QString BenchDialogs::inputBox(QWidget *, const QString &, const QString &, const QString &, int)
{
    return QString();
}

QStringList BenchDialogs::openFileNames(QWidget *, const QString &, const QString &)
{
    return {};
}

QString BenchDialogs::saveFileName(QWidget *, const QString &, const QString &)
{
    return {};
}

void BenchDialogs::shellOpen(QWidget *, const QUrl &)
{
}

bool BenchDialogs::chooseFont(QWidget *, QFont &, QColor &)
{
    return false;
}

void BenchDialogs::showModal(QDialog &)
{
}

namespace {
QString valueId(const QString &keyPath, const QString &name)
{
    return keyPath + u'\x1f' + name;
}
} // namespace

bool BenchSettings::openKey(const QString &)
{
    return true;
}

std::optional<QString> BenchSettings::readString(const QString &keyPath, const QString &name) const
{
    const QVariant value = m_values.value(valueId(keyPath, name));
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

std::optional<qint32> BenchSettings::readInteger(const QString &keyPath, const QString &name) const
{
    const QVariant value = m_values.value(valueId(keyPath, name));
    if (value.typeId() != QMetaType::Int)
        return std::nullopt;
    return value.toInt();
}

bool BenchSettings::writeString(const QString &keyPath, const QString &name, const QString &value)
{
    m_values.insert(valueId(keyPath, name), value);
    return true;
}

bool BenchSettings::writeInteger(const QString &keyPath, const QString &name, qint32 value)
{
    m_values.insert(valueId(keyPath, name), QVariant(value));
    return true;
}

QString BenchDialogs::askWithCompletions(QWidget *, const CompletingPrompt &, const QStringList &)
{
    return QString();
}

bool BenchDialogs::confirm(QWidget *, const QString &, const QString &)
{
    return false;
}
