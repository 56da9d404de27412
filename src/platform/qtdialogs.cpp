#include "qtdialogs.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QCompleter>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Qt's font dialog has no colour, which the font settings keep: this one
// shows it, with its own OK and Cancel, below a colour button.
class FontColorDialog : public QDialog
{
public:
    FontColorDialog(QWidget *owner, const QFont &font, const QColor &color)
        : QDialog(owner)
        , m_fonts(new QFontDialog(font, this))
        , m_colorButton(new QPushButton(QStringLiteral("&Colour ...")))
        , m_color(color)
    {
        setWindowTitle(QStringLiteral("Font"));
        m_fonts->setOption(QFontDialog::DontUseNativeDialog);
        m_fonts->setWindowFlags(Qt::Widget);
        // Its buttons, Enter and Escape end the embedded dialog: they answer for this one.
        connect(m_fonts, &QDialog::finished, this, &QDialog::done);
        connect(m_colorButton, &QPushButton::clicked, this, &FontColorDialog::chooseColor);
        m_colorButton->setAutoDefault(false);

        auto *row = new QHBoxLayout;
        row->addWidget(m_colorButton);
        row->addStretch();
        auto *layout = new QVBoxLayout(this);
        layout->addLayout(row);
        layout->addWidget(m_fonts);
        showColor();
    }

    QFont selectedFont() const { return m_fonts->currentFont(); }
    QColor selectedColor() const { return m_color; }

private:
    void chooseColor()
    {
        const QColor chosen = QColorDialog::getColor(m_color, this, QStringLiteral("Colour"));
        if (!chosen.isValid())
            return;
        m_color = chosen;
        showColor();
    }

    void showColor()
    {
        QPixmap swatch(16, 16);
        swatch.fill(m_color);
        m_colorButton->setIcon(swatch);
    }

    QFontDialog *m_fonts;
    QPushButton *m_colorButton;
    QColor m_color;
};

} // namespace

void QtDialogs::information(QWidget *owner, const QString &text, const QString &caption)
{
    QMessageBox::information(owner, caption, text, QMessageBox::Ok);
}

void QtDialogs::error(QWidget *owner, const QString &text, const QString &caption)
{
    QMessageBox::warning(owner, caption, text, QMessageBox::Ok);
}

bool QtDialogs::errorWithDiscard(QWidget *owner, const QString &text, const QString &caption,
                                 const QString &discardText)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, owner);
    const QPushButton *discard = box.addButton(discardText, QMessageBox::DestructiveRole);
    // Enter and Escape both keep what is open: nothing is lost by a stray key.
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == discard;
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

namespace {

// Qt's own dialog: its name filters match regardless of letter case, as
// published names (rfc2616.txt) need.
QStringList fileDialog(QWidget *owner, const QString &filter, const QString &start, QFileDialog::FileMode mode,
                       QFileDialog::AcceptMode accept)
{
    QFileDialog dialog(owner, QString(), start);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(mode);
    dialog.setAcceptMode(accept);
    dialog.setNameFilters(nameFiltersFrom(filter));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace

QStringList QtDialogs::openFileNames(QWidget *owner, const QString &filter, const QString &folder)
{
    return fileDialog(owner, filter, folder, QFileDialog::ExistingFiles, QFileDialog::AcceptOpen);
}

QString QtDialogs::saveFileName(QWidget *owner, const QString &filter, const QString &suggested)
{
    return fileDialog(owner, filter, suggested, QFileDialog::AnyFile, QFileDialog::AcceptSave).value(0);
}

void QtDialogs::shellOpen(QWidget *, const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

bool QtDialogs::chooseFont(QWidget *owner, QFont &font, QColor &color)
{
    // A face that is missing ("Courier New" on stock Linux) is not in the
    // dialog's list, which would open on its first face instead: open on the
    // face actually shown, and keep the given name unless another is picked.
    // The style by its name too: "Normal" is not among those of some faces
    // ("Book", "Oblique"), and the dialog would take the first, an italic.
    const QFontInfo shownFace(font);
    const QString shownFamily = shownFace.family();
    QFont shown = font;
    shown.setFamily(shownFamily);
    shown.setStyleName(shownFace.styleName());
    FontColorDialog dialog(owner, shown, color);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QString givenFamily = font.family();
    font = dialog.selectedFont();
    if (font.family() == shownFamily)
        font.setFamily(givenFamily);
    color = dialog.selectedColor();
    return true;
}

namespace {

// Return in the list of completions with none chosen takes what is typed:
// by itself the list only closes, and a second Return would be needed.
class ReturnTakesTyped : public QObject
{
public:
    ReturnTakesTyped(QAbstractItemView &list, QDialog &dialog)
        : QObject(&dialog)
        , m_list(list)
        , m_dialog(dialog)
    {
        list.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_list && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !m_list.currentIndex().isValid()) {
                m_list.hide();
                m_dialog.accept();
                return true;
            }
        }
        return false;
    }

private:
    QAbstractItemView &m_list;
    QDialog &m_dialog;
};

} // namespace

QString QtDialogs::askWithCompletions(QWidget *owner, const CompletingPrompt &prompt, const QStringList &completions)
{
    QDialog dialog(owner);
    dialog.setWindowTitle(prompt.caption);
    auto *field = new QLineEdit;
    field->setPlaceholderText(prompt.placeholder);
    field->setMinimumWidth(420);
    auto *completer = new QCompleter(completions, &dialog);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setMaxVisibleItems(12);
    field->setCompleter(completer);
    // After the completer's own filter on its list, so that this one runs first.
    new ReturnTakesTyped(*completer->popup(), dialog);
    // Return on a completion takes it: the first Return must not only close the list.
    QObject::connect(completer, qOverload<const QString &>(&QCompleter::activated), &dialog,
                     [field, &dialog](const QString &text) {
                         field->setText(text);
                         dialog.accept();
                     });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->addButton(prompt.acceptText, QDialogButtonBox::AcceptRole)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *label = new QLabel(prompt.label);
    label->setBuddy(field);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(field);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return field->text().trimmed();
}

bool QtDialogs::confirm(QWidget *owner, const QString &text, const QString &caption)
{
    return QMessageBox::question(owner, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void QtDialogs::showModal(QDialog &dialog)
{
    dialog.exec();
}
