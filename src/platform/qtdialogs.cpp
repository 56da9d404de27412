#include "qtdialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

void QtDialogs::information(QWidget *owner, const QString &text, const QString &caption)
{
    QMessageBox::information(owner, caption, text, QMessageBox::Ok);
}

void QtDialogs::error(QWidget *owner, const QString &text, const QString &caption)
{
    QMessageBox::warning(owner, caption, text, QMessageBox::Ok);
}

QString QtDialogs::inputBox(QWidget *owner, const QString &caption, const QString &prompt,
                            const QString &defaultText, int maxLength)
{
    QInputDialog dialog(owner);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    if (auto *edit = dialog.findChild<QLineEdit *>())
        edit->setMaxLength(maxLength);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue().left(maxLength);
}

QStringList nameFiltersFrom(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &label = parts.at(i);
        const QString &pattern = parts.at(i + 1);
        filters.append(label.endsWith(u'(' + pattern + u')') ? label
                                                             : QStringLiteral("%1 (%2)").arg(label, pattern));
    }
    return filters;
}

QString QtDialogs::openFileName(QWidget *owner, const QString &filter)
{
    QFileDialog dialog(owner);
    // Qt's own dialog: its name filters match regardless of letter case, as
    // published names (rfc2616.txt) need.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(nameFiltersFrom(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void QtDialogs::shellOpen(QWidget *, const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
